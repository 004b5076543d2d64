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

// A date as typed: what text_to_date reads, or eight digits yyyymmdd.
// Anything else raises ConversionError.
Date typed_date(std::string_view text);

// The trade dates a user may type or pick: from 1970/01/01 to one year after
// today (28 February after a 29 February).
inline constexpr Date earliest_trade_date{1970, 1, 1};
Date latest_trade_date(const Date& today);

// The local calendar date of the system clock.
Date system_today();

}  // namespace chomaru
