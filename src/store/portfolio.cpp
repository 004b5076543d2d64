#include "store/portfolio.h"

#include <stdexcept>
#include <utility>

namespace chomaru {

RecordTable::RecordTable(const RecordTable& other)
    : slots_(other.slots_ ? std::make_unique<Slots>(*other.slots_) : nullptr) {}

RecordTable& RecordTable::operator=(const RecordTable& other) {
    if (this != &other) slots_ = other.slots_ ? std::make_unique<Slots>(*other.slots_) : nullptr;
    return *this;
}

RecordTable::Slots& RecordTable::written() {
    if (!slots_) slots_ = std::make_unique<Slots>();
    return *slots_;
}

const RecordTable::Slots& RecordTable::read() const {
    static const Slots none{};
    return slots_ ? *slots_ : none;
}

FeeTable FeeTable::defaults() {
    FeeTable t;
    t.fee_limit = {1000000, 5000000, 10000000, 30000000, 50000000, 0};
    t.fee_rate = {0.01115f, 0.009f, 0.007f, 0.00575f, 0.00375f, 0.0f};
    t.fee_add = {0, 2500, 12500, 25000, 85000, 272500};
    t.fee_min = 2500;
    t.fee_max = 0;
    return t;
}

std::string shown_name(const Stock& stock) {
    if (is_unnamed(stock)) return "（名称なし）";
    return stock.stock_name;
}

void z_data_init(Portfolio& portfolio) {
    Stock& s = portfolio.current();
    StockFigures& figures = s;
    figures = StockFigures();
    s.buy_count = 0;
    s.sell_count = 0;
}

void remove_record(RecordTable& records, int32_t& count, int32_t index) {
    if (count > max_records || index < 0 || index >= count) throw std::out_of_range("no such record");
    for (int32_t k = index; k < count - 1; ++k) records[size_t(k)] = std::move(records[size_t(k + 1)]);
    --count;
}

void remove_current_stock(Portfolio& portfolio) {
    if (portfolio.last_stock == 0) {
        z_data_init(portfolio);
        return;
    }
    const int32_t last = portfolio.last_stock;
    for (int32_t s = portfolio.current_stock; s < last; ++s)
        portfolio.stocks.at(size_t(s)) = std::move(portfolio.stocks.at(size_t(s + 1)));
    portfolio.last_stock = last - 1;
    portfolio.current_stock = 0;
}

void reset_to_first_stock(Portfolio& portfolio, std::string code, std::string name) {
    portfolio.last_stock = 0;
    portfolio.current_stock = 0;
    z_data_init(portfolio);
    portfolio.stocks[0].stock_code = std::move(code);
    portfolio.stocks[0].stock_name = std::move(name);
    portfolio.fees = FeeTable::defaults();
}

}  // namespace chomaru
