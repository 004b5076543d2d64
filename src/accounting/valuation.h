#pragma once

#include <optional>

#include "store/currency.h"
#include "store/date_text.h"
#include "store/portfolio.h"

namespace chomaru {

// What the shares held are worth at the stock's quoted price. Products are
// formed in 64 bits: 100,000 shares at ¥30,000 are worth more than 32 bits
// hold.
struct Valuation {
    Currency value;  // the price times the shares held (評価額)
    Currency gain;   // the value less the average buy unit price times the shares (評価損益)
    // The gain over that cost; none when the cost is not positive.
    std::optional<double> gain_ratio;
};

// None without a price, or when no shares are held. Raises OverflowError
// beyond the currency range.
std::optional<Valuation> valuation(const Stock& stock);

// The average buy unit price times the shares held.
Currency holding_cost(const Stock& stock);

// The holdings of the whole portfolio: each stock at its price; a stock
// held without a price at its cost, with no gain, and counted in
// `at_cost`, so that the total is never short of it. Raises OverflowError
// beyond the currency range.
struct ValuationTotals {
    Currency value;
    Currency gain;
    int32_t at_cost = 0;
};
ValuationTotals valuation_totals(const Portfolio& portfolio);

// A price set more than this many days before today is shown as old.
inline constexpr int fresh_price_days = 7;
bool is_stale(const QuotedPrice& price, const Date& today);

}  // namespace chomaru
