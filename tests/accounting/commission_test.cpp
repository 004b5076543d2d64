#include "accounting/commission.h"

#include <gtest/gtest.h>

#include "store/numbers.h"

namespace chomaru {
namespace {

Currency yen(int64_t v) { return Currency::from_yen(v); }

TEST(FeeBracket, LimitsAreInclusiveAndTheLastExceededWins) {
    const FeeTable t = FeeTable::defaults();
    EXPECT_EQ(fee_bracket(t, yen(0)), 0);
    EXPECT_EQ(fee_bracket(t, yen(1000000)), 0);
    EXPECT_EQ(fee_bracket(t, Currency::from_units(10000000001)), 1);
    EXPECT_EQ(fee_bracket(t, yen(5000000)), 1);
    EXPECT_EQ(fee_bracket(t, yen(50000000)), 4);
    EXPECT_EQ(fee_bracket(t, yen(50000001)), 5);

    FeeTable falling = t;
    falling.fee_limit = {100, 50, 0, 0, 0, 0};
    EXPECT_EQ(fee_bracket(falling, yen(75)), 5);  // a limit of 0 is exceeded by every positive value
    EXPECT_EQ(fee_bracket(falling, yen(0)), 0);
}

TEST(BuyTotal, DefaultTableExamples) {
    const FeeTable t = FeeTable::defaults();
    // 1000000 × 0.01115f = 11149.99968… → 11150; × 1.05 = 11707.5 → 11708 (even).
    EXPECT_EQ(buy_total(t, 1000, 1000), yen(1000000 + 11708));
    // Bracket 1: 1001000 × 0.009f + 2500 = 11509 → × 1.05 = 12084.45 → 12084.
    EXPECT_EQ(buy_total(t, 1000, 1001), yen(1001000 + 12084));
    // The minimum: 2500 × 1.05 = 2625.
    EXPECT_EQ(buy_total(t, 100, 100), yen(10000 + 2625));
    EXPECT_EQ(buy_total(t, 0, 100), yen(2625));
    // Bracket 5: 272500 × 1.05 = 286125.
    EXPECT_EQ(buy_total(t, 60000, 1000), yen(60000000 + 286125));
}

TEST(SellTotal, LevyTieRoundsToEven) {
    FeeTable t = FeeTable::defaults();
    // 1000 × 0.0105 = 10.5 → 10; commission 2625.
    EXPECT_EQ(sell_total(t, 10, 100), yen(1000 - 2625 - 10));
    // 1500000: fee 1500000 × 0.009f + 2500 = 15999.99… → 16000 → 16800; levy 15750.
    EXPECT_EQ(sell_total(t, 1500, 1000), yen(1500000 - 16800 - 15750));
}

TEST(Commission, HalfwayChargesAndBounds) {
    FeeTable t{};
    t.fee_add[0] = 10;
    EXPECT_EQ(commission_charge(t, yen(0)), 10);   // 10.5 → 10
    t.fee_add[0] = 30;
    EXPECT_EQ(commission_charge(t, yen(0)), 32);   // 31.5 → 32

    t = FeeTable::defaults();
    t.fee_max = 10000;
    EXPECT_EQ(buy_total(t, 1000, 1000), yen(1000000 + 10500));
    t.fee_min = 20000;  // the maximum is applied after the minimum
    EXPECT_EQ(commission_charge(t, yen(100)), 10500);

    const FeeTable zeros{};
    EXPECT_EQ(buy_total(zeros, 1000, 1000), yen(1000000));
    EXPECT_EQ(sell_total(zeros, 1000, 1000), yen(1000000 - 10500));
}

TEST(Commission, UsesTheStoredFloatRateNotItsDecimalText) {
    // 10000 × 0.01115 is 111.5 in decimals, a tie that would give 112; the
    // stored float 0.011149999685585… gives 111.4999…, so the fee is 111.
    FeeTable t{};
    t.fee_rate[0] = 0.01115f;
    t.fee_limit = {2147483647, 2147483647, 2147483647, 2147483647, 2147483647, 0};
    EXPECT_EQ(commission_charge(t, yen(10000)), 117);  // 111 × 1.05 = 116.55
}

TEST(Commission, OverflowIsAnError) {
    const FeeTable t = FeeTable::defaults();
    EXPECT_THROW(buy_total(t, 30000, 100000), OverflowError);
    EXPECT_THROW(sell_total(t, -30000, 100000), OverflowError);
    FeeTable huge = t;
    huge.fee_rate[5] = 1000.0f;
    EXPECT_THROW(buy_total(huge, 2000000, 1000), OverflowError);
}

}  // namespace
}  // namespace chomaru
