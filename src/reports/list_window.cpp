#include "reports/list_window.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <optional>

#include "accounting/valuation.h"
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

// The list grows by `width` pixels, the grid with it and the button along.
void widen(ListWindow& list, int width) {
    list.setFixedWidth(list.width() + width);
    list.all_disp_fig->resize(list.all_disp_fig->width() + width, list.all_disp_fig->height());
    list.close_key->move(list.close_key->x() + width, list.close_key->y());
}

// A name with its account's tag may need more than the column's width.
void fit_tagged_names(ListWindow& list, const Portfolio& portfolio) {
    FlexGrid* g = list.all_disp_fig;
    int widest = 0;
    for (int32_t i = 0; i <= portfolio.last_stock; ++i)
        if (portfolio.stocks.at(size_t(i)).account != AccountType::tokutei)
            widest = std::max(widest, g->fontMetrics().horizontalAdvance(g->text(i + 1, 1)));
    const int more = widest + twips(g, 120) - g->columnWidth(1);
    if (more <= 0) return;
    g->setColumnWidth(1, g->columnWidth(1) + more);
    widen(list, more);
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

    Label3 = label(this, QStringLiteral("Label3"), QStringLiteral("評価額合計："), 360, 3480, 1095);
    all_value = label(this, QStringLiteral("all_value"), QString(), 1455, 3480, 2175);
    Label4 = label(this, QStringLiteral("Label4"), QStringLiteral("評価損益合計："), 3720, 3480, 1335);
    all_gain = label(this, QStringLiteral("all_gain"), QString(), 5055, 3480, 2175);
    at_cost_note = label(this, QStringLiteral("at_cost_note"), QString(), 360, 3780, 7400);
    for (QLabel* l : {Label3, all_value, Label4, all_gain, at_cost_note}) l->hide();
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
    fit_tagged_names(list, portfolio);
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

namespace {

constexpr int value_columns = 3;
// The price column has room for an old price's date beside it.
constexpr int value_widths[value_columns] = {2100, 1500, 1400};
constexpr int totals_room = 660;

void show_figure(FlexGrid* g, int row, int col, const QString& text, bool below_zero) {
    g->set_text(row, col, text);
    g->set_text_colour(row, col, below_zero ? below_zero_colour() : QColor());
}

void show_row_value(FlexGrid* g, int row, const Stock& s, const Date& today) {
    const int c = columns;
    if (s.price) {
        const bool old = is_stale(*s.price, today);
        const QString price = qt_text(format_price(s.price->price));
        g->set_text(row, c, old ? price + QStringLiteral(" (") + qt_text(s.price->date) + QStringLiteral(")") : price);
        g->set_text_colour(row, c, old ? old_price_colour() : QColor());
    } else {
        g->set_text(row, c, s.held_shares > 0 ? QStringLiteral("—") : QString());
    }
    std::optional<Valuation> v;
    try {
        v = valuation(s);
    } catch (const OverflowError&) {
        v.reset();
    }
    if (v) {
        show_figure(g, row, c + 1, qt_text(format_currency(v->value)), false);
        show_figure(g, row, c + 2, qt_text(format_currency(v->gain)), v->gain < Currency());
    } else if (s.held_shares > 0 && !s.price) {
        show_figure(g, row, c + 1, qt_text(format_currency(holding_cost(s))) + QStringLiteral("※"), false);
        show_figure(g, row, c + 2, QStringLiteral("—"), false);
    } else {
        show_figure(g, row, c + 1, QString(), false);
        show_figure(g, row, c + 2, QString(), false);
    }
}

}  // namespace

void show_valuation_columns(ListWindow& list, const Portfolio& portfolio, const Date& today) {
    bool priced = false;
    for (int32_t i = 0; i <= portfolio.last_stock; ++i) priced = priced || portfolio.stocks.at(size_t(i)).price;
    if (!priced) return;
    FlexGrid* g = list.all_disp_fig;
    g->set_cols(columns + value_columns);
    const QString headings[value_columns] = {QStringLiteral("現在値"), QStringLiteral("評価額"),
                                             QStringLiteral("評価損益")};
    int added = 0;
    for (int k = 0; k < value_columns; ++k) {
        const int c = columns + k;
        g->set_text(0, c, headings[k]);
        g->set_cell_alignment(0, c, align_centre);
        g->set_col_alignment(c, align_right);
        g->set_col_width(c, value_widths[k]);
        added += g->columnWidth(c);
    }
    widen(list, added);
    for (int32_t i = 0; i <= portfolio.last_stock; ++i) show_row_value(g, i + 1, portfolio.stocks.at(size_t(i)), today);

    list.setFixedHeight(list.height() + twips(&list, totals_room));
    for (QLabel* l : {list.Label3, list.all_value, list.Label4, list.all_gain}) l->show();
    try {
        const ValuationTotals totals = valuation_totals(portfolio);
        const QString marked = totals.at_cost > 0 ? QStringLiteral("※") : QString();
        list.all_value->setText(qt_text(format_currency(totals.value)) + marked);
        list.all_gain->setText(qt_text(format_currency(totals.gain)) + marked);
        list.all_gain->setStyleSheet(totals.gain < Currency() ? QStringLiteral("color: red") : QString());
        if (totals.at_cost > 0) {
            list.at_cost_note->setText(
                QStringLiteral("※ 現在値のない %1 銘柄は、平均買い単価×保有株数で計上しています").arg(totals.at_cost));
            list.at_cost_note->show();
        }
    } catch (const OverflowError&) {
        list.all_value->clear();
        list.all_gain->clear();
    }
}

void all_list_key_click(Session& session) {
    ListWindow list(session.dialog_parent);
    setup_list_grid(list);
    show_portfolio_list(list, session.portfolio);
    show_valuation_columns(list, session.portfolio, session.platform.today());
    session.platform.run_modal(list);
}

}  // namespace chomaru
