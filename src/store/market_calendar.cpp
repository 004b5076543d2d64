#include "store/market_calendar.h"

#include <chrono>
#include <cstdint>

namespace chomaru {

namespace {

namespace chrono = std::chrono;

chrono::sys_days to_days(const Date& date) {
    return chrono::sys_days{chrono::year{date.year} / chrono::month{static_cast<unsigned>(date.month)} /
                            chrono::day{static_cast<unsigned>(date.day)}};
}

Date to_date(chrono::sys_days days) {
    const chrono::year_month_day ymd{days};
    return Date{static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

Date next_day(const Date& date) { return to_date(to_days(date) + chrono::days{1}); }
Date previous_day(const Date& date) { return to_date(to_days(date) - chrono::days{1}); }

chrono::weekday weekday_of(const Date& date) { return chrono::weekday{to_days(date)}; }

// The day of the month of its n-th Monday.
int nth_monday(int year, int month, unsigned n) {
    const chrono::year_month_weekday monday{chrono::year{year} / chrono::month{static_cast<unsigned>(month)} /
                                            chrono::Monday[n]};
    return to_date(chrono::sys_days{monday}).day;
}

// The equinox day of the month by the usual approximation, worked in
// millionths of a day so that no binary fraction is involved:
// floor(base + 0.242194 × (year − 1980) − the leap days since the epoch).
int equinox_day(int year, std::int64_t base_to_1979, std::int64_t base_to_2099, std::int64_t base_from_2100) {
    const std::int64_t drift = 242194 * static_cast<std::int64_t>(year - 1980);
    if (year < 1980) return static_cast<int>((base_to_1979 + drift - 1'000'000 * ((year - 1983) / 4)) / 1'000'000);
    const std::int64_t base = year < 2100 ? base_to_2099 : base_from_2100;
    return static_cast<int>((base + drift - 1'000'000 * ((year - 1980) / 4)) / 1'000'000);
}

int vernal_equinox_day(int year) { return equinox_day(year, 20'835'700, 20'843'100, 21'851'000); }
int autumnal_equinox_day(int year) { return equinox_day(year, 23'258'800, 23'248'800, 24'248'800); }

constexpr Date holiday_law_start{1948, 7, 20};
constexpr Date substitute_law_start{1973, 4, 12};
constexpr Date citizens_holiday_start{1985, 12, 27};
constexpr Date substitute_chain_start{2007, 1, 1};
constexpr Date last_day{9999, 12, 31};
// Trades settle two business days after the trade date from this day on, three before.
constexpr Date two_day_settlement_start{2019, 7, 16};

struct OneOffHoliday {
    Date date;
    std::string_view name;
};

// Days set by their own laws: imperial ceremonies, and the days moved for
// the Olympic Games of 2020, held in 2021.
constexpr OneOffHoliday one_off_holidays[] = {
    {{1959, 4, 10}, "結婚の儀"}, {{1989, 2, 24}, "大喪の礼"},      {{1990, 11, 12}, "即位礼正殿の儀"},
    {{1993, 6, 9}, "結婚の儀"},  {{2019, 5, 1}, "天皇の即位の日"}, {{2019, 10, 22}, "即位礼正殿の儀"},
    {{2020, 7, 23}, "海の日"},   {{2020, 7, 24}, "スポーツの日"},  {{2020, 8, 10}, "山の日"},
    {{2021, 7, 22}, "海の日"},   {{2021, 7, 23}, "スポーツの日"},  {{2021, 8, 8}, "山の日"},
};

// The 国民の祝日 themselves, without the days off they give rise to.
std::string_view national_holiday(const Date& date) {
    if (date < holiday_law_start) return {};
    for (const OneOffHoliday& holiday : one_off_holidays)
        if (holiday.date == date) return holiday.name;
    const int year = date.year;
    const int day = date.day;
    // In 2020 and 2021 these three were held on the days listed above instead.
    const bool moved_for_games = year == 2020 || year == 2021;
    switch (date.month) {
    case 1:
        if (day == 1) return "元日";
        if (day == (year >= 2000 ? nth_monday(year, 1, 2) : 15)) return "成人の日";
        break;
    case 2:
        if (day == 11 && year >= 1967) return "建国記念の日";
        if (day == 23 && year >= 2020) return "天皇誕生日";
        break;
    case 3:
        if (day == vernal_equinox_day(year)) return "春分の日";
        break;
    case 4:
        if (day == 29) return year >= 2007 ? "昭和の日" : year >= 1989 ? "みどりの日" : "天皇誕生日";
        break;
    case 5:
        if (day == 3) return "憲法記念日";
        if (day == 4 && year >= 2007) return "みどりの日";
        if (day == 5) return "こどもの日";
        break;
    case 7:
        if (year >= 1996 && !moved_for_games && day == (year >= 2003 ? nth_monday(year, 7, 3) : 20)) return "海の日";
        break;
    case 8:
        if (year >= 2016 && !moved_for_games && day == 11) return "山の日";
        break;
    case 9:
        if (year >= 1966 && day == (year >= 2003 ? nth_monday(year, 9, 3) : 15)) return "敬老の日";
        if (day == autumnal_equinox_day(year)) return "秋分の日";
        break;
    case 10:
        if (year >= 1966 && !moved_for_games && day == (year >= 2000 ? nth_monday(year, 10, 2) : 10))
            return year >= 2020 ? "スポーツの日" : "体育の日";
        break;
    case 11:
        if (day == 3) return "文化の日";
        if (day == 23) return "勤労感謝の日";
        break;
    case 12:
        if (day == 23 && year >= 1989 && year <= 2018) return "天皇誕生日";
        break;
    }
    return {};
}

// A holiday on a Sunday gives the next day off; from 2007 on, the first day
// after it that is not itself a holiday (5/6 when 5/3 is a Sunday).
bool is_substitute_holiday(const Date& date) {
    Date before = previous_day(date);
    if (date < substitute_chain_start)
        return before >= substitute_law_start && !national_holiday(before).empty() &&
               weekday_of(before) == chrono::Sunday;
    for (; !national_holiday(before).empty(); before = previous_day(before))
        if (weekday_of(before) == chrono::Sunday) return true;
    return false;
}

// A day between two holidays is a day off too, unless it is a Sunday anyway.
bool is_citizens_holiday(const Date& date) {
    return date >= citizens_holiday_start && weekday_of(date) != chrono::Sunday &&
           !national_holiday(previous_day(date)).empty() && !national_holiday(next_day(date)).empty();
}

bool is_year_end_closing(const Date& date) {
    return (date.month == 12 && date.day == 31) || (date.month == 1 && date.day <= 3);
}

Date next_business_day(Date date) {
    do date = next_day(date);
    while (!is_business_day(date) && date < last_day);
    return date;
}

}  // namespace

std::string_view holiday_name(const Date& date) {
    if (!is_valid_date(date) || date < holiday_law_start) return {};
    if (const std::string_view name = national_holiday(date); !name.empty()) return name;
    if (is_substitute_holiday(date)) return "振替休日";
    if (is_citizens_holiday(date)) return "国民の休日";
    return {};
}

bool is_holiday(const Date& date) { return !holiday_name(date).empty(); }

bool is_business_day(const Date& date) {
    if (!is_valid_date(date)) return false;
    const chrono::weekday weekday = weekday_of(date);
    return weekday != chrono::Saturday && weekday != chrono::Sunday && !is_year_end_closing(date) && !is_holiday(date);
}

Date settlement_date(const Date& trade) {
    if (!is_valid_date(trade)) return trade;
    Date day = trade;
    if (!is_business_day(day) && day < last_day) day = next_business_day(day);
    const int days = day < two_day_settlement_start ? 3 : 2;
    for (int i = 0; i < days && day < last_day; ++i) day = next_business_day(day);
    return day;
}

}  // namespace chomaru
