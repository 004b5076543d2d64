#include "accounting/valuation.h"

#include <chrono>

#include "store/numbers.h"

namespace chomaru {

namespace {

std::chrono::sys_days day_of(const Date& date) {
    return std::chrono::year_month_day{std::chrono::year{date.year}, std::chrono::month{unsigned(date.month)},
                                       std::chrono::day{unsigned(date.day)}};
}

}  // namespace

Currency holding_cost(const Stock& stock) {
    return Currency::from_yen(int64_t(stock.avg_buy_price) * int64_t(stock.held_shares));
}

std::optional<Valuation> valuation(const Stock& stock) {
    if (!stock.price || stock.held_shares <= 0) return std::nullopt;
    int64_t units;
    if (__builtin_mul_overflow(stock.price->price.units(), int64_t(stock.held_shares), &units))
        throw OverflowError("a holding's value beyond the currency range");
    Valuation v;
    v.value = Currency::from_units(units);
    const Currency cost = holding_cost(stock);
    v.gain = v.value - cost;
    if (cost > Currency()) v.gain_ratio = v.gain.to_double() / cost.to_double();
    return v;
}

ValuationTotals valuation_totals(const Portfolio& portfolio) {
    ValuationTotals totals;
    for (int32_t i = 0; i <= portfolio.last_stock; ++i) {
        const Stock& s = portfolio.stocks.at(size_t(i));
        if (const std::optional<Valuation> v = valuation(s)) {
            totals.value += v->value;
            totals.gain += v->gain;
        } else if (s.held_shares > 0) {
            totals.value += holding_cost(s);
            ++totals.at_cost;
        }
    }
    return totals;
}

bool is_stale(const QuotedPrice& price, const Date& today) {
    const Date set = text_to_date(price.date);
    return day_of(today) - day_of(set) > std::chrono::days{fresh_price_days};
}

}  // namespace chomaru
