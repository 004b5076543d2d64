#include "store/regional_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "store/numbers.h"

namespace chomaru {
namespace {

TEST(TextToInt32, AcceptsTheRegionalForms) {
    const struct {
        const char* in;
        int32_t out;
    } cases[] = {
        {"100", 100},
        {"  42 ", 42},
        {"-7", -7},
        {"+7", 7},
        {"1,000", 1000},
        {"12,345,678", 12345678},
        {"¥1,000", 1000},
        {"-¥1,000", -1000},
        {"¥-1,000", -1000},
        {"￥2,500", 2500},
        {"\\5,000,000", 5000000},
        {"100.5", 100},
        {"101.5", 102},
        {"100.50001", 101},
        {"-2.5", -2},
        {"0.5", 0},
        {".5", 0},
        {"1.", 1},
        {"1E3", 1000},
        {"2.5e0", 2},
        {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<int32_t>::min()},
        {"0000012", 12},
        {"-0", 0},
        {"0.0000", 0},
        {"2147483647.4", 2147483647},
    };
    for (const auto& c : cases) EXPECT_EQ(text_to_int32(c.in), c.out) << c.in;
}

TEST(TextToInt32, RejectsWhatIsNotANumber) {
    for (const char* bad : {"", "   ", "abc", "12a", "1 000", "１２", "1.2.3", "--1", "¥", "-", ",100", "100,", "1e",
                            "1E+", "0x10", "1,0.5.", "100円", "5%"})
        EXPECT_THROW(text_to_int32(bad), ConversionError) << bad;
}

TEST(TextToInt32, OutOfRangeIsAnOverflow) {
    for (const char* big : {"2147483648", "-2147483649", "2147483647.5", "99999999999999999999999", "1E20"})
        EXPECT_THROW(text_to_int32(big), OverflowError) << big;
}

TEST(TextToCurrency, RoundsToFourDecimalsTiesToEven) {
    const struct {
        const char* in;
        int64_t units;
    } cases[] = {
        {"100", 1000000},
        {"12.5", 125000},
        {"-350", -3500000},
        {"0.00005", 0},
        {"0.00015", 2},
        {"0.000051", 1},
        {"1.23456", 12346},
        {"¥1,234", 12340000},
        {"-12.5", -125000},
        {"40182899.25", 401828992500},
        {"922337203685477.5807", std::numeric_limits<int64_t>::max()},
        // Plain text is read a shorter way up to 14 digits before the point
        // and 4 after it; both ways must agree at its edges.
        {"99999999999999.9999", 999999999999999999},
        {"-99999999999999.9999", -999999999999999999},
        {"100000000000000", 1000000000000000000},
        {"922337203685477", 9223372036854770000},
        {"00000000000000000012", 120000},
        {"-0.0001", -1},
        {"-0.0000", 0},
        {"1.00005", 10000},
        {"1.00015", 10002},
        {"12 ", 120000},
    };
    for (const auto& c : cases) EXPECT_EQ(text_to_currency(c.in).units(), c.units) << c.in;
    EXPECT_THROW(text_to_currency("922337203685477.5808"), OverflowError);
    for (const char* bad : {"x", "1.-5", "-.", "1..5", "1.5-"})
        EXPECT_THROW(text_to_currency(bad), ConversionError) << bad;
}

TEST(TextToSteps, ExactDecimalsOnlyAndNormalisedBack) {
    const struct {
        const char* in;
        int decimals;
        int32_t steps;
        const char* normalised;
    } cases[] = {{"05.50", 2, 550, "5.5"}, {"0.05", 2, 5, "0.05"},    {"1.05", 4, 10500, "1.05"},
                 {"-0", 2, 0, "0"},        {".0001", 4, 1, "0.0001"}, {"10.000000", 2, 1000, "10"}};
    for (const auto& c : cases) {
        EXPECT_EQ(text_to_steps(c.in, c.decimals), c.steps) << c.in;
        EXPECT_EQ(steps_text(c.steps, c.decimals), c.normalised) << c.in;
    }
    for (const char* bad : {"0.001", "-0.01", "", "10%"}) EXPECT_THROW(text_to_steps(bad, 2), ConversionError) << bad;
    EXPECT_THROW(text_to_steps("21474837", 2), OverflowError);
}

TEST(TextToFloat, ReadsDecimalAndExponentForms) {
    EXPECT_EQ(text_to_float("0.01115"), 0.01115f);
    EXPECT_EQ(text_to_float("1E-05"), 1e-05f);
    EXPECT_EQ(text_to_float("5e-5"), 5e-05f);
    EXPECT_EQ(text_to_float("0.25"), 0.25f);
    EXPECT_EQ(text_to_float("-3"), -3.0f);
    EXPECT_EQ(text_to_float("0"), 0.0f);
    EXPECT_THROW(text_to_float("1%"), ConversionError);
    EXPECT_THROW(text_to_float("inf"), ConversionError);
    EXPECT_THROW(text_to_float("1E50"), OverflowError);
}

TEST(TextToFloat, UnderflowRoundsToZeroInsteadOfRaisingOverflow) {
    const struct {
        const char* text;
        float value;
    } cases[] = {
        {".401298E-45", 0.0f},  // found by fuzzing: the integer and currency readers gave 0
        {"1e-50", 0.0f},
        {"-7e-46", 0.0f},  // below half the smallest float
        {"7.1e-46", 1.401298e-45f},
        {"1.401298E-45", 1.401298e-45f},
    };
    for (const auto& c : cases) EXPECT_EQ(text_to_float(c.text), c.value) << c.text;
    EXPECT_THROW(text_to_float("3.5e38"), OverflowError);
}

TEST(NumberToText, FileForms) {
    EXPECT_EQ(int_text(-12), "-12");
    EXPECT_EQ(currency_text(Currency::from_yen(100)), "100");
    EXPECT_EQ(currency_text(Currency::from_units(125000)), "12.5");
    EXPECT_EQ(currency_text(Currency::from_yen(-350)), "-350");
    EXPECT_EQ(currency_text(Currency::from_units(-125000)), "-12.5");
    EXPECT_EQ(currency_text(Currency::from_units(1)), "0.0001");
    EXPECT_EQ(currency_text(Currency::from_units(-1)), "-0.0001");
    EXPECT_EQ(currency_text(Currency::from_units(std::numeric_limits<int64_t>::min())), "-922337203685477.5808");

    const struct {
        float in;
        const char* out;
    } floats[] = {
        {0.01115f, "0.01115"},   {0.25f, "0.25"},          {0.0f, "0"},
        {1e-05f, "1E-05"},       {5e-05f, "5E-05"},        {12345678.0f, "1.234568E+07"},
        {1234567.0f, "1234567"}, {0.0001f, "0.0001"},      {0.009f, "0.009"},
        {0.00575f, "0.00575"},   {-0.5f, "-0.5"},          {0.003728561f, "0.003728561"},
        {1.0f / 3, "0.3333333"}, {9999999.5f, "1E+07"},    {100.0f, "100"},
        {1e10f, "1E+10"},        {2.0f / 14, "0.1428571"}, {1.5e-30f, "1.5E-30"},
    };
    for (const auto& c : floats) EXPECT_EQ(float_text(c.in), c.out) << c.out;
}

TEST(NumberToText, EveryFileFormReadsBackToItself) {
    for (int64_t units : {0LL, 1LL, -1LL, 125000LL, 401828992500LL, -3500000LL, 340249480001LL})
        EXPECT_EQ(text_to_currency(currency_text(Currency::from_units(units))).units(), units);
    for (float f : {0.01115f, 0.003728561f, 1e-05f, 1234567.0f, 0.1f, 0.00375f, -2.5e-12f})
        EXPECT_EQ(text_to_float(float_text(f)), f) << float_text(f);
    // A float of more than 7 significant digits is rounded once, then stays.
    for (float f : {1.0f / 3, 3.0f / 14, 12345678.0f}) {
        const std::string once = float_text(f);
        EXPECT_EQ(float_text(text_to_float(once)), once);
    }
}

TEST(NumberToText, RandomFileFormsReadBackToThemselves) {
    std::mt19937_64 random(20261207);
    for (int i = 0; i < 20000; ++i) {
        // Magnitudes of every length, so both ways of reading are taken.
        const int64_t range = int64_t(1) << (random() % 63);
        const int64_t units = int64_t(random() % uint64_t(range)) * (random() % 2 ? 1 : -1);
        ASSERT_EQ(text_to_currency(currency_text(Currency::from_units(units))).units(), units) << units;
        const auto whole = int32_t(units >> 31);
        ASSERT_EQ(text_to_int32(int_text(whole)), whole) << whole;
        // Rates, never below zero, are counted in steps of other sizes.
        const auto rate = int32_t(uint32_t(whole) >> 1);
        const int decimals = int(random() % 4);
        ASSERT_EQ(text_to_steps(steps_text(rate, decimals), decimals), rate) << rate << " " << decimals;
    }
}

TEST(NumberToText, FloatTextJustAboveAPowerOfTenReadsBackToTheSameText) {
    // Found by fuzzing: 1.0000003E+28 was written as 1E+28, which reads back
    // as 9.99999944E+27 and was then written as 9.999999E+27.
    EXPECT_EQ(float_text(1.0000003e28f), "9.999999E+27");
    for (const float power : {1e28f, 1e-38f, -1e28f, -1e-38f}) {
        float f = power;
        for (int step = 0; step < 2000; ++step) {
            f = std::nextafter(f, 2 * power);
            const std::string once = float_text(f);
            ASSERT_EQ(float_text(text_to_float(once)), once) << once;
        }
    }
}

TEST(DisplayFormats, GroupedCurrencyAndPercent) {
    EXPECT_EQ(format_grouped(0), "0");
    EXPECT_EQ(format_grouped(12345), "12,345");
    EXPECT_EQ(format_grouped(-1234567), "-1,234,567");
    EXPECT_EQ(format_grouped(std::numeric_limits<int32_t>::min()), "-2,147,483,648");

    EXPECT_EQ(format_currency(Currency::from_yen(1000)), "\u00A51,000");
    EXPECT_EQ(format_currency(Currency::from_yen(-1000)), "-\u00A51,000");
    EXPECT_EQ(format_currency(Currency::from_units(125000)), "\u00A513");  // half away from zero
    EXPECT_EQ(format_currency(Currency::from_units(-125000)), "-\u00A513");
    EXPECT_EQ(format_currency(Currency::from_units(-4999)), "\u00A50");  // no minus on zero
    EXPECT_EQ(format_currency(Currency()), "\u00A50");

    EXPECT_EQ(format_currency(7.5), "\u00A58");
    EXPECT_EQ(format_currency(1000 * 1.1), "\u00A51,100");
    EXPECT_EQ(format_currency(-0.4), "\u00A50");
    EXPECT_EQ(format_currency(2.4999999999999996), "\u00A52");  // the exact value is below the half
    EXPECT_EQ(format_currency(999999.5), "\u00A51,000,000");

    EXPECT_EQ(format_price(Currency::from_units(24505000)), "\u00A52,450.5");
    EXPECT_EQ(format_price(Currency::from_units(12345)), "\u00A51.2345");
    EXPECT_EQ(format_price(Currency::from_units(10001)), "\u00A51.0001");
    EXPECT_EQ(format_price(Currency::from_yen(1000)), "\u00A51,000");

    EXPECT_EQ(format_percent(0.25f), "25.00%");
    EXPECT_EQ(format_percent(0.03125f), "3.13%");
    EXPECT_EQ(format_percent(double(0.05f)), "5.00%");
    EXPECT_EQ(format_percent(double(3.0f / 14)), "21.43%");
    EXPECT_EQ(format_percent(0.0), "0.00%");
    EXPECT_EQ(format_percent(-0.00001), "0.00%");
    EXPECT_EQ(format_percent(-0.5), "-50.00%");
    EXPECT_EQ(format_percent(123.456), "12345.60%");
}

TEST(DisplayFormats, DisplayedValuesConvertBack) {
    for (int32_t v : {0, 1, -1, 999, 1000, 123456789, -2147483647 - 1, 2147483647}) {
        EXPECT_EQ(text_to_int32(format_grouped(v)), v);
        EXPECT_EQ(text_to_int32(format_currency(Currency::from_yen(v))), v);
        EXPECT_EQ(text_to_currency(format_currency(Currency::from_yen(v))), Currency::from_yen(v));
    }
}

}  // namespace
}  // namespace chomaru
