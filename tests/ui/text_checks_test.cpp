#include "ui/text_checks.h"

#include <gtest/gtest.h>

#include "store/cp932.h"
#include "store/numbers.h"
#include "store/regional_text.h"
#include "support/scripted_platform.h"

namespace chomaru {
namespace {

TEST(TypedText, CharactersOfInputMethodsAreStoredAsCodePage932HoldsThem) {
    ScriptedPlatform platform;
    // Wave dash, double vertical line, minus, cent, pound, not, em dash, yen.
    const std::optional<QString> held =
        accept_line_text(platform, QString::fromUtf16(u"東\u301C\u2016\u2212\u00A2\u00A3\u00AC\u2014\u00A5"));
    ASSERT_TRUE(held);
    EXPECT_EQ(utf8_to_cp932(core_text(*held)),
              "\x93\x8C\x81\x60\x81\x61\x81\x7C\x81\x91\x81\x92\x81\xCA\x81\x5C\x81\x8F");
    EXPECT_FALSE(accept_line_text(platform, QString::fromUtf16(u"\u301C삼성")));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "使えない文字が含まれています：삼성");
}

// The range runs to a year after the platform's today, 2026/12/07.
TEST(TypedDates, TheFormsAHalfOrFullWidthDateMayTakeWithinTheRange) {
    ScriptedPlatform platform;
    const struct {
        const char* typed;
        std::optional<Date> date;
    } cases[] = {
        {"2026/01/05", Date{2026, 1, 5}},
        {"2026/1/5", Date{2026, 1, 5}},
        {"2026-01-05", Date{2026, 1, 5}},
        {"20260105", Date{2026, 1, 5}},
        {"２０２６／１／５", Date{2026, 1, 5}},
        {"２０２６－０１－０５", Date{2026, 1, 5}},
        {" 2024/2/29 ", Date{2024, 2, 29}},
        {"1970/01/01", Date{1970, 1, 1}},
        {"2027/12/07", Date{2027, 12, 7}},
        {"1969/12/31", std::nullopt},
        {"2027/12/08", std::nullopt},
        {"2026/02/29", std::nullopt},
        {"2026/01", std::nullopt},
        {"202615", std::nullopt},
        {"2026.01.05", std::nullopt},
        {"26/01/05", std::nullopt},
        {"2026/01/05 10:00", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(accept_trade_date(platform, QString::fromUtf8(c.typed)), c.date) << c.typed;
    EXPECT_EQ(platform.messages.size(), 8u);
}

TEST(TypedNumbers, FullWidthFormsReadAsHalfWidthAndNothingElse) {
    EXPECT_EQ(text_to_int32(number_text("　１６，５００　")), 16500);
    EXPECT_EQ(text_to_int32(number_text("－￥１，０００")), -1000);
    EXPECT_EQ(text_to_currency(number_text("５４２５９７．５")), Currency::from_units(5425975000));
    for (const char* typed : {"一万", "１６５００円", "＋１", "１ｅ５"})
        EXPECT_THROW(text_to_int32(number_text(QString::fromUtf8(typed))), ConversionError) << typed;
}

}  // namespace
}  // namespace chomaru
