#include "reports/list_window.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "reports/report_figures.h"
#include "store/numbers.h"
#include "store/regional_text.h"
#include "ui/flex_grid.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/twips.h"
#include "ui/widgets.h"
#include "ui/window_places.h"

namespace chomaru {

namespace {

constexpr int laid_out_rows = 12;
constexpr int columns = 6;

QLabel* total_label(QWidget* parent, const char* name, const QString& caption, int width) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setMinimumWidth(twips(l, width));
    return l;
}

}  // namespace

// The table over the totals' line, which ends with the button; the table
// takes whatever room the window gains.
ListWindow::ListWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_all_disp"));
    setWindowTitle(QStringLiteral("一覧表"));

    all_disp_fig = new FlexGrid(0, columns, 1, 0, this);
    all_disp_fig->setObjectName(QStringLiteral("all_disp_fig"));
    all_disp_fig->setFont(figure_font(9.75));
    all_disp_fig->set_default_row_height(255);
    all_disp_fig->set_rows(laid_out_rows);
    all_disp_fig->setMinimumSize(twips(this, 7740), twips(this, 2775));
    all_disp_fig->fill_width();

    Label1 = total_label(this, "Label1", QStringLiteral("通算損益："), 855);
    all_total = total_label(this, "all_total", QString(), 2175);
    Label2 = total_label(this, "Label2", QStringLiteral("通算利回り："), 975);
    all_rimawari = total_label(this, "all_rimawari", QString(), 1095);
    close_key = accept_button(this, QStringLiteral("close_key"), QStringLiteral("閉じる(&C)"), 0, 0, 1695, 495);
    close_key->setMinimumSize(close_key->size());

    QBoxLayout* rows = twips_box(QBoxLayout::TopToBottom, this, this, 120, 120, 90, 90, 105);
    rows->addWidget(all_disp_fig, 1);
    QBoxLayout* totals = twips_box(QBoxLayout::LeftToRight, this, nullptr, 240, 0, 0, 0, 105);
    totals->addWidget(Label1);
    totals->addWidget(all_total);
    totals->addSpacing(twips(this, 120));
    totals->addWidget(Label2);
    totals->addWidget(all_rimawari);
    totals->addStretch(1);
    totals->addWidget(close_key);
    rows->addLayout(totals);
    resize(minimumSizeHint());
    lay_out_now(*this);
}

void ListWindow::fit_rows() {
    // The table is as tall as its rows, so that no scroll bar shows while
    // they fit on the screen.
    const int more = all_disp_fig->cells_size().height() - all_disp_fig->height();
    const QScreen* screen = this->screen();
    const int room = screen ? screen->availableGeometry().height() * 9 / 10 : height() + more;
    resize(width(), std::min(height() + std::max(more, 0), std::max(room, minimumHeight())));
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
    g->sort_on_heading_click();
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
    list.fit_rows();
    open_over_parent(list, session.platform, "list");
    session.platform.run_modal(list);
}

}  // namespace chomaru
