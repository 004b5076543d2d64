#include "accounting/commission.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "store/numbers.h"

namespace chomaru {

namespace {

// 100% in steps of 10^-decimals percent.
int64_t hundred_percent(int decimals) {
    int64_t steps = 100;
    for (int i = 0; i < decimals; ++i) steps *= 10;
    return steps;
}

// A count of 10^-decimals percent as a fraction of one: one division of two
// exactly held integers, so the double nearest to the exact decimal.
double percent_fraction(int64_t steps, int decimals) { return double(steps) / double(hundred_percent(decimals)); }

}  // namespace

int fee_bracket(const FeeTable& table, Currency value) {
    int result = 0;
    for (int i = 0; i < 5; ++i)
        if (value > Currency::from_yen(table.fee_limit[size_t(i)])) result = i + 1;
    return result;
}

double surcharge_factor(const FeeTable& table) {
    const int d = FeeTable::consumption_tax_decimals;
    return percent_fraction(hundred_percent(d) + table.consumption_tax, d);
}

double sale_levy_rate(const FeeTable& table) { return percent_fraction(table.sale_levy, FeeTable::sale_levy_decimals); }

int64_t commission_charge(const FeeTable& table, Currency value) {
    const size_t b = size_t(fee_bracket(table, value));
    // The rate is used as the stored float, widened exactly to double.
    int64_t fee = round_to_int64(value.to_double() * double(table.fee_rate[b]) + double(table.fee_add[b]));
    if (fee < table.fee_min) fee = table.fee_min;
    if (table.fee_max != 0 && fee > table.fee_max) fee = table.fee_max;
    return round_to_int64(double(fee) * surcharge_factor(table));
}

Currency trade_value(Currency price, int32_t shares) {
    int64_t units;
    constexpr int64_t low = int64_t(std::numeric_limits<int32_t>::min()) * Currency::units_per_yen;
    constexpr int64_t high = int64_t(std::numeric_limits<int32_t>::max()) * Currency::units_per_yen;
    if (__builtin_mul_overflow(price.units(), int64_t(shares), &units) || units < low || units > high)
        throw OverflowError("a trade value beyond 32 bits");
    return Currency::from_units(units);
}

namespace {

// A sale's proceeds, in 64 bits.
Currency proceeds(const FeeTable& table, Currency value) {
    const int64_t levy = round_to_int64(value.to_double() * sale_levy_rate(table));
    return value - Currency::from_yen(commission_charge(table, value)) - Currency::from_yen(levy);
}

// The charge of a proposal, which is a 32-bit amount.
Currency proposal_charge(const FeeTable& table, Currency value) {
    const int64_t charge = commission_charge(table, value);
    if (charge != int64_t(int32_t(charge))) throw OverflowError("a commission beyond 32 bits");
    return Currency::from_yen(charge);
}

}  // namespace

Currency buy_total(const FeeTable& table, Currency value) { return value + proposal_charge(table, value); }

Currency buy_total(const FeeTable& table, int32_t price, int32_t shares) {
    return buy_total(table, trade_value(Currency::from_yen(price), shares));
}

Currency sell_total(const FeeTable& table, Currency value) {
    proposal_charge(table, value);
    return proceeds(table, value);
}

Currency sell_total(const FeeTable& table, int32_t price, int32_t shares) {
    return sell_total(table, trade_value(Currency::from_yen(price), shares));
}

namespace {

// The lowest price in [low, high] for which `holds` is true, given that it is
// false below some price and true from there on, and true at `high`.
template <typename Test>
int64_t first_holding(int64_t low, int64_t high, Test holds) {
    while (low < high) {
        const int64_t mid = low + (high - low) / 2;
        if (holds(mid))
            high = mid;
        else
            low = mid + 1;
    }
    return high;
}

// Within one bracket the fee follows the rate, so each further yen of trade
// value costs at most factor x rate + levy rate of a yen, and the roundings
// (fee, charge, levy) take back at most `factor` + 2 yen more: a sale that
// brings in `slack` yen more than the cost at one price covers the cost at
// every higher price of the bracket, when each yen rises the proceeds.
struct Bracket {
    double rise;    // what a further yen of trade value adds at least, roughly
    int64_t slack;  // whole yen
};

Bracket bracket_bound(const FeeTable& table, int b) {
    const double factor = surcharge_factor(table);
    const double rate = std::max(0.0, double(table.fee_rate[size_t(b)]));
    return {1.0 - factor * rate - sale_levy_rate(table), int64_t(std::ceil(factor)) + 3};
}

}  // namespace

std::optional<int32_t> break_even_price(const FeeTable& table, int32_t avg_buy_price, int32_t held_shares) {
    if (held_shares <= 0) return std::nullopt;
    const int64_t held = held_shares;
    // The prices whose trade value currency holds.
    const int64_t top = std::min<int64_t>(std::numeric_limits<int32_t>::max(),
                                          std::numeric_limits<int64_t>::max() / Currency::units_per_yen / held);
    try {
        const Currency cost = Currency::from_yen(int64_t(avg_buy_price) * held);
        const auto value = [&](int64_t price) { return Currency::from_yen(price * held); };
        const auto bracket = [&](int64_t price) { return fee_bracket(table, value(price)); };
        const auto covers = [&](int64_t price, Currency needed) { return proceeds(table, value(price)) >= needed; };

        // The brackets from the highest price down: the bracket never falls as
        // the price rises. Each one's last price that does not cover is
        // looked for on its own; the first found is the answer.
        for (int64_t end = top;;) {
            const int b = bracket(end);
            const int64_t start = first_holding(0, end, [&](int64_t p) { return bracket(p) == b; });
            const Bracket bound = bracket_bound(table, b);
            // How many prices a scan may pass before the proceeds are ample.
            const double prices = std::ceil(2.0 * double(bound.slack) / (bound.rise * double(held)));
            if (!(bound.rise > 0.0) || prices > 1e6) return std::nullopt;
            const int64_t reach = int64_t(prices) + 1;
            const Currency ample = cost + Currency::from_yen(bound.slack);
            // Whether every price from p to the bracket's end covers the cost.
            const auto all_cover_from = [&](int64_t p) {
                for (int64_t q = p; q <= end && q <= p + reach; ++q) {
                    if (!covers(q, cost)) return false;
                    if (covers(q, ample)) return true;
                }
                return true;
            };
            const int64_t found =
                first_holding(start, end + 1, [&](int64_t p) { return p > end || all_cover_from(p); });
            if (found > top) return std::nullopt;
            if (found > start) return int32_t(found);
            if (start == 0) return 0;
            end = start - 1;
        }
    } catch (const OverflowError&) {
        return std::nullopt;
    }
}

}  // namespace chomaru
