#include "store/numbers.h"

#include <cmath>

namespace chomaru {

int32_t checked_add(int32_t a, int32_t b) {
    int32_t r;
    if (__builtin_add_overflow(a, b, &r)) throw OverflowError("32-bit addition overflow");
    return r;
}

int32_t checked_sub(int32_t a, int32_t b) {
    int32_t r;
    if (__builtin_sub_overflow(a, b, &r)) throw OverflowError("32-bit subtraction overflow");
    return r;
}

int32_t checked_mul(int32_t a, int32_t b) {
    int32_t r;
    if (__builtin_mul_overflow(a, b, &r)) throw OverflowError("32-bit multiplication overflow");
    return r;
}

namespace {

// nearbyint follows the current rounding mode; the program never changes it
// from the default (to nearest, ties to even), so it is the rounding we want.
double nearest_even(double value) {
    if (std::isnan(value)) throw OverflowError("not a number");
    return std::nearbyint(value);
}

}  // namespace

int32_t round_to_int32(double value) {
    const double r = nearest_even(value);
    if (r < -2147483648.0 || r > 2147483647.0) throw OverflowError("value outside the 32-bit range");
    return static_cast<int32_t>(r);
}

int64_t round_to_int64(double value) {
    const double r = nearest_even(value);
    // 2^63 is exactly representable; every double below it fits.
    if (r < -9223372036854775808.0 || r >= 9223372036854775808.0) throw OverflowError("value outside the 64-bit range");
    return static_cast<int64_t>(r);
}

}  // namespace chomaru
