#include "reports/list_window.h"

#include <QLabel>
#include <QPushButton>

#include "reports/report_figures.h"
#include "store/numbers.h"
#include "store/regional_text.h"
#include "ui/flex_grid.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/twips.h"
#include "ui/widgets.h"

namespace chomaru {

namespace {

constexpr int laid_out_rows = 12;
constexpr int columns = 6;

// The labels of the totals, in one line under the table.
QLabel* total_label(QWidget* parent, const char* name, const QString& caption, int left, int width) {
    return label(parent, QString::fromLatin1(name), caption, left, 3120, width);
}

}  // namespace

ListWindow::ListWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_all_disp"));
    setWindowTitle(QStringLiteral("一覧表"));
    setFixedSize(twips(this, 7950), twips(this, 3585));

    all_disp_fig = new FlexGrid(0, columns, 1, 0, this);
    all_disp_fig->setObjectName(QStringLiteral("all_disp_fig"));
    all_disp_fig->setFont(figure_font(9.75));
    all_disp_fig->set_default_row_height(255);
    all_disp_fig->set_rows(laid_out_rows);
    place(all_disp_fig, 120, 120, 7740, 2775);

    Label1 = total_label(this, "Label1", QStringLiteral("通算損益："), 360, 855);
    all_total = total_label(this, "all_total", QString(), 1320, 2175);
    Label2 = total_label(this, "Label2", QStringLiteral("通算利回り："), 3720, 975);
    all_rimawari = total_label(this, "all_rimawari", QString(), 4800, 1095);

    close_key = accept_button(this, QStringLiteral("close_key"), QStringLiteral("閉じる(&C)"), 6120, 3000, 1695, 495);
}

void setup_list_grid(ListWindow& list) {
    FlexGrid* g = list.all_disp_fig;
    g->clear_texts();
    const QString headings[columns] = {QStringLiteral("コード"),       QStringLiteral("銘柄"),
                                       QStringLiteral("平均買い単価"), QStringLiteral("保有株数"),
                                       QStringLiteral("利益"),         QStringLiteral("配当利回り")};
    for (int c = 0; c < columns; ++c) g->set_text(0, c, headings[c]);
    g->set_row_height(0, 270);
    const int widths[columns] = {1000, 1660, 1230, 1200, 1230, 1080};
    for (int c = 0; c < columns; ++c) g->set_col_width(c, widths[c]);
    for (int c = 0; c < columns; ++c) g->set_cell_alignment(0, c, align_centre);
    for (int c = 0; c < 2; ++c) g->set_col_alignment(c, align_centre);
    for (int c = 2; c < columns; ++c) g->set_col_alignment(c, align_right);
}

void show_portfolio_list(ListWindow& list, const Portfolio& portfolio) {
    FlexGrid* g = list.all_disp_fig;
    for (int i = 0; i <= portfolio.last_stock; ++i) {
        if (i > laid_out_rows - 2) g->set_rows(i + 2);
        const Stock& s = portfolio.stocks.at(size_t(i));
        g->set_text(i + 1, 0, qt_text(s.stock_code));
        g->set_text(i + 1, 1, qt_text(shown_name(s)));
        g->set_text(i + 1, 2, qt_text(format_currency(Currency::from_yen(s.avg_buy_price))));
        g->set_text(i + 1, 3, qt_text(format_grouped(s.held_shares)));
        g->set_text(i + 1, 4, qt_text(format_currency(s.realized_profit)));
        g->set_text(i + 1, 5, qt_text(format_percent(double(s.dividend_yield))));
    }
    // Totals beyond the currency range (hundreds of trillions of yen) can
    // only come from a damaged data file; the table is still shown, without
    // totals.
    try {
        const PortfolioTotals totals = portfolio_totals(portfolio);
        list.all_total->setText(qt_text(format_currency(totals.total_profit)));
        list.all_rimawari->setText(qt_text(format_percent(double(totals.total_yield))));
    } catch (const OverflowError&) {
        list.all_total->clear();
        list.all_rimawari->clear();
    }
}

void all_list_key_click(Session& session) {
    ListWindow list(session.dialog_parent);
    setup_list_grid(list);
    show_portfolio_list(list, session.portfolio);
    session.platform.run_modal(list);
}

}  // namespace chomaru
