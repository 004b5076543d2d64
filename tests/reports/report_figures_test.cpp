#include "reports/report_figures.h"

#include <gtest/gtest.h>

#include "accounting/commission.h"
#include "store/numbers.h"
#include "store/regional_text.h"

namespace chomaru {
namespace {

Stock holding(int32_t held, int32_t average, int32_t dividend, int64_t profit_yen = 0) {
    Stock s;
    s.held_shares = held;
    s.avg_buy_price = average;
    s.dividend = dividend;
    s.realized_profit = Currency::from_yen(profit_yen);
    if (average > 0) s.dividend_yield = float(dividend) / float(average);
    return s;
}

TEST(SimulateBuy, FiguresAfterTheBuy) {
    const struct {
        Stock before;
        int32_t shares;
        int64_t amount_units;
        int32_t shares_after;
        int64_t average_units;
        const char* yield_text;
    } cases[] = {
        {holding(10, 12, 3), 10, 1600000, 20, 140000, "21.43%"},
        // Four decimals: 100 / 3.
        {holding(0, 0, 10), 3, 1000000, 3, 333333, "30.00%"},
        // 10 x 12 + 120.0001 over 20 shares: 12.000005 rounds to 12.0000.
        {holding(10, 12, 3), 10, 1200001, 20, 120000, "25.00%"},
        {holding(10, 12, 0), 10, 1600000, 20, 140000, "0.00%"},
    };
    for (const auto& c : cases) {
        const BuySimulation r = simulate_buy(c.before, c.shares, Currency::from_units(c.amount_units));
        EXPECT_EQ(r.shares_after, c.shares_after);
        EXPECT_EQ(r.average_after.units(), c.average_units);
        EXPECT_EQ(r.yield_after, static_cast<float>(double(c.before.dividend) / r.average_after.to_double()));
        EXPECT_EQ(format_percent(r.yield_after), c.yield_text);
    }
    EXPECT_EQ(format_percent(holding(10, 12, 3).dividend_yield), "25.00%");
}

TEST(SimulateBuy, TheDefaultsOnAStockWithoutShares) {
    const FeeTable fees = FeeTable::defaults();
    const Currency estimate = buy_total(fees, 10000, 100);
    const BuySimulation r = simulate_buy(holding(0, 0, 100), 100, estimate);
    EXPECT_EQ(r.shares_after, 100);
    EXPECT_EQ(r.average_after, Currency::from_double(estimate.to_double() / 100.0));
    EXPECT_EQ(format_currency(r.average_after), "¥10,117");
}

TEST(SimulateBuy, ImpossibleFiguresAreOverflowErrors) {
    const struct {
        const char* what;
        Stock before;
        int32_t shares;
        int64_t amount_yen;
    } cases[] = {
        {"no shares after the buy", holding(0, 0, 3), 0, 1000},
        {"no shares after the buy, from a negative holding", holding(-10, 12, 3), 10, 1000},
        {"an average of 0", holding(10, 12, 3), 10, -120},
        {"shares beyond 32 bits", holding(2147483647, 12, 3), 1, 1000},
    };
    for (const auto& c : cases)
        EXPECT_THROW(simulate_buy(c.before, c.shares, Currency::from_yen(c.amount_yen)), OverflowError) << c.what;
}

TEST(SimulateSell, FiguresAfterTheSale) {
    const struct {
        Stock before;
        int32_t shares;
        int64_t amount_units;
        int32_t shares_after;
        int64_t profit_units;
    } cases[] = {
        {holding(10, 12, 3, 30), 5, 800000, 5, 500000},
        // More than is held: a negative holding, no error.
        {holding(10, 12, 3, 30), 15, 2000000, -5, 500000},
        {holding(10, 12, 3, -30), 5, 400001, 5, -499999},
    };
    for (const auto& c : cases) {
        const SellSimulation r = simulate_sell(c.before, c.shares, Currency::from_units(c.amount_units));
        EXPECT_EQ(r.shares_after, c.shares_after);
        EXPECT_EQ(r.profit_after.units(), c.profit_units);
    }
    EXPECT_THROW(simulate_sell(holding(-2, 12, 3), 2147483647, Currency()), OverflowError);
}

TEST(Simulations, HoldingsWorthMoreThan32BitsOfYen) {
    // 50,000 shares at an average of 50,000: a cost of 2,500,000,000.
    const BuySimulation buy = simulate_buy(holding(50000, 50000, 500), 50000, Currency::from_yen(2500000000));
    EXPECT_EQ(buy.shares_after, 100000);
    EXPECT_EQ(buy.average_after, Currency::from_yen(50000));
    const SellSimulation sell = simulate_sell(holding(50000, 50000, 500, 10), 50000, Currency::from_yen(2600000000));
    EXPECT_EQ(sell.shares_after, 0);
    EXPECT_EQ(sell.profit_after, Currency::from_yen(100000010));
}

TEST(PortfolioTotals, ProfitAndYieldOnCost) {
    auto p = Portfolio::create();
    p->last_stock = 2;
    p->stocks[0] = holding(1000, 500, 10, 30);
    p->stocks[1] = holding(100, 2000, 40);
    p->stocks[1].realized_profit = Currency::from_units(-125000);
    // Everything sold: only the profit counts.
    p->stocks[2] = holding(0, 800, 1000, 100);
    const PortfolioTotals t = portfolio_totals(*p);
    EXPECT_EQ(t.total_profit.units(), 1175000);
    EXPECT_EQ(t.total_yield, static_cast<float>(14000.0 / 700000.0));
    EXPECT_EQ(format_percent(t.total_yield), "2.00%");
    EXPECT_EQ(format_currency(t.total_profit), "¥118");
}

TEST(PortfolioTotals, NothingHeldGivesNoYield) {
    auto p = Portfolio::create();
    p->last_stock = 1;
    p->stocks[0] = holding(0, 500, 10, -20);
    p->stocks[1] = holding(0, 0, 0);
    const PortfolioTotals t = portfolio_totals(*p);
    EXPECT_EQ(t.total_profit, Currency::from_yen(-20));
    EXPECT_EQ(t.total_yield, 0.0f);
    EXPECT_EQ(format_percent(t.total_yield), "0.00%");
}

TEST(PortfolioTotals, HoldingsBeyond32BitsAreExact) {
    auto p = Portfolio::create();
    p->last_stock = 1;
    p->stocks[0] = holding(100000, 50000, 1000);    // cost 5,000,000,000, income 100,000,000
    p->stocks[1] = holding(3000000, 100000, 1500);  // cost 300,000,000,000, income 4,500,000,000
    const PortfolioTotals t = portfolio_totals(*p);
    EXPECT_EQ(t.total_yield, static_cast<float>(4600000000.0 / 305000000000.0));
    EXPECT_EQ(format_percent(t.total_yield), "1.51%");

    // Beyond what currency holds.
    p->stocks[1] = holding(2147483647, 2147483647, 0);
    EXPECT_THROW(portfolio_totals(*p), OverflowError);
}

}  // namespace
}  // namespace chomaru
