#pragma once

#include <compare>
#include <cstdint>

namespace chomaru {

// Money: a signed 64-bit count of ten-thousandths of a yen. Sums are exact;
// every operation that could leave the range raises OverflowError.
class Currency {
public:
    static constexpr int64_t units_per_yen = 10000;

    constexpr Currency() = default;

    static constexpr Currency from_units(int64_t units) { return Currency(units); }
    static Currency from_yen(int64_t yen);
    // Rounds to four decimals, ties to even.
    static Currency from_double(double yen);

    constexpr int64_t units() const { return units_; }
    double to_double() const;
    bool is_whole() const { return units_ % units_per_yen == 0; }

    Currency operator+(Currency other) const;
    Currency operator-(Currency other) const;
    Currency operator-() const;
    Currency& operator+=(Currency other) { return *this = *this + other; }
    Currency& operator-=(Currency other) { return *this = *this - other; }

    constexpr auto operator<=>(const Currency&) const = default;

private:
    constexpr explicit Currency(int64_t units) : units_(units) {}
    int64_t units_ = 0;
};

}  // namespace chomaru
