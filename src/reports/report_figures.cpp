#include "reports/report_figures.h"

#include "store/numbers.h"

namespace chomaru {

BuySimulation simulate_buy(const Stock& stock, int32_t shares, Currency amount) {
    const int32_t shares_after = checked_add(stock.held_shares, shares);
    // Formed in 64 bits, as the portfolio totals are.
    const Currency cost_before = Currency::from_yen(int64_t(stock.avg_buy_price) * int64_t(stock.held_shares));
    const double cost_after = (cost_before + amount).to_double();
    if (shares_after == 0) throw OverflowError("division by zero: no shares after the buy");
    const Currency average_after = Currency::from_double(cost_after / double(shares_after));
    if (average_after == Currency()) throw OverflowError("division by zero: an average of 0 after the buy");
    const float yield_after = static_cast<float>(double(stock.dividend) / average_after.to_double());
    return {shares_after, average_after, yield_after};
}

SellSimulation simulate_sell(const Stock& stock, int32_t shares, Currency amount) {
    const int32_t shares_after = checked_sub(stock.held_shares, shares);
    const Currency cost_sold = Currency::from_yen(int64_t(stock.avg_buy_price) * int64_t(shares));
    return {shares_after, stock.realized_profit + amount - cost_sold};
}

PortfolioTotals portfolio_totals(const Portfolio& portfolio) {
    Currency total_profit;
    Currency total_cost;
    Currency total_income;
    for (int32_t i = 0; i <= portfolio.last_stock; ++i) {
        const Stock& s = portfolio.stocks.at(size_t(i));
        total_profit += s.realized_profit;
        // Formed in 64 bits: a holding worth more than 2^31 yen is real money,
        // not an error.
        total_cost += Currency::from_yen(int64_t(s.held_shares) * int64_t(s.avg_buy_price));
        total_income += Currency::from_yen(int64_t(s.held_shares) * int64_t(s.dividend));
    }
    float total_yield = 0.0f;
    if (total_cost > Currency()) total_yield = static_cast<float>(total_income.to_double() / total_cost.to_double());
    return {total_profit, total_yield};
}

}  // namespace chomaru
