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
    EXPECT_EQ(commission_charge(t, yen(0)), 10);  // 10.5 → 10
    t.fee_add[0] = 30;
    EXPECT_EQ(commission_charge(t, yen(0)), 32);  // 31.5 → 32

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
    EXPECT_THROW(sell_total(huge, 2000000, 1000), OverflowError);
}

TEST(TaxRates, TheDefaultsAreTheLongstandingConstantsExactly) {
    const FeeTable t = FeeTable::defaults();
    EXPECT_EQ(surcharge_factor(t), 1.05);
    EXPECT_EQ(sale_levy_rate(t), 0.0105);
    FeeTable today = t;
    today.consumption_tax = 1000;
    today.sale_levy = 0;
    EXPECT_EQ(surcharge_factor(today), 1.1);
    EXPECT_EQ(sale_levy_rate(today), 0.0);
}

TEST(TaxRates, TodaysRatesByHand) {
    FeeTable t = FeeTable::defaults();
    t.consumption_tax = 1000;
    t.sale_levy = 0;
    // Fee 11150 as with the defaults; × 1.1 = 12265; no levy.
    EXPECT_EQ(buy_total(t, 1000, 1000), yen(1000000 + 12265));
    EXPECT_EQ(sell_total(t, 1000, 1000), yen(1000000 - 12265));
    // The minimum: 2500 × 1.1 = 2750.
    EXPECT_EQ(sell_total(t, 10, 100), yen(1000 - 2750));
}

// A fractional unit price gives the exact trade value: 2850.5 x 100 is
// 285,050, whose fee is 3178.3… → 3178, × 1.05 = 3336.9 → 3337.
TEST(TradeValue, AFractionalPriceIsExact) {
    const FeeTable t = FeeTable::defaults();
    const Currency price = Currency::from_units(28505000);
    EXPECT_EQ(trade_value(price, 100), yen(285050));
    EXPECT_EQ(buy_total(t, trade_value(price, 100)), yen(285050 + 3337));
    EXPECT_EQ(trade_value(Currency::from_units(15), 3), Currency::from_units(45));
    EXPECT_THROW(trade_value(yen(30000), 100000), OverflowError);
}

// The lowest price from which every price up to `top` covers the cost, by
// trying every price: the last one that does not cover, plus one.
std::optional<int32_t> break_even_by_scan(const FeeTable& t, int32_t avg, int32_t held, int64_t top) {
    const Currency cost = Currency::from_yen(int64_t(avg) * held);
    for (int64_t p = top; p >= 0; --p)
        if (sell_total(t, Currency::from_yen(p * held)) < cost) return p == top ? std::nullopt : std::optional(p + 1);
    return 0;
}

// With these tables a sale brings in at least 0.9777 of its value less
// ¥300,000, so every price whose value passes (cost + 310,000) / 0.97 covers.
int64_t scan_top(int32_t avg, int32_t held) { return (int64_t(avg) * held + 310000) * 100 / 97 / held + 2; }

TEST(BreakEven, EveryHigherPriceBreaksEvenToo) {
    const FeeTable t = FeeTable::defaults();
    // 100 shares at ¥9,777 cost ¥977,700. ¥10,000 brings in 1,000,000 -
    // 11,708 - 10,500 = 977,792, but the next bracket begins at ¥10,001:
    // 1,000,100 - 12,076 - 10,501 = 977,523, at ¥10,002 977,621, and only
    // ¥10,003 brings in 1,000,300 - 12,078 - 10,503 = 977,719 again.
    EXPECT_EQ(break_even_price(t, 9777, 100), 10003);
    // 50,000 shares at ¥50,000: the value passes 32 bits. Above ¥50,000,000
    // the charge is 272,500 × 1.05 = 286,125 and the levy 1.05%, so a price p
    // brings in 49,475 p - 286,125: 2,500,268,600 - 286,125 at ¥50,536 is
    // short of 2,500,000,000; 2,500,318,075 - 286,125 at ¥50,537 is not.
    EXPECT_EQ(break_even_price(t, 50000, 50000), 50537);

    FeeTable step{};
    step.fee_limit = {1000000, 2147483647, 2147483647, 2147483647, 2147483647, 0};
    step.fee_add[1] = 5000;
    step.sale_levy = 0;
    // Above the first limit 1000 shares bring in 1000 p - 5,250.
    EXPECT_EQ(break_even_price(step, 1000, 1000), 1006);  // not 1000: 1,001,000 - 5,250 is short
    EXPECT_EQ(break_even_price(step, 1001, 1000), 1007);
    EXPECT_EQ(break_even_price(step, 999, 1000), 1005);  // 1,004,000 - 5,250 < 999,000
    EXPECT_EQ(break_even_price(step, 990, 1000), 990);   // 1,001,000 - 5,250 ≥ 990,000
}

TEST(BreakEven, AgreesWithTryingEveryPrice) {
    FeeTable today = FeeTable::defaults();
    today.consumption_tax = 1000;
    today.sale_levy = 0;
    for (const FeeTable& t : {FeeTable::defaults(), today}) {
        for (int32_t held : {3, 100, 1000})
            for (int32_t avg : {0, 1, 7, 260, 999, 1000, 1001, 4999, 5000, 9777, 123457})
                EXPECT_EQ(break_even_price(t, avg, held), break_even_by_scan(t, avg, held, scan_top(avg, held)))
                    << avg << " × " << held;
        // One share where the fee is a share of the value: after the roundings
        // a yen more in value can bring in a yen less.
        for (int32_t cost : {220070, 223577, 223636, 224611})
            for (int32_t avg = cost - 1; avg <= cost + 1; ++avg)
                EXPECT_EQ(break_even_price(t, avg, 1), break_even_by_scan(t, avg, 1, scan_top(avg, 1))) << avg;
    }
}

TEST(BreakEven, NothingHeldOrNoPriceInRange) {
    const FeeTable t = FeeTable::defaults();
    EXPECT_EQ(break_even_price(t, 1000, 0), std::nullopt);
    EXPECT_EQ(break_even_price(t, 1000, -5), std::nullopt);
    EXPECT_EQ(break_even_price(t, 2140000000, 1), std::nullopt);  // the levy alone takes more than the rest
    FeeTable free{};
    free.sale_levy = 0;
    EXPECT_EQ(break_even_price(free, 2147483647, 1), 2147483647);
    FeeTable greedy = t;  // the charge takes more than each further yen
    greedy.fee_rate[5] = 1.0f;
    EXPECT_EQ(break_even_price(greedy, 100000, 1000), std::nullopt);
}

}  // namespace
}  // namespace chomaru
