#include "views/entry_views.h"

#include <optional>

#include "accounting/valuation.h"
#include "store/numbers.h"
#include "store/regional_text.h"
#include "ui/flex_grid.h"
#include "ui/platform.h"

namespace chomaru {

namespace {

enum ValueRow { price_row, date_row, value_row, gain_row, ratio_row, value_rows };

void show_figure(FlexGrid* grid, int row, const std::string& text, bool below_zero) {
    grid->set_text(row, 1, qt_text(text));
    grid->set_text_colour(row, 1, below_zero ? below_zero_colour() : QColor());
}

}  // namespace

void setup_value_grid(FlexGrid* grid) {
    const QString labels[value_rows] = {QStringLiteral("現在値"), QStringLiteral("現在値の日付"),
                                        QStringLiteral("評価額"), QStringLiteral("評価損益"),
                                        QStringLiteral("評価損益率")};
    for (int r = 0; r < value_rows; ++r) grid->set_text(r, 0, labels[r]);
    grid->set_col_width(0, 1230);
    grid->set_col_width(1, 1230);
    grid->set_col_alignment(0, align_centre);
    grid->set_col_alignment(1, align_right);
}

void show_valuation(FlexGrid* grid, const Stock& stock, const Date& today) {
    const std::string none = "—";
    const std::optional<QuotedPrice>& quoted = stock.price;
    show_figure(grid, price_row, quoted ? format_price(quoted->price) : none, false);
    show_figure(grid, date_row, quoted ? quoted->date : none, false);
    if (quoted && is_stale(*quoted, today))
        for (const int row : {price_row, date_row}) grid->set_text_colour(row, 1, old_price_colour());

    std::optional<Valuation> v;
    try {
        v = valuation(stock);
    } catch (const OverflowError&) {
        // A price beyond every real one: shown, but worth nothing shown.
    }
    show_figure(grid, value_row, v ? format_currency(v->value) : none, false);
    show_figure(grid, gain_row, v ? format_currency(v->gain) : none, v && v->gain < Currency());
    const bool ratio = v && v->gain_ratio;
    show_figure(grid, ratio_row, ratio ? format_percent(*v->gain_ratio) : none, ratio && *v->gain_ratio < 0);
}

void setup_split_grid(FlexGrid* grid) {
    const QString headings[] = {QString(), QStringLiteral("日付"), QStringLiteral("分割・併合")};
    for (int c = 1; c < 3; ++c) grid->set_text(0, c, headings[c]);
    const int widths[] = {400, 1100, 1400};
    for (int c = 0; c < 3; ++c) grid->set_col_width(c, widths[c]);
    for (int c = 0; c < 3; ++c) grid->set_cell_alignment(0, c, align_centre);
    grid->set_col_alignment(1, align_centre);
    grid->set_col_alignment(2, align_centre);
}

void show_splits(FlexGrid* grid, const Stock& stock) {
    const int count = int(stock.splits.size());
    grid->set_rows(count + 1);
    for (int k = 0; k < count; ++k) {
        const Split& split = stock.splits[size_t(k)];
        grid->set_text(k + 1, 0, QString::number(k + 1));
        grid->set_text(k + 1, 1, qt_text(split.date));
        grid->set_text(k + 1, 2, qt_text(split_text(split)));
    }
}

}  // namespace chomaru
