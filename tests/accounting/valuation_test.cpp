#include "accounting/valuation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "store/numbers.h"

namespace chomaru {
namespace {

Currency units(int64_t u) { return Currency::from_units(u); }

TEST(Valuation, HandWorkedHoldings) {
    const struct {
        const char* what;
        int64_t price_units;
        int32_t held, average;
        int64_t value_units, gain_units;
        std::optional<double> ratio;
    } cases[] = {
        // 200 × 2,450.5 = 490,100 against 200 × 2,667 = 533,400.
        {"a loss", 24505000, 200, 2667, 4901000000, -433000000, -43300.0 / 533400.0},
        {"a gain", 30000000, 100, 2500, 3000000000, 500000000, 0.2},
        // 100,000 × 30,000.25 = 3,000,025,000 against 3,000,000,000: beyond 32 bits.
        {"beyond 32 bits", 300002500, 100000, 30000, 30000250000000, 250000000, 25000.0 / 3000000000.0},
        {"shares from nothing", 10000000, 100, 0, 1000000000, 1000000000, std::nullopt},
        {"a price of 0", 0, 100, 500, 0, -500000000, -1.0},
    };
    for (const auto& c : cases) {
        Stock s;
        s.held_shares = c.held;
        s.avg_buy_price = c.average;
        s.price = QuotedPrice{units(c.price_units), "2026/12/07"};
        const std::optional<Valuation> v = valuation(s);
        ASSERT_TRUE(v) << c.what;
        EXPECT_EQ(v->value, units(c.value_units)) << c.what;
        EXPECT_EQ(v->gain, units(c.gain_units)) << c.what;
        EXPECT_EQ(v->gain_ratio, c.ratio) << c.what;
    }
}

TEST(Valuation, NothingWithoutAPriceOrSharesHeldAndTotalsCountTheRestAtCost) {
    auto p = Portfolio::create();
    p->last_stock = 3;
    Stock& priced = p->stocks[0];
    priced.held_shares = 200;
    priced.avg_buy_price = 2667;
    priced.price = QuotedPrice{units(24505000), "2026/12/07"};
    Stock& unpriced = p->stocks[1];
    unpriced.held_shares = 100;
    unpriced.avg_buy_price = 9000;
    Stock& sold = p->stocks[2];
    sold.avg_buy_price = 700;
    sold.price = QuotedPrice{units(10000000), "2026/12/07"};
    Stock& oversold = p->stocks[3];
    oversold.held_shares = -5;
    oversold.price = QuotedPrice{units(10000000), "2026/12/07"};
    for (const Stock* s : {&unpriced, &sold, &oversold}) EXPECT_EQ(valuation(*s), std::nullopt);
    const ValuationTotals totals = valuation_totals(*p);
    EXPECT_EQ(totals.value, Currency::from_yen(490100 + 900000));
    EXPECT_EQ(totals.gain, Currency::from_yen(-43300));
    EXPECT_EQ(totals.at_cost, 1);

    priced.price = QuotedPrice{Currency::from_units(INT64_MAX / 100), "2026/12/07"};
    EXPECT_THROW(valuation(priced), OverflowError);
}

TEST(Valuation, APriceSetMoreThanAWeekAgoIsOld) {
    const Date today{2026, 3, 2};
    const struct {
        const char* date;
        bool old;
    } cases[] = {{"2026/03/02", false}, {"2026/02/23", false}, {"2026/02/22", true}, {"2025/03/02", true}};
    for (const auto& c : cases) EXPECT_EQ(is_stale(QuotedPrice{Currency(), c.date}, today), c.old) << c.date;
}

}  // namespace
}  // namespace chomaru
