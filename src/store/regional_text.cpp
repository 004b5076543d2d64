#include "store/regional_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>

#include "store/numbers.h"

namespace chomaru {

namespace {

constexpr std::string_view yen_sign = "\u00A5";
constexpr std::string_view fullwidth_yen_sign = "\uFFE5";

// A number read from text: digits × 10^exponent, digits without leading zeros.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool consume(std::string_view& s, std::string_view prefix) {
    if (!s.starts_with(prefix)) return false;
    s.remove_prefix(prefix.size());
    return true;
}

bool consume_yen(std::string_view& s) {
    return consume(s, yen_sign) || consume(s, fullwidth_yen_sign) || consume(s, "\\");
}

bool consume_sign(std::string_view& s, bool& negative) {
    if (consume(s, "-")) {
        negative = true;
        return true;
    }
    return consume(s, "+");
}

Decimal parse_decimal(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    if (s.empty()) throw ConversionError("empty text");

    Decimal d;
    if (consume_sign(s, d.negative)) {
        consume_yen(s);
    } else if (consume_yen(s)) {
        consume_sign(s, d.negative);
    }

    std::string digits;
    int fraction_digits = 0;
    bool any_digit = false;
    while (!s.empty()) {
        const char c = s.front();
        if (is_digit(c)) {
            digits += c;
            any_digit = true;
        } else if (c == ',' && any_digit && s.size() > 1 && is_digit(s[1])) {
            // thousands separator inside the whole part
        } else {
            break;
        }
        s.remove_prefix(1);
    }
    if (consume(s, ".")) {
        while (!s.empty() && is_digit(s.front())) {
            digits += s.front();
            ++fraction_digits;
            any_digit = true;
            s.remove_prefix(1);
        }
    }
    if (!any_digit) throw ConversionError("no digits");

    long exponent = 0;
    if (!s.empty() && (s.front() == 'E' || s.front() == 'e')) {
        s.remove_prefix(1);
        bool exponent_negative = false;
        consume_sign(s, exponent_negative);
        if (s.empty()) throw ConversionError("exponent without digits");
        while (!s.empty() && is_digit(s.front())) {
            if (exponent < 100000) exponent = exponent * 10 + (s.front() - '0');
            s.remove_prefix(1);
        }
        if (exponent_negative) exponent = -exponent;
    }
    if (!s.empty()) throw ConversionError("not a number");

    const size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) {
        d.digits.clear();
        d.negative = false;
        return d;
    }
    const size_t last = digits.find_last_not_of('0');
    const size_t trailing = digits.size() - 1 - last;
    d.digits = digits.substr(first, last + 1 - first);
    d.exponent = static_cast<int>(exponent) - fraction_digits + static_cast<int>(trailing);
    return d;
}

// The decimal shifted by `scale` places and rounded to an integer, ties to
// even; OverflowError beyond the range of int64.
int64_t round_scaled(const Decimal& d, int scale) {
    if (d.digits.empty()) return 0;
    const long exponent = long(d.exponent) + scale;
    const long whole_size = long(d.digits.size()) + exponent;  // digits before the point
    if (whole_size > 19) throw OverflowError("number too large");

    uint64_t magnitude = 0;
    auto add = [&magnitude](uint64_t factor, uint64_t digit) {
        if (__builtin_mul_overflow(magnitude, factor, &magnitude) ||
            __builtin_add_overflow(magnitude, digit, &magnitude))
            throw OverflowError("number too large");
    };
    for (long i = 0; i < whole_size; ++i) add(10, i < long(d.digits.size()) ? uint64_t(d.digits[size_t(i)] - '0') : 0);

    if (exponent < 0 && whole_size >= 0) {
        // The digits after the point: the first decides, and since the digits
        // end in a non-zero digit, any further digit makes it more than half.
        const char first = d.digits[size_t(whole_size)];
        const bool more = long(d.digits.size()) > whole_size + 1;
        if (first > '5' || (first == '5' && (more || magnitude % 2 == 1))) add(1, 1);
    }

    const uint64_t limit =
        d.negative ? uint64_t(std::numeric_limits<int64_t>::max()) + 1 : uint64_t(std::numeric_limits<int64_t>::max());
    if (magnitude > limit) throw OverflowError("number too large");
    return d.negative ? int64_t(uint64_t(0) - magnitude) : int64_t(magnitude);
}

std::string group_thousands(std::string digits) {
    for (int i = int(digits.size()) - 3; i > 0; i -= 3) digits.insert(size_t(i), ",");
    return digits;
}

