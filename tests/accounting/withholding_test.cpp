#include "accounting/withholding.h"

#include <gtest/gtest.h>

namespace chomaru {
namespace {

Currency y(int64_t v) { return Currency::from_yen(v); }

// Each tax rounded down on its own: on ¥99, 15.16 gives 15 and 4.95 gives
// 4, where one rounding of 20.315% (20.11) would give 20.
TEST(Withholding, TheEstimateRoundsEachTaxDownOnItsOwn) {
    const struct {
        Currency taxable;
        int64_t tax;
    } cases[] = {
        {y(99), 15 + 4},
        {y(10000), 1531 + 500},            // 1531.5 + 500
        {y(30000), 4594 + 1500},           // 4594.5 + 1500
        {Currency::from_units(49999), 0},  // 4.9999 yen: 0.77 + 0.25
        {y(0), 0},
        {y(-5000), 0},
        {y(900'000'000'000'000), 137'835'000'000'000 + 45'000'000'000'000},
    };
    for (const auto& c : cases) EXPECT_EQ(estimated_tax(c.taxable), c.tax) << c.taxable.units();
}

TEST(Withholding, ADividendIsOfferedAt20Point315PercentRoundedDownAndNothingInNisa) {
    EXPECT_EQ(default_withholding(y(10000), AccountType::tokutei), y(2031));                     // 2031.5
    EXPECT_EQ(default_withholding(y(99), AccountType::ippan), y(20));                            // 20.11
    EXPECT_EQ(default_withholding(Currency::from_units(1234567), AccountType::tokutei), y(25));  // 123.4567 yen: 25.08
    for (const AccountType nisa : {AccountType::nisa_growth, AccountType::nisa_tsumitate, AccountType::old_nisa})
        EXPECT_EQ(default_withholding(y(10000), nisa), y(0));
}

}  // namespace
}  // namespace chomaru
