#pragma once

#include <cstdint>

#include "store/currency.h"
#include "store/portfolio.h"

namespace chomaru {

// A buy of `shares` for `amount` on the stock as it stands; nothing is stored.
// The average after is the cost still invested per share, to four decimals.
// Raises OverflowError for a value out of range, for no shares after the buy
// and for an average after of 0.
struct BuySimulation {
    int32_t shares_after;
    Currency average_after;
    float yield_after;
};
BuySimulation simulate_buy(const Stock& stock, int32_t shares, Currency amount);

// A sale of `shares` for `amount`, costed at the present average buy unit
// price. Selling more than is held gives a negative share count. Raises
// OverflowError.
struct SellSimulation {
    int32_t shares_after;
    Currency profit_after;
};
SellSimulation simulate_sell(const Stock& stock, int32_t shares, Currency amount);

// The totals below the portfolio list: the sum of the realised profits, and
// the dividend income of the shares held over their cost (0 when nothing is
// held). Raises OverflowError for a total outside the currency range.
struct PortfolioTotals {
    Currency total_profit;
    float total_yield;
};
PortfolioTotals portfolio_totals(const Portfolio& portfolio);

}  // namespace chomaru