// |value| rounded half away from zero to `decimals` places, as decimal
// digits of the exact binary value; the caller places the point.
std::string round_half_away_digits(double value, int decimals) {
    // The exact decimal expansion of the double: 1100 places cover every
    // double. to_chars, unlike printf, ignores the locale's decimal point.
    char buffer[1500];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed, 1100).ptr;
    std::string text(buffer, end);
    const size_t point = text.find('.');
    std::string digits = text.substr(0, point) + text.substr(point + 1, size_t(decimals));
    const char next = text[point + 1 + size_t(decimals)];
    if (next >= '5') {
        size_t i = digits.size();
        while (i > 0) {
            --i;
            if (digits[i] == '9') {
                digits[i] = '0';
            } else {
                ++digits[i];
                break;
            }
            if (i == 0) digits.insert(digits.begin(), '1');
        }
    }
    const size_t first = digits.find_first_not_of('0');
    const size_t keep = size_t(decimals) + 1;
    if (first == std::string::npos) return std::string(keep, '0');
    digits.erase(0, std::min(first, digits.size() - keep));
    return digits;
}

bool all_zero(const std::string& digits) { return digits.find_first_not_of('0') == std::string::npos; }

// The value of plain decimal text, as the program writes it, shifted by
// `scale` places: an optional minus, at most 14 digits, and with a scale a
// point with 1 to `scale` digits. Anything else is left to the full reader,
// which gives the same value for this text, only more slowly.
std::optional<int64_t> plain_scaled(std::string_view s, int scale) {
    size_t i = 0;
    const bool negative = !s.empty() && s[0] == '-';
    if (negative) ++i;
    const size_t first = i;
    uint64_t magnitude = 0;
    for (; i < s.size() && is_digit(s[i]); ++i) magnitude = magnitude * 10 + uint64_t(s[i] - '0');
    if (i == first || i - first > 14) return std::nullopt;
    int places = 0;
    if (scale > 0 && i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && is_digit(s[i]) && places < scale; ++i, ++places)
            magnitude = magnitude * 10 + uint64_t(s[i] - '0');
        if (places == 0) return std::nullopt;
    }
    if (i != s.size()) return std::nullopt;
    for (; places < scale; ++places) magnitude *= 10;
    return negative ? -int64_t(magnitude) : int64_t(magnitude);
}

int64_t scaled_value(std::string_view text, int scale) {
    if (const std::optional<int64_t> plain = plain_scaled(text, scale)) return *plain;
    return round_scaled(parse_decimal(text), scale);
}

}  // namespace

int32_t text_to_int32(std::string_view text) {
    const int64_t v = scaled_value(text, 0);
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        throw OverflowError("value outside the 32-bit range");
    return int32_t(v);
}

Currency text_to_currency(std::string_view text) { return Currency::from_units(scaled_value(text, 4)); }

float text_to_float(std::string_view text) {
    const Decimal d = parse_decimal(text);
    if (d.digits.empty()) return 0.0f;
    const std::string canonical = d.digits + "e" + std::to_string(d.exponent);
    float value = 0.0f;
    const auto [end, ec] = std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
    // from_chars reports a value too small for any float as out of range; it
    // rounds to zero, as it does for the integer and currency readers.
    const bool below_one = long(d.exponent) + long(d.digits.size()) <= 0;
    if (ec == std::errc::result_out_of_range && below_one) return 0.0f;
    if (ec != std::errc() || end != canonical.data() + canonical.size())
        throw OverflowError("value outside the float range");
    return d.negative ? -value : value;
}

std::string int_text(int64_t value) { return std::to_string(value); }

int32_t text_to_steps(std::string_view text, int decimals) {
    const Decimal d = parse_decimal(text);
    // The digits end in a non-zero digit, so the exponent says how many
    // decimals the value really has.
    if (long(d.exponent) + decimals < 0) throw ConversionError("too many decimals");
    if (d.negative) throw ConversionError("below zero");
    const int64_t v = round_scaled(d, decimals);
    if (v > std::numeric_limits<int32_t>::max()) throw OverflowError("value outside the 32-bit range");
    return int32_t(v);
}

std::string currency_text(Currency value) { return steps_text(value.units(), 4); }

std::string steps_text(int64_t steps, int decimals) {
    char text[steps_chars_room];
    return std::string(text, steps_chars(text, steps, decimals));
}

