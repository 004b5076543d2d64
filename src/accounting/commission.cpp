#include "accounting/commission.h"

#include "store/numbers.h"

namespace chomaru {

namespace {

constexpr double surcharge_factor = 1.05;
constexpr double sale_levy_rate = 0.0105;

}  // namespace

int fee_bracket(const FeeTable& table, Currency value) {
    int result = 0;
    for (int i = 0; i < 5; ++i)
        if (value > Currency::from_yen(table.fee_limit[size_t(i)])) result = i + 1;
    return result;
}

int32_t commission_charge(const FeeTable& table, Currency value) {
    const size_t b = size_t(fee_bracket(table, value));
    // The rate is used as the stored float, widened exactly to double.
    int32_t fee = round_to_int32(value.to_double() * double(table.fee_rate[b]) + double(table.fee_add[b]));
    if (fee < table.fee_min) fee = table.fee_min;
    if (table.fee_max != 0 && fee > table.fee_max) fee = table.fee_max;
    return round_to_int32(double(fee) * surcharge_factor);
}

Currency buy_total(const FeeTable& table, int32_t price, int32_t shares) {
    const Currency value = Currency::from_yen(checked_mul(price, shares));
    return value + Currency::from_yen(commission_charge(table, value));
}

Currency sell_total(const FeeTable& table, int32_t price, int32_t shares) {
    const Currency value = Currency::from_yen(checked_mul(price, shares));
    const int32_t levy = round_to_int32(value.to_double() * sale_levy_rate);
    return value - Currency::from_yen(commission_charge(table, value)) - Currency::from_yen(levy);
}

}  // namespace chomaru
