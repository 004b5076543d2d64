#include "store/date_text.h"

#include <cstdio>
#include <ctime>

#include "store/numbers.h"

namespace chomaru {

namespace {

bool is_leap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap(year) ? 29 : days[month - 1];
}

// Reads between `min_digits` and `max_digits` decimal digits.
bool read_number(std::string_view& s, size_t min_digits, size_t max_digits, int& out) {
    size_t n = 0;
    int value = 0;
    while (n < s.size() && n < max_digits && s[n] >= '0' && s[n] <= '9') value = value * 10 + (s[n++] - '0');
    if (n < min_digits) return false;
    s.remove_prefix(n);
    out = value;
    return true;
}

}  // namespace

bool is_valid_date(const Date& date) {
    return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= days_in_month(date.year, date.month);
}

std::string short_date_text(const Date& date) {
    // The common case without printf, which costs more than the rest of
    // reading a trade.
    if (date.year >= 0 && date.year <= 9999 && date.month >= 0 && date.month <= 99 && date.day >= 0 && date.day <= 99) {
        const auto digit = [](int value) { return char('0' + value % 10); };
        return {digit(date.year / 1000),
                digit(date.year / 100),
                digit(date.year / 10),
                digit(date.year),
                '/',
                digit(date.month / 10),
                digit(date.month),
                '/',
                digit(date.day / 10),
                digit(date.day)};
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d", date.year, date.month, date.day);
    return buffer;
}

Date text_to_date(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    Date date;
    if (!read_number(s, 4, 4, date.year) || s.empty() || (s.front() != '/' && s.front() != '-'))
        throw ConversionError("not a date");
    const char separator = s.front();
    s.remove_prefix(1);
    if (!read_number(s, 1, 2, date.month) || s.empty() || s.front() != separator) throw ConversionError("not a date");
    s.remove_prefix(1);
    if (!read_number(s, 1, 2, date.day) || !s.empty() || !is_valid_date(date)) throw ConversionError("not a date");
    return date;
}

Date typed_date(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    Date date;
    std::string_view digits = s;
    if (s.size() == 8 && read_number(digits, 4, 4, date.year) && read_number(digits, 2, 2, date.month) &&
        read_number(digits, 2, 2, date.day)) {
        if (!is_valid_date(date)) throw ConversionError("not a date");
        return date;
    }
    return text_to_date(s);
}

Date latest_trade_date(const Date& today) {
    Date last{today.year + 1, today.month, today.day};
    if (!is_valid_date(last) && last.month >= 1 && last.month <= 12) last.day = days_in_month(last.year, last.month);
    return last;
}

Date system_today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace chomaru
