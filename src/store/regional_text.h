#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "store/currency.h"

// Numbers as text, with the Japanese regional conventions fixed in the
// program whatever the machine's locale: "." decimal point, "," thousands
// separator, the yen sign before the amount and a leading minus.
namespace chomaru {

// Text to number. Accepted: surrounding blanks, one sign, a yen sign ("¥",
// "￥" or "\") before or after the sign, thousands separators in the whole
// part, a decimal fraction and an exponent ("1E-05"). The value is taken
// from the exact decimal text and rounded to the target, ties to even.
// Empty or malformed text raises ConversionError, a value out of the
// target's range OverflowError.
int32_t text_to_int32(std::string_view text);
Currency text_to_currency(std::string_view text);
float text_to_float(std::string_view text);
// The exact count of 10^-decimals steps that text holds: "1.05" with 4
// decimals is 10500. Text with more decimals, or below zero, raises
// ConversionError, a count beyond 32 bits OverflowError.
int32_t text_to_steps(std::string_view text, int decimals);

// Number to text for files and prompt defaults.
std::string int_text(int64_t value);
// Shortest form: "100", "12.5", "-350".
std::string currency_text(Currency value);
// steps / 10^decimals in the same shortest form: 10500 with 4 decimals is "1.05".
std::string steps_text(int64_t steps, int decimals);
// The same text written at `out`, which has room for steps_chars_room
// characters, for writers that build a line in place; returns its end.
inline constexpr size_t steps_chars_room = 26;
char* steps_chars(char* out, int64_t steps, int decimals);
// 7 significant digits, trailing zeros dropped, exponent form only for a
// decimal exponent below -4 or from 7 on: "0.01115", "1E-05", "1.234568E+07".
std::string float_text(float value);

// Display formats. Fractions round half away from zero on the exact value,
// and a value that rounds to zero has no minus sign.
std::string format_grouped(int64_t value);    // "#,##0"   12,345
std::string format_currency(Currency value);  // "currency" ¥1,000 / -¥1,000
std::string format_currency(double yen);
// A quoted price as "currency" with its decimals kept: ¥2,450.5.
std::string format_price(Currency value);
std::string format_percent(double ratio);  // "percent"  25.00%

}  // namespace chomaru
