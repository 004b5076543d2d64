#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "store/portfolio.h"

namespace chomaru {

// The work lists of a reorder: the stocks still to place (left list) and the
// new order as it is being built (right list). Nothing of the portfolio
// changes until z_ope_sort applies the finished order.
struct SortWork {
    // Entry i: the text of stock i while it is still to place, else empty.
    std::array<std::string, max_stocks> base_items;
    // Entry k: the text of the stock placed k-th, else empty.
    std::array<std::string, max_stocks> sort_items;
    int32_t sort_total = 0;
    int32_t sort_left = 0;
    int32_t sort_next = 0;
    // Entry i: the position given to stock i (0 = placed first).
    std::array<int32_t, max_stocks> new_index{};

    // Every stock of the portfolio back in the left list, the right one empty.
    void reset_sort_lists(const Portfolio& portfolio);

    // Moves stock `row` of the left list to the next free position of the
    // right one. Returns false, changing nothing, for a stock already placed
    // or a row outside the list.
    bool place(int row);

    bool all_placed() const { return sort_left == 0; }

    // The first row of the left list still holding a stock, or -1.
    int first_unplaced() const;
};

// The text of a stock in the lists: code, one blank and the shown name, or
// the shown name alone of a stock with neither code nor name; never empty.
std::string sort_item_text(const Stock& stock);

// Moves every stock i of 0 .. sort_total - 1, with all its figures and
// record slots, to index new_index[i]. Raises std::invalid_argument, changing
// nothing, unless every stock has been placed exactly once.
void z_ope_sort(Portfolio& portfolio, const SortWork& work);

}  // namespace chomaru
