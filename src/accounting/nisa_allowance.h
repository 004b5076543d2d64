#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/currency.h"
#include "store/portfolio.h"

namespace chomaru {

// The NISA allowances from 2024 on: what may be bought each year in the
// growth and the tsumitate accounts, and what may be held over a lifetime,
// counted at book value. 旧NISA counts against none of them.
inline constexpr int nisa_first_year = 2024;
inline constexpr Currency growth_annual_limit = Currency::from_units(2'400'000 * Currency::units_per_yen);
inline constexpr Currency tsumitate_annual_limit = Currency::from_units(1'200'000 * Currency::units_per_yen);
inline constexpr Currency lifetime_limit = Currency::from_units(18'000'000 * Currency::units_per_yen);
inline constexpr Currency growth_lifetime_limit = Currency::from_units(12'000'000 * Currency::units_per_yen);

// One calendar year of the NISA accounts. Book value is the cost of the
// shares held; the book value of shares sold frees lifetime room from the
// next calendar year on, and never gives back the year's own allowance.
struct NisaYear {
    int year = 0;
    Currency growth;     // bought in NISA成長 this year, as recorded
    Currency tsumitate;  // bought in NISAつみたて this year
    // The lifetime room used at the year's end: the book value held, with
    // what this year's sales will free only next year.
    Currency lifetime;
    Currency growth_lifetime;  // of which NISA成長
    Currency old_nisa;         // 旧NISA's book value held at the year's end
};

struct NisaAllowance {
    std::vector<NisaYear> years;  // ascending, every year asked for
    // The NISA entries whose records could not be replayed (a date that
    // does not read, a figure out of range), in the stored order; they
    // count in no year.
    std::vector<int32_t> left_out;
};

// Years nisa_first_year to `last_year` (none when that is earlier).
NisaAllowance nisa_allowance(const Portfolio& portfolio, int last_year);

// What may still be bought in a year after the buys of `year`: each annual
// allowance less what it used, no more than the lifetime room left (the
// growth account's own share of it too); never below zero.
struct NisaRoom {
    Currency growth;
    Currency tsumitate;
};
NisaRoom nisa_room(const NisaYear& year);

// A limit that a buy would pass, in the first year it passes it, and by how
// much the amount used then exceeds it.
enum class NisaLimit { growth_annual, tsumitate_annual, lifetime, growth_lifetime };
struct NisaExcess {
    NisaLimit limit = NisaLimit::growth_annual;
    int year = 0;
    Currency excess;
};

// The limits that `buy`, added to stock `stock`, would pass and that it
// did not leave as they were: none for an entry outside the new NISA, a buy
// before 2024 or a date that does not read. The buy is still a buy to
// record; the caller warns.
std::vector<NisaExcess> nisa_excess(const Portfolio& portfolio, int32_t stock, const TradeRecord& buy);

// The warning, one line for each limit passed, or empty:
// "2025年の成長投資枠（年間¥2,400,000）を¥100,000超えています".
std::string nisa_excess_text(const std::vector<NisaExcess>& excess);

}  // namespace chomaru
