#include "reports/year_window.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <initializer_list>

#include "reports/report_commands.h"
#include "store/regional_text.h"
#include "ui/flex_grid.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/twips.h"
#include "ui/widgets.h"
#include "ui/window_places.h"

namespace chomaru {

namespace {

constexpr int sales_rows = 7;
constexpr int nisa_rows = 3;
// Each table's columns leave room for the frame and a vertical scroll bar.
constexpr int table_width = 10800;

// Entry i of a table's list is shown in grid row i + 1; the table's own
// rows, which selection and colours count in, start at the first figures.
FlexGrid* table(QWidget* parent, const char* name, const QStringList& headings, std::initializer_list<int> widths,
                int top, int height) {
    return figure_table(parent, QString::fromLatin1(name), headings, widths, 120, top, table_width, height);
}

QLabel* text_label(QWidget* parent, const char* name, int top, int height) {
    return text_block(parent, QString::fromLatin1(name), QString(), 120, top, table_width, height);
}

// Marks entry i of a table as a year or a sale that sold more shares than
// were held.
void mark_oversold(FlexGrid* g, int i) {
    for (int c = 0; c < g->cols(); ++c) {
        g->item(i, c)->setBackground(QColor(255, 220, 220));
        g->item(i, c)->setToolTip(QString::fromUtf8(oversold_mark));
    }
}

// Entry i's amount in the currency format; a loss in red.
void set_amount(FlexGrid* g, int i, int col, Currency value) {
    g->set_text(i + 1, col, qt_text(format_currency(value)));
    QTableWidgetItem* item = g->item(i, col);
    if (value < Currency())
        item->setForeground(Qt::red);
    else
        item->setData(Qt::ForegroundRole, QVariant());
}

QString yen(int64_t value) { return qt_text(format_currency(Currency::from_yen(value))); }

// The sales of one year, one a row; the NISA table has the account after
// the name. Rows made afresh: no text or colour of the year shown before is
// left.
void show_sale_rows(FlexGrid* g, const Portfolio& portfolio, const std::vector<SaleFigures>& sales, int rows,
                    bool with_account) {
    const int count = int(sales.size());
    g->set_rows(1);
    g->set_rows(std::max(count, rows) + 1);
    for (int i = 0; i < count; ++i) {
        const SaleFigures& s = sales[size_t(i)];
        const Stock& stock = portfolio.stocks.at(size_t(s.stock));
        int c = 0;
        g->set_text(i + 1, c++, qt_text(short_date_text(s.trade_date)));
        g->set_text(i + 1, c++, qt_text(short_date_text(s.settlement)));
        g->set_text(i + 1, c++, qt_text(stock.stock_code));
        g->set_text(i + 1, c++, qt_text(stock.stock_name));
        if (with_account) g->set_text(i + 1, c++, qt_text(std::string(account_name(stock.account))));
        g->set_text(i + 1, c++, qt_text(format_grouped(s.shares)));
        set_amount(g, i, c++, s.proceeds);
        set_amount(g, i, c++, s.cost);
        set_amount(g, i, c, Currency::from_yen(s.profit));
        if (s.oversold) mark_oversold(g, i);
    }
    g->scrollToTop();
}

QStringList sale_headings(bool with_account) {
    QStringList headings{QStringLiteral("約定日"), QStringLiteral("受渡日"), QStringLiteral("コード"),
                         QStringLiteral("銘柄名")};
    if (with_account) headings << QStringLiteral("口座");
    return headings << QStringLiteral("売却株数") << QStringLiteral("売却代金") << QStringLiteral("取得費")
                    << QStringLiteral("損益");
}

}  // namespace

YearWindow::YearWindow(const Portfolio& portfolio, Platform& platform, QWidget* parent)
    : QDialog(parent), portfolio_(portfolio), report_(year_report(portfolio)) {
    setObjectName(QStringLiteral("Form_year"));
    setWindowTitle(QStringLiteral("年間損益"));
    setFixedSize(twips(this, table_width + 240), twips(this, 8280));

    year_fig = table(this, "year_fig",
                     {QStringLiteral("年"), QStringLiteral("損益合計"), QStringLiteral("繰越控除"),
                      QStringLiteral("控除後損益"), QStringLiteral("繰越損失残高"), QStringLiteral("概算税額"),
                      QStringLiteral("配当（税引前）"), QStringLiteral("源泉徴収")},
                     {740, 1400, 1350, 1400, 1500, 1250, 1550, 1250}, 120, 1860);
    // The year table is the one grid of the program whose rows are chosen:
    // with the mouse or the arrow keys.
    year_fig->setSelectionMode(QAbstractItemView::SingleSelection);
    year_fig->setSelectionBehavior(QAbstractItemView::SelectRows);
    year_fig->setFocusPolicy(Qt::StrongFocus);

    sales_caption = text_label(this, "sales_caption", 2040, 255);
    sales_fig =
        table(this, "sales_fig", sale_headings(false), {1100, 1100, 650, 2750, 900, 1350, 1350, 1240}, 2310, 2130);
    sales_fig->set_col_alignment(3, align_centre);
    nisa_caption = text_label(this, "nisa_caption", 4500, 255);
    nisa_fig =
        table(this, "nisa_fig", sale_headings(true), {1100, 1100, 650, 2100, 1240, 800, 1200, 1150, 1100}, 4770, 1080);
    nisa_fig->set_col_alignment(3, align_centre);
    nisa_fig->set_col_alignment(4, align_centre);
    dividend_note = text_label(this, "dividend_note", 5910, 510);

    note = text_label(this, "note", 6450, 1020);
    note->setText(QStringLiteral(
        "※ 受渡日基準：売却は受渡日の年に数えます（年末の数日に約定した売却は翌年です）。取得費は特定口座と同じく、"
        "買うたびに1株あたりの平均を1円未満切り上げて計算するため、メイン画面の利益と数円違うことがあります。"
        "特定口座と一般口座の損益は通算し、NISAの売却は非課税として合計に含めません。損失は毎年確定申告して"
        "3年繰り越した場合の概算です。税額は所得税・復興特別所得税15.315%と住民税5%の目安で、税務上の助言では"
        "ありません。"));

    left_out = text_label(this, "left_out", 7500, 615);
    left_out->setText(qt_text(year_problems(portfolio, report_)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    left_out->setStyleSheet(QStringLiteral("color: red"));
    left_out->resize(twips(this, table_width - 1920), left_out->height());

    csv_key = new QPushButton(QStringLiteral("CSVに出力(&C)"), this);
    csv_key->setObjectName(QStringLiteral("csv_key"));
    place(csv_key, table_width - 1680, 7560, 1800, 495);
    connect(csv_key, &QPushButton::clicked, this, [this, &platform] { write_year_file(platform, portfolio_); });
    // The tables share what room the window gains.
    for (FlexGrid* g : {year_fig, sales_fig, nisa_fig}) g->fill_width();
    lay_out_placed(*this, {{{year_fig}, 1},
                           {{sales_caption}},
                           {{sales_fig}, 1},
                           {{nisa_caption}},
                           {{nisa_fig}, 1},
                           {{dividend_note}},
                           {{note}},
                           {{left_out, csv_key}}});

    show_years();
    connect(year_fig, &QTableWidget::currentCellChanged, this, [this](int row) { select_year(row); });
    select_year(int(report_.years.size()) - 1);
    year_fig->setFocus();
}

void YearWindow::show_years() {
    const int years = int(report_.years.size());
    year_fig->set_rows(years + 1);
    for (int i = 0; i < years; ++i) {
        const YearFigures& y = report_.years[size_t(i)];
        year_fig->set_text(i + 1, 0, QString::number(y.year));
        set_amount(year_fig, i, 1, y.profit);
        set_amount(year_fig, i, 2, y.deducted);
        set_amount(year_fig, i, 3, y.after_deduction);
        set_amount(year_fig, i, 4, y.loss_left);
        year_fig->set_text(i + 1, 5, yen(y.tax_estimate));
        set_amount(year_fig, i, 6, y.dividends);
        set_amount(year_fig, i, 7, y.withheld);
        for (int c = 0; c < year_fig->cols(); ++c)
            year_fig->item(i, c)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        if (y.oversold) mark_oversold(year_fig, i);
    }
    if (years == 0 && report_.left_out.empty()) sales_caption->setText(QStringLiteral("売りの記録がありません"));
}

void YearWindow::select_year(int i) {
    if (i < 0 || i >= int(report_.years.size())) return;
    if (year_fig->currentRow() != i) {
        year_fig->setCurrentCell(i, 0);  // which comes back here
        return;
    }
    show_sales(report_.years[size_t(i)]);
}

void YearWindow::show_sales(const YearFigures& year) {
    QString caption = QStringLiteral("%1年の売却（受渡日基準、特定・一般）").arg(year.year);
    if (year.oversold) caption += QStringLiteral("　") + QString::fromUtf8(oversold_mark);
    sales_caption->setText(caption);
    show_sale_rows(sales_fig, portfolio_, year.sales, sales_rows, false);
    nisa_caption->setText(QStringLiteral("%1年の売却　非課税（NISA）：上の合計には含めません").arg(year.year));
    show_sale_rows(nisa_fig, portfolio_, year.nisa_sales, nisa_rows, true);
    dividend_note->setText(
        year.dividend_offset > Currency()
            ? QStringLiteral("配当（特定・一般口座）を申告分離課税で申告すると、%1年の損失のうち%2を配当と相殺でき、"
                             "還付見込みは%3です（源泉徴収のうち相殺した分）。この選択はその年の上場株式等の配当"
                             "すべてに及び、配当控除は受けられなくなります。")
                  .arg(year.year)
                  .arg(qt_text(format_currency(year.dividend_offset)), yen(year.refund))
            : QString());
}

void m_year_report_click(Session& session) {
    YearWindow form(session.portfolio, session.platform, session.dialog_parent);
    open_over_parent(form, session.platform, "year");
    session.platform.run_modal(form);
}

}  // namespace chomaru
