#include "reports/list_window.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
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
#include "ui/window_places.h"

namespace chomaru {

namespace {

constexpr int laid_out_rows = 12;
constexpr int columns = 6;

// A label of the totals' line: as wide as its design or as its caption.
QLabel* total_label(QWidget* parent, const char* name, const QString& caption, int width) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setMinimumWidth(std::max(twips(l, width), l->sizeHint().width()));
    return l;
}

// A line of two totals, each a caption and its figure, from the left.
QBoxLayout* two_totals(QWidget* window, QLabel* caption1, QLabel* figure1, QLabel* caption2, QLabel* figure2) {
    QBoxLayout* line = twips_box(QBoxLayout::LeftToRight, window, nullptr, 240, 0, 0, 0, 105);
    line->addWidget(caption1);
    line->addWidget(figure1);
    line->addSpacing(twips(window, 120));
    line->addWidget(caption2);
    line->addWidget(figure2);
    line->addStretch(1);
    return line;
}

// The list grows by `width` pixels, the table with it.
void widen(ListWindow& list, int width) {
    list.all_disp_fig->setMinimumWidth(list.all_disp_fig->minimumWidth() + width);
    list.resize(list.width() + width, list.height());
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
    g->widen_col(1, more);
    widen(list, more);
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
    QBoxLayout* totals = two_totals(this, Label1, all_total, Label2, all_rimawari);
    totals->addWidget(close_key);
    rows->addLayout(totals);

    // The totals at the quoted prices and their note, in lines of their
    // own, shown with the columns of the prices.
    Label3 = new QLabel(QStringLiteral("評価額合計："), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    all_value = total_label(this, "all_value", QString(), 2175);
    Label4 = new QLabel(QStringLiteral("評価損益合計："), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    all_gain = total_label(this, "all_gain", QString(), 2175);
    at_cost_note = total_label(this, "at_cost_note", QString(), 7400);
    rows->addLayout(two_totals(this, Label3, all_value, Label4, all_gain));
    QBoxLayout* note = twips_box(QBoxLayout::LeftToRight, this, nullptr, 240, 0, 0, 0);
    note->addWidget(at_cost_note, 1);
    rows->addLayout(note);
    for (QLabel* l : {Label3, all_value, Label4, all_gain, at_cost_note}) l->hide();
    resize(minimumSizeHint());
    lay_out_now(*this);
}

void ListWindow::fit_rows() {
    // The table is as tall as its rows, so that no scroll bar shows while
    // they fit on the screen.
    lay_out_now(*this);
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
    // A value beyond the currency range is shown as none.
    const std::optional<Valuation> v = [&s]() -> std::optional<Valuation> {
        try {
            return valuation(s);
        } catch (const OverflowError&) {
            return std::nullopt;
        }
    }();
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
        added += twips(g, value_widths[k]);
    }
    widen(list, added);
    for (int32_t i = 0; i <= portfolio.last_stock; ++i) show_row_value(g, i + 1, portfolio.stocks.at(size_t(i)), today);

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
    lay_out_now(list);
    list.resize(list.size().expandedTo(list.minimumSizeHint()));
}

void all_list_key_click(Session& session) {
    ListWindow list(session.dialog_parent);
    setup_list_grid(list);
    show_portfolio_list(list, session.portfolio);
    show_valuation_columns(list, session.portfolio, session.platform.today());
    // At its remembered size, made taller when there are more rows than
    // it showed.
    open_over_parent(list, session.platform, "list");
    list.fit_rows();
    session.platform.run_modal(list);
}

}  // namespace chomaru
