#include "store/currency.h"

#include "store/numbers.h"

namespace chomaru {

Currency Currency::from_yen(int64_t yen) {
    int64_t units;
    if (__builtin_mul_overflow(yen, units_per_yen, &units)) throw OverflowError("currency overflow");
    return Currency(units);
}

Currency Currency::from_double(double yen) {
    return Currency(round_to_int64(yen * static_cast<double>(units_per_yen)));
}

double Currency::to_double() const { return static_cast<double>(units_) / static_cast<double>(units_per_yen); }

Currency Currency::operator+(Currency other) const {
    int64_t r;
    if (__builtin_add_overflow(units_, other.units_, &r)) throw OverflowError("currency overflow");
    return Currency(r);
}

Currency Currency::operator-(Currency other) const {
    int64_t r;
    if (__builtin_sub_overflow(units_, other.units_, &r)) throw OverflowError("currency overflow");
    return Currency(r);
}

Currency Currency::operator-() const { return Currency() - *this; }

}  // namespace chomaru
