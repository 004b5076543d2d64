#pragma once

#include <compare>
#include <string>
#include <string_view>

namespace chomaru {

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;

    auto operator<=>(const Date&) const = default;
};

bool is_valid_date(const Date& date);

// The short date of the Japanese regional settings: "2003/08/01".
std::string short_date_text(const Date& date);

// Reads yyyy/M/d or yyyy-M-d (one to two digit month and day, surrounding
// blanks allowed); anything else, or a day that does not exist, raises
// ConversionError.
Date text_to_date(std::string_view text);

// The local calendar date of the system clock.
Date system_today();

}  // namespace chomaru
