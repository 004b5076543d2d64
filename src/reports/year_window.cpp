#include "reports/year_window.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "reports/report_commands.h"
#include "store/regional_text.h"
#include "ui/flex_grid.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/twips.h"
#include "ui/window_places.h"

namespace chomaru {

namespace {

constexpr int sales_rows = 8;

// A grid of figures under a heading row, which stays in view while the rows
// scroll. Entry i of a list is shown in grid row i + 1; the table's own rows,
// which selection and colours count in, start at the first figures.
FlexGrid* table(QWidget* parent, const char* name, const QStringList& headings, const int (&widths)[6], int height) {
    auto* g = new FlexGrid(1, int(headings.size()), 1, 0, parent);
    g->setObjectName(QString::fromLatin1(name));
    QFont font(QStringLiteral("IPAPGothic"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(9.75);
    // As in the other grids: a slightly tighter spacing keeps the widest
    // amounts whole in their columns.
    font.setLetterSpacing(QFont::AbsoluteSpacing, -1.0);
    g->setFont(font);
    g->set_default_row_height(255);
    g->set_row_height(0, 270);
    for (int c = 0; c < g->cols(); ++c) {
        g->set_text(0, c, headings[c]);
        g->set_col_width(c, widths[c]);
        g->set_col_alignment(c, c == 0 ? align_centre : align_right);
        g->set_cell_alignment(0, c, align_centre);
    }
    g->setMinimumSize(twips(g, 8100), twips(g, height));
    g->fill_width();
    return g;
}

// Marks entry i of a table as a year or a stock that sold more shares than
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

}  // namespace

YearWindow::YearWindow(const Portfolio& portfolio, Platform& platform, QWidget* parent)
    : QDialog(parent), portfolio_(portfolio), report_(year_report(portfolio)) {
    setObjectName(QStringLiteral("Form_year"));
    setWindowTitle(QStringLiteral("年間損益"));

    year_fig = table(this, "year_fig",
                     {QStringLiteral("年"), QStringLiteral("損益合計"), QStringLiteral("繰越控除"),
                      QStringLiteral("控除後損益"), QStringLiteral("繰越損失残高"), QStringLiteral("概算税額")},
                     {700, 1460, 1360, 1460, 1460, 1300}, 1860);
    // The year table is the one grid of the program whose rows are chosen:
    // with the mouse or the arrow keys.
    year_fig->setSelectionMode(QAbstractItemView::SingleSelection);
    year_fig->setSelectionBehavior(QAbstractItemView::SelectRows);
    year_fig->setFocusPolicy(Qt::StrongFocus);

    sales_caption = new QLabel(this);
    sales_caption->setObjectName(QStringLiteral("sales_caption"));
    sales_caption->setMinimumHeight(twips(this, 255));
    sales_fig = table(this, "sales_fig",
                      {QStringLiteral("コード"), QStringLiteral("銘柄名"), QStringLiteral("売却株数"),
                       QStringLiteral("売却代金"), QStringLiteral("取得費"), QStringLiteral("損益")},
                      {800, 1960, 1000, 1400, 1400, 1180}, 2370);
    sales_fig->set_col_alignment(1, align_centre);

    note = new QLabel(
        QStringLiteral("※ 取得費は平均買い単価（買うたびに計算し直す平均）で計算し、毎年確定申告して"
                       "損失を繰り越した場合の概算です。税額は20.315%での目安で、税務上の助言ではありません。"),
        this);
    note->setObjectName(QStringLiteral("note"));
    note->setWordWrap(true);

    left_out = new QLabel(
        qt_text(year_problems(portfolio, report_)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), this);
    left_out->setObjectName(QStringLiteral("left_out"));
    left_out->setWordWrap(true);
    left_out->setStyleSheet(QStringLiteral("color: red"));
    left_out->setMinimumSize(twips(this, 6180), twips(this, 615));
    left_out->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    csv_key = new QPushButton(QStringLiteral("CSVに出力(&C)"), this);
    csv_key->setObjectName(QStringLiteral("csv_key"));
    csv_key->setMinimumSize(twips(this, 1800), twips(this, 495));

    // The two tables share what room the window gains; the notes and the
    // button keep theirs under them.
    QBoxLayout* rows = twips_box(QBoxLayout::TopToBottom, this, this, 120, 120, 120, 105);
    rows->addWidget(year_fig, 1);
    rows->addSpacing(twips(this, 120));
    rows->addWidget(sales_caption);
    rows->addSpacing(twips(this, 45));
    rows->addWidget(sales_fig, 1);
    rows->addSpacing(twips(this, 90));
    rows->addWidget(note);
    rows->addSpacing(twips(this, 60));
    QBoxLayout* bottom = twips_box(QBoxLayout::LeftToRight, this, nullptr, 0, 0, 0, 0, 120);
    bottom->addWidget(left_out, 1);
    bottom->addWidget(csv_key, 0, Qt::AlignTop);
    rows->addLayout(bottom);
    resize(minimumSizeHint());
    lay_out_now(*this);
    connect(csv_key, &QPushButton::clicked, this, [this, &platform] { write_year_file(platform, portfolio_); });

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
        year_fig->set_text(i + 1, 5, qt_text(format_currency(Currency::from_yen(y.tax_estimate))));
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
    QString caption = QStringLiteral("%1年の売却（銘柄別）").arg(year.year);
    if (year.oversold) caption += QStringLiteral("　") + QString::fromUtf8(oversold_mark);
    sales_caption->setText(caption);
    // Rows made afresh: no text or colour of the year shown before is left.
    const int count = int(year.sales.size());
    sales_fig->set_rows(1);
    sales_fig->set_rows(std::max(count, sales_rows) + 1);
    for (int i = 0; i < count; ++i) {
        const StockSales& s = year.sales[size_t(i)];
        const Stock& stock = portfolio_.stocks.at(size_t(s.stock));
        sales_fig->set_text(i + 1, 0, qt_text(stock.stock_code));
        sales_fig->set_text(i + 1, 1, qt_text(stock.stock_name));
        sales_fig->set_text(i + 1, 2, qt_text(format_grouped(s.shares)));
        set_amount(sales_fig, i, 3, s.proceeds);
        set_amount(sales_fig, i, 4, s.cost);
        set_amount(sales_fig, i, 5, s.profit);
        if (s.oversold) mark_oversold(sales_fig, i);
    }
    sales_fig->scrollToTop();
}

void m_year_report_click(Session& session) {
    YearWindow form(session.portfolio, session.platform, session.dialog_parent);
    open_over_parent(form, session.platform, "year");
    session.platform.run_modal(form);
}

}  // namespace chomaru