char* steps_chars(char* out, int64_t steps, int decimals) {
    uint64_t scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const uint64_t magnitude = steps < 0 ? uint64_t(0) - uint64_t(steps) : uint64_t(steps);
    // Amounts, most of what is written, divide by a constant.
    const uint64_t whole = decimals == 4 ? magnitude / 10000 : magnitude / scale;
    uint64_t fraction = magnitude - whole * scale;
    if (steps < 0) *out++ = '-';
    out = std::to_chars(out, out + 20, whole).ptr;
    if (fraction == 0) return out;
    *out++ = '.';
    // The places up to the last that is not zero, zeros inside kept.
    int places = decimals;
    for (; fraction % 10 == 0; --places) fraction /= 10;
    for (int i = places - 1; i >= 0; --i, fraction /= 10) out[i] = char('0' + fraction % 10);
    return out + places;
}

namespace {

std::string seven_digit_text(float value) {
    if (value == 0.0f) return "0";
    // Rounds the exact binary value to 7 significant digits, ties to even.
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 6).ptr;
    std::string_view s(buffer, size_t(end - buffer));
    const bool negative = s.front() == '-';
    if (negative) s.remove_prefix(1);
    const size_t e = s.find('e');
    std::string mantissa;
    mantissa += s[0];
    mantissa += s.substr(2, e - 2);
    mantissa.erase(mantissa.find_last_not_of('0') + 1);
    const int exponent = std::stoi(std::string(s.substr(e + 1)));

    std::string text;
    if (exponent < -4 || exponent >= 7) {
        text = mantissa.substr(0, 1);
        if (mantissa.size() > 1) text += "." + mantissa.substr(1);
        char exp_text[16];
        std::snprintf(exp_text, sizeof exp_text, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        text += exp_text;
    } else if (exponent < 0) {
        text = "0." + std::string(size_t(-exponent - 1), '0') + mantissa;
    } else if (mantissa.size() <= size_t(exponent) + 1) {
        text = mantissa + std::string(size_t(exponent) + 1 - mantissa.size(), '0');
    } else {
        text = mantissa.substr(0, size_t(exponent) + 1) + "." + mantissa.substr(size_t(exponent) + 1);
    }
    return negative ? "-" + text : text;
}

}  // namespace

std::string float_text(float value) {
    // Just above a power of ten that no float holds (1E+28, 1E-38) the
    // rounded text reads back as the float below that power, whose own text
    // ends in nines. That text is written, so that a file read back saves
    // again to the same bytes.
    return seven_digit_text(text_to_float(seven_digit_text(value)));
}

std::string format_grouped(int64_t value) {
    const uint64_t magnitude = value < 0 ? uint64_t(0) - uint64_t(value) : uint64_t(value);
    const std::string grouped = group_thousands(std::to_string(magnitude));
    return value < 0 ? "-" + grouped : grouped;
}

std::string format_currency(Currency value) {
    const int64_t units = value.units();
    const uint64_t magnitude = units < 0 ? uint64_t(0) - uint64_t(units) : uint64_t(units);
    const uint64_t half = Currency::units_per_yen / 2;
    const uint64_t yen = magnitude / Currency::units_per_yen + (magnitude % Currency::units_per_yen >= half ? 1 : 0);
    const std::string text = std::string(yen_sign) + group_thousands(std::to_string(yen));
    return units < 0 && yen != 0 ? "-" + text : text;
}

std::string format_price(Currency value) {
    const int64_t units = value.units();
    const uint64_t magnitude = units < 0 ? uint64_t(0) - uint64_t(units) : uint64_t(units);
    std::string text = std::string(yen_sign) + group_thousands(std::to_string(magnitude / Currency::units_per_yen));
    if (const uint64_t fraction = magnitude % Currency::units_per_yen; fraction != 0) {
        std::string digits = std::to_string(Currency::units_per_yen + fraction).substr(1);
        digits.erase(digits.find_last_not_of('0') + 1);
        text += "." + digits;
    }
    return units < 0 ? "-" + text : text;
}

std::string format_currency(double yen) {
    const std::string digits = round_half_away_digits(yen, 0);
    const std::string text = std::string(yen_sign) + group_thousands(digits);
    return std::signbit(yen) && !all_zero(digits) ? "-" + text : text;
}

std::string format_percent(double ratio) {
    const double value = ratio * 100.0;
    std::string digits = round_half_away_digits(value, 2);
    const bool minus = std::signbit(value) && !all_zero(digits);
    digits.insert(digits.size() - 2, ".");
    return (minus ? "-" : "") + digits + "%";
}

}  // namespace chomaru
