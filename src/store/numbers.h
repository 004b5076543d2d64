#pragma once

#include <cstdint>
#include <stdexcept>

namespace chomaru {

// Text that does not read as a number of the wanted kind.
struct ConversionError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A result outside the range of its type; values never wrap.
struct OverflowError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// 32-bit arithmetic on prices, share counts and counts.
int32_t checked_add(int32_t a, int32_t b);
int32_t checked_sub(int32_t a, int32_t b);
int32_t checked_mul(int32_t a, int32_t b);

// The one rounding rule for floating values: nearest, ties to even.
int32_t round_to_int32(double value);
int64_t round_to_int64(double value);

}  // namespace chomaru
