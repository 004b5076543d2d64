#include "store/numbers.h"

#include <gtest/gtest.h>

#include <limits>

#include "store/currency.h"

namespace chomaru {
namespace {

TEST(Rounding, NearestWithTiesToEven) {
    const struct {
        double in;
        int32_t out;
    } cases[] = {
        {1.5, 2},
        {2.5, 2},
        {3.5, 4},
        {-2.5, -2},
        {-3.5, -4},
        {0.5, 0},
        {-0.5, 0},
        {12.5, 12},
        {13.5, 14},
        {11.25, 11},
        {11.5, 12},
        {4.0 / 3, 1},
        {-4.0 / 3, -1},
        {10.0 / 7, 1},
        {2.5000000001, 3},
        {2147483647.0, 2147483647},
        {-2147483648.0, -2147483647 - 1},
        {2147483647.4, 2147483647},
    };
    for (const auto& c : cases) EXPECT_EQ(round_to_int32(c.in), c.out) << c.in;
}

TEST(Rounding, OutOfRangeIsAnOverflowError) {
    EXPECT_THROW(round_to_int32(2147483647.5), OverflowError);  // ties to even: 2147483648
    EXPECT_THROW(round_to_int32(-2147483649.0), OverflowError);
    EXPECT_THROW(round_to_int32(std::numeric_limits<double>::infinity()), OverflowError);
    EXPECT_THROW(round_to_int32(std::numeric_limits<double>::quiet_NaN()), OverflowError);
    EXPECT_THROW(round_to_int64(9.3e18), OverflowError);
}

TEST(CheckedInt32, RaisesAtTheEdgesAndNeverWraps) {
    constexpr int32_t max = std::numeric_limits<int32_t>::max();
    constexpr int32_t min = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(checked_add(max - 1, 1), max);
    EXPECT_THROW(checked_add(max, 1), OverflowError);
    EXPECT_THROW(checked_add(min, -1), OverflowError);
    EXPECT_EQ(checked_sub(min + 1, 1), min);
    EXPECT_THROW(checked_sub(min, 1), OverflowError);
    EXPECT_THROW(checked_sub(0, min), OverflowError);
    EXPECT_EQ(checked_mul(46340, 46340), 2147395600);
    EXPECT_THROW(checked_mul(30000, 100000), OverflowError);
    EXPECT_THROW(checked_mul(-1, min), OverflowError);
}

TEST(Currency, ExactSumsAndConversions) {
    EXPECT_EQ(Currency::from_yen(12).units(), 120000);
    EXPECT_EQ((Currency::from_units(1) + Currency::from_units(2)).units(), 3);
    EXPECT_EQ((Currency::from_yen(240) - Currency::from_yen(150) + Currency::from_yen(30)), Currency::from_yen(120));
    EXPECT_EQ(Currency::from_double(14.00005).units(), 140000);  // 140000.5 rounds to even
    EXPECT_EQ(Currency::from_double(14.00015).units(), 140002);  // 140001.5 rounds to even
    EXPECT_EQ(Currency::from_double(-0.00005).units(), 0);
    EXPECT_DOUBLE_EQ(Currency::from_units(125000).to_double(), 12.5);
    EXPECT_TRUE(Currency::from_yen(5).is_whole());
    EXPECT_FALSE(Currency::from_units(5).is_whole());
}

TEST(Currency, OverflowIsAnError) {
    const Currency max = Currency::from_units(std::numeric_limits<int64_t>::max());
    EXPECT_THROW(max + Currency::from_units(1), OverflowError);
    EXPECT_THROW(-max - Currency::from_units(2), OverflowError);
    EXPECT_THROW(Currency::from_yen(std::numeric_limits<int64_t>::max() / 1000), OverflowError);
    EXPECT_THROW(Currency::from_double(1e16), OverflowError);
}

}  // namespace
}  // namespace chomaru
