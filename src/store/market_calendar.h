#pragma once

#include <string_view>

#include "store/date_text.h"

namespace chomaru {

// The calendar of the Tokyo Stock Exchange: Japan's national holidays and
// the exchange's own year-end closing.

// The name of the national holiday on this date ("元日", "春分の日",
// "振替休日", "国民の休日", ...), or empty on any other day. Holidays exist
// from 1948-07-20, when the holiday law took effect. The equinox days are
// computed by the usual formula, which the published days have matched
// every year of this century.
std::string_view holiday_name(const Date& date);

bool is_holiday(const Date& date);

// A day the exchange trades: Monday to Friday, not a national holiday and
// not 12/31, 1/1, 1/2 or 1/3.
bool is_business_day(const Date& date);

// The day a trade is settled: two business days after the trade date from
// 2019-07-16 on, three before. A trade dated on a day the exchange was
// closed (the day an order was placed, or a slip) is settled as one made on
// the next business day, when such an order would have been executed. The
// calendar ends at 9999-12-31, which a settlement never passes; an invalid
// date is returned as it is.
Date settlement_date(const Date& trade);

}  // namespace chomaru
