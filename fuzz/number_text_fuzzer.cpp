// Arbitrary text as a number: the three readers agree on what is a number,
// and every value they accept is written and displayed in forms that read
// back to it.
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "store/numbers.h"
#include "store/regional_text.h"

namespace chomaru {
namespace {

enum class Outcome { value, not_a_number, out_of_range };

template <typename T>
struct Reading {
    Outcome outcome = Outcome::value;
    T value{};
};

template <typename T, typename Convert>
Reading<T> read(Convert convert, std::string_view text) {
    try {
        return {Outcome::value, convert(text)};
    } catch (const ConversionError&) {
        return {Outcome::not_a_number, T{}};
    } catch (const OverflowError&) {
        return {Outcome::out_of_range, T{}};
    }
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Text in the plain form strtof reads the same way: [sign] digits [. digits]
// [e [sign] digits], with at least one digit before the exponent.
bool is_plain_decimal(std::string_view s, bool& has_exponent, size_t& fraction_digits) {
    size_t i = 0;
    size_t digits = 0;
    has_exponent = false;
    fraction_digits = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    for (; i < s.size() && is_digit(s[i]); ++i) ++digits;
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && is_digit(s[i]); ++i) ++fraction_digits;
    }
    if (digits + fraction_digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        has_exponent = true;
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        const size_t start = i;
        for (; i < s.size() && is_digit(s[i]); ++i) {
        }
        if (i == start) return false;
    }
    return i == s.size();
}

// Ten-thousandths rounded to whole units, ties to even.
int64_t round_units_half_even(int64_t units) {
    int64_t whole = units / Currency::units_per_yen;
    const int64_t rest = units % Currency::units_per_yen;
    const int64_t twice = 2 * (rest < 0 ? -rest : rest);
    if (twice > Currency::units_per_yen || (twice == Currency::units_per_yen && whole % 2 != 0))
        whole += rest < 0 ? -1 : 1;
    return whole;
}

// The whole yen that "¥1,235" shows: half away from zero.
int64_t round_units_half_away(int64_t units) {
    int64_t whole = units / Currency::units_per_yen;
    const int64_t rest = units % Currency::units_per_yen;
    if (2 * (rest < 0 ? -rest : rest) >= Currency::units_per_yen) whole += rest < 0 ? -1 : 1;
    return whole;
}

void check_int32(int32_t v) {
    require(text_to_int32(int_text(v)) == v, "an integer reads back from its file text");
    require(text_to_int32(format_grouped(v)) == v, "an integer reads back from \"#,##0\"");
    require(text_to_int32(format_currency(Currency::from_yen(v))) == v, "an integer reads back from \"currency\"");
}

void check_currency(Currency c) {
    require(text_to_currency(currency_text(c)) == c, "currency reads back from its file text");
    // Within half a yen of the limits the display rounds beyond the range.
    const int64_t margin = Currency::units_per_yen;
    if (c.units() > std::numeric_limits<int64_t>::max() - margin ||
        c.units() < std::numeric_limits<int64_t>::min() + margin)
        return;
    const Currency shown = text_to_currency(format_currency(c));
    require(shown.is_whole(), "displayed currency has no fraction");
    require(shown.units() / Currency::units_per_yen == round_units_half_away(c.units()),
            "displayed currency reads back as the amount rounded to whole yen");
}

void check_float(float f) {
    require(std::isfinite(f), "a float read from text is finite");
    const std::string written = float_text(f);
    const float back = text_to_float(written);
    require(float_text(back) == written, "a float's file text reads back and writes the same text");
    require(back == std::strtof(written.c_str(), nullptr), "a float's file text reads as the nearest float");
}

}  // namespace
}  // namespace chomaru

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace chomaru;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto i = read<int32_t>(text_to_int32, text);
    const auto c = read<Currency>(text_to_currency, text);
    const auto f = read<float>(text_to_float, text);

    const bool number = i.outcome != Outcome::not_a_number;
    require(number == (c.outcome != Outcome::not_a_number) && number == (f.outcome != Outcome::not_a_number),
            "the three readers agree on what is a number");
    if (!number) return 0;
    // Every int32 is a currency amount and a float; every currency amount is a float.
    require(i.outcome != Outcome::value || (c.outcome == Outcome::value && f.outcome == Outcome::value),
            "an integer also reads as currency and as a float");
    require(c.outcome != Outcome::value || f.outcome == Outcome::value, "currency also reads as a float");

    if (i.outcome == Outcome::value) check_int32(i.value);
    if (c.outcome == Outcome::value) check_currency(c.value);
    if (f.outcome == Outcome::value) check_float(f.value);

    bool has_exponent = false;
    size_t fraction_digits = 0;
    if (!is_plain_decimal(text, has_exponent, fraction_digits)) return 0;
    if (f.outcome == Outcome::value) {
        errno = 0;
        const float expected = std::strtof(text.c_str(), nullptr);
        require(errno == ERANGE || f.value == expected, "a plain decimal reads as strtof reads it");
    }
    // With at most four decimals and no exponent the currency reading is
    // exact, and the integer is that amount rounded.
    if (!has_exponent && fraction_digits <= 4 && c.outcome == Outcome::value) {
        const int64_t whole = round_units_half_even(c.value.units());
        const bool fits = whole >= std::numeric_limits<int32_t>::min() && whole <= std::numeric_limits<int32_t>::max();
        require(fits ? i.outcome == Outcome::value && i.value == whole : i.outcome == Outcome::out_of_range,
                "an integer is the exact amount rounded to even");
    }
    return 0;
}
