#include "accounting/position.h"

#include <gtest/gtest.h>

#include "store/numbers.h"

namespace chomaru {
namespace {

void buy(Stock& s, int32_t shares, int64_t paid) {
    s.buys[size_t(s.buy_count++)] = TradeRecord{"2003/08/01", 0, shares, Currency::from_yen(paid)};
}

TradeRecord sale(int32_t shares, int64_t received) {
    return TradeRecord{"2003/08/20", 0, shares, Currency::from_yen(received)};
}

TEST(RecalcPosition, PurchasesOnly) {
    Stock s;
    s.dividend = 3;
    s.realized_profit = Currency::from_yen(99);
    buy(s, 10, 100);
    buy(s, 10, 140);
    recalc_position(s);
    EXPECT_EQ(s.held_shares, 20);
    EXPECT_EQ(s.avg_buy_price, 12);
    EXPECT_EQ(s.realized_profit, Currency());
    EXPECT_EQ(s.dividend_yield, 0.25f);
}

TEST(RecalcPosition, AfterASaleTheAverageIsTheCostStillInvested) {
    Stock s;
    s.dividend = 3;
    buy(s, 10, 100);
    buy(s, 10, 140);
    recalc_position(s);
    record_sale(s, sale(10, 150));
    EXPECT_EQ(s.realized_profit, Currency::from_yen(30));
    EXPECT_EQ(s.held_shares, 10);
    recalc_position(s);
    EXPECT_EQ(s.held_shares, 10);
    EXPECT_EQ(s.avg_buy_price, 12);  // (240 - 150 + 30) / 10
    EXPECT_EQ(s.realized_profit, Currency::from_yen(30));
}

TEST(RecalcPosition, AverageRoundsTiesToEven) {
    Stock s;
    buy(s, 20, 250);
    recalc_position(s);
    EXPECT_EQ(s.avg_buy_price, 12);  // 12.5
    s.buy_count = 0;
    buy(s, 20, 270);
    recalc_position(s);
    EXPECT_EQ(s.avg_buy_price, 14);  // 13.5
}

TEST(RecalcPosition, ThePositionMovesAfterASale) {
    Stock s;
    buy(s, 10, 100);
    buy(s, 10, 125);
    recalc_position(s);
    EXPECT_EQ(s.avg_buy_price, 11);  // 11.25
    record_sale(s, sale(10, 130));
    EXPECT_EQ(s.realized_profit, Currency::from_yen(20));
    recalc_position(s);
    EXPECT_EQ(s.avg_buy_price, 12);  // (225 - 130 + 20) / 10 = 11.5
}

TEST(RecalcPosition, NothingHeldKeepsAverageAndYield) {
    Stock s;
    s.dividend = 5;
    s.dividend_yield = 0.25f;
    s.realized_profit = Currency::from_yen(7);
    recalc_position(s);  // no average yet: the yield stays
    EXPECT_EQ(s.held_shares, 0);
    EXPECT_EQ(s.realized_profit, Currency());
    EXPECT_EQ(s.avg_buy_price, 0);
    EXPECT_EQ(s.dividend_yield, 0.25f);

    buy(s, 10, 1000);
    recalc_position(s);
    record_sale(s, sale(10, 2000));
    recalc_position(s);
    EXPECT_EQ(s.held_shares, 0);
    EXPECT_EQ(s.avg_buy_price, 100);
    EXPECT_EQ(s.realized_profit, Currency::from_yen(1000));
}

TEST(RecalcPosition, ZeroDividendGivesZeroYieldAndLastSaleDeletedClearsProfit) {
    Stock s;
    buy(s, 10, 1000);
    s.dividend_yield = 0.5f;
    recalc_position(s);
    EXPECT_EQ(s.dividend_yield, 0.0f);
    record_sale(s, sale(5, 800));
    recalc_position(s);
    EXPECT_EQ(s.realized_profit, Currency::from_yen(300));
    s.sell_count = 0;
    recalc_position(s);
    EXPECT_EQ(s.realized_profit, Currency());
    EXPECT_EQ(s.held_shares, 10);
}

TEST(RecalcPosition, OverflowRaisesWithHeldSharesAlreadyWritten) {
    Stock s;
    s.avg_buy_price = 7;
    buy(s, 2147483647, 1);
    buy(s, 1, 1);
    EXPECT_THROW(recalc_position(s), OverflowError);
    EXPECT_EQ(s.avg_buy_price, 7);
}

TEST(RecordSale, ProfitUsesTheAverageAtTheMoment) {
    Stock s;
    s.avg_buy_price = 1000;
    s.held_shares = 1000;
    record_sale(s, TradeRecord{"d", 1200, 500, Currency::from_yen(600000)});
    EXPECT_EQ(s.realized_profit, Currency::from_yen(100000));
    EXPECT_EQ(s.avg_buy_price, 1000);
    EXPECT_EQ(s.held_shares, 500);
    EXPECT_EQ(s.sell_count, 1);
    record_sale(s, TradeRecord{"d", 1, 1, Currency::from_units(5)});
    EXPECT_EQ(s.realized_profit, Currency::from_yen(100000 - 1000) + Currency::from_units(5));
}

TEST(RecordSale, AProductBeyond32BitsIsFormedExactly) {
    Stock s;
    s.avg_buy_price = 100000;
    s.held_shares = 100000;
    record_sale(s, sale(100000, 0));
    EXPECT_EQ(s.realized_profit, Currency::from_yen(-10000000000));
    EXPECT_EQ(s.held_shares, 0);
}

TEST(RecordSale, ASaleThatCannotBeAppliedChangesNothing) {
    Stock s;
    s.held_shares = -2147483647;
    EXPECT_THROW(record_sale(s, sale(2, 0)), OverflowError);
    EXPECT_EQ(s.sell_count, 0);
    EXPECT_EQ(s.held_shares, -2147483647);

    Stock full;
    full.sell_count = max_records;
    full.held_shares = 10;
    EXPECT_THROW(record_sale(full, sale(1, 0)), OverflowError);
    EXPECT_EQ(full.held_shares, 10);
}

}  // namespace
}  // namespace chomaru
