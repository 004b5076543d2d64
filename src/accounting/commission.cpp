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

int32_t commission_charge(const FeeTable& table, Currency value) {
    const size_t b = size_t(fee_bracket(table, value));
    // The rate is used as the stored float, widened exactly to double.
    int32_t fee = round_to_int32(value.to_double() * double(table.fee_rate[b]) + double(table.fee_add[b]));
    if (fee < table.fee_min) fee = table.fee_min;
    if (table.fee_max != 0 && fee > table.fee_max) fee = table.fee_max;
    return round_to_int32(double(fee) * surcharge_factor(table));
}

Currency buy_total(const FeeTable& table, int32_t price, int32_t shares) {
    const Currency value = Currency::from_yen(checked_mul(price, shares));
    return value + Currency::from_yen(commission_charge(table, value));
}

Currency sell_total(const FeeTable& table, int32_t price, int32_t shares) {
    const Currency value = Currency::from_yen(checked_mul(price, shares));
    const int32_t levy = round_to_int32(value.to_double() * sale_levy_rate(table));
    return value - Currency::from_yen(commission_charge(table, value)) - Currency::from_yen(levy);
}

namespace {

// The lowest price in [low, high] for which `holds` is true, given that it is
// false below some price and true from there on, and true at `high`.
template <typename Test>
int32_t first_holding(int32_t low, int32_t high, Test holds) {
    while (low < high) {
        const int32_t mid = low + (high - low) / 2;
        if (holds(mid))
            high = mid;
        else
            low = mid + 1;
    }
    return high;
}

// How many prices below a price that covers the cost one that does not may
// lie within bracket b. Each rounding (fee, charge, levy) can take back at
// most one yen more than the rates say, so a sale that covers the cost at
// one price covers it at every price whose trade value is higher by more
// than `dip` yen. A bracket whose sale does not rise with the price has no
// such bound; its answer is the bisection's.
int32_t prices_within_dip(const FeeTable& table, size_t b, int32_t shares) {
    const double factor = surcharge_factor(table);
    const double rise = 1.0 - factor * std::max(0.0, double(table.fee_rate[b])) - sale_levy_rate(table);
    if (!(rise > 0.0)) return 0;
    const double dip = (factor + 2.0) / rise;
    return int32_t(std::min(std::ceil(dip / shares), 64.0));
}

}  // namespace

std::optional<int32_t> break_even_price(const FeeTable& table, int32_t avg_buy_price, int32_t held_shares) {
    if (held_shares <= 0) return std::nullopt;
    const Currency cost = Currency::from_yen(int64_t(avg_buy_price) * held_shares);
    const int32_t top = std::numeric_limits<int32_t>::max() / held_shares;
    auto covers = [&](int32_t price) {
        try {
            return sell_total(table, price, held_shares) >= cost;
        } catch (const OverflowError&) {
            return false;  // a charge beyond 32 bits exceeds any sale
        }
    };
    auto bracket = [&](int32_t price) { return fee_bracket(table, Currency::from_yen(int64_t(price) * held_shares)); };

    // The bracket never falls as the price rises, but the sale may bring in
    // less just above a bracket change: each bracket's prices are searched
    // on their own, lowest first.
    for (int32_t start = 0;;) {
        const int b = bracket(start);
        const int32_t end = first_holding(start, top, [&](int32_t p) { return p == top || bracket(p + 1) != b; });
        if (covers(end)) {
            int32_t found = first_holding(start, end, covers);
            const int32_t dip = prices_within_dip(table, size_t(b), held_shares);
            for (int32_t p = found - 2; p >= start && p >= found - 1 - dip; --p)
                if (covers(p)) found = p;
            return found;
        }
        if (end == top) return std::nullopt;
        start = end + 1;
    }
}

}  // namespace chomaru
