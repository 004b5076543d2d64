#include "store/stock_order.h"

#include <stdexcept>
#include <utility>
#include <vector>

namespace chomaru {

std::string sort_item_text(const Stock& stock) {
    if (is_unnamed(stock)) return shown_name(stock);
    return stock.stock_code + " " + shown_name(stock);
}

void SortWork::reset_sort_lists(const Portfolio& portfolio) {
    sort_total = portfolio.stock_count();
    sort_left = sort_total;
    sort_next = 0;
    for (std::string& item : base_items) item.clear();
    for (std::string& item : sort_items) item.clear();
    for (int32_t i = 0; i < sort_total; ++i) base_items.at(size_t(i)) = sort_item_text(portfolio.stocks.at(size_t(i)));
}

bool SortWork::place(int row) {
    if (row < 0 || row >= sort_total) return false;
    std::string& item = base_items[size_t(row)];
    if (item.empty()) return false;
    sort_items[size_t(sort_next)] = std::move(item);
    item.clear();
    new_index[size_t(row)] = sort_next;
    ++sort_next;
    --sort_left;
    return true;
}

int SortWork::first_unplaced() const {
    for (int32_t i = 0; i < sort_total; ++i)
        if (!base_items[size_t(i)].empty()) return i;
    return -1;
}

void z_ope_sort(Portfolio& portfolio, const SortWork& work) {
    const int32_t n = work.sort_total;
    if (n < 1 || n > portfolio.stock_count() || work.sort_left != 0)
        throw std::invalid_argument("the order is not complete");
    std::vector<bool> taken(size_t(n), false);
    for (int32_t i = 0; i < n; ++i) {
        const int32_t to = work.new_index[size_t(i)];
        if (to < 0 || to >= n || taken[size_t(to)]) throw std::invalid_argument("the order is not a permutation");
        taken[size_t(to)] = true;
    }
    // Whole stocks are moved, so every record slot goes with its stock.
    std::vector<Stock> copy(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) copy[size_t(i)] = std::move(portfolio.stocks[size_t(i)]);
    for (int32_t i = 0; i < n; ++i) portfolio.stocks[size_t(work.new_index[size_t(i)])] = std::move(copy[size_t(i)]);
}

}  // namespace chomaru
