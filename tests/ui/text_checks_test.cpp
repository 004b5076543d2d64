#include "ui/text_checks.h"

#include <gtest/gtest.h>

#include "store/cp932.h"
#include "store/numbers.h"
#include "store/regional_text.h"
#include "support/scripted_platform.h"

namespace chomaru {
namespace {

TEST(TypedText, CharactersOfInputMethodsAreStoredAsCodePage932HoldsThem) {
    const struct {
        const char16_t* typed;
        const char* bytes;
    } cases[] = {
        {u"東京\u301C大阪", "\x93\x8C\x8B\x9E\x81\x60\x91\xE5\x8D\xE3"},  // wave dash
        {u"\u2016", "\x81\x61"},                                                // double vertical line
        {u"\u2212", "\x81\x7C"},                                                // minus sign
        {u"\u00A2\u00A3\u00AC", "\x81\x91\x81\x92\x81\xCA"},                    // cent, pound, not
        {u"\u2014", "\x81\x5C"},                                                // em dash
        {u"\u00A51234", "\x81\x8F" "1234"},                                     // yen sign
    };
    for (const auto& c : cases) {
        ScriptedPlatform platform;
        const std::optional<QString> held = accept_line_text(platform, QString::fromUtf16(c.typed));
        ASSERT_TRUE(held) << c.bytes;
        EXPECT_EQ(utf8_to_cp932(core_text(*held)), c.bytes);
        EXPECT_TRUE(platform.messages.empty());
    }
}

TEST(TypedText, DatesTakeThePairsButNotTheYenSign) {
    ScriptedPlatform platform;
    EXPECT_EQ(accept_date_text(platform, QString::fromUtf16(u"2026\u22121\u22125")), QString::fromUtf16(u"2026－1－5"));
    EXPECT_FALSE(accept_date_text(platform, QString::fromUtf16(u"2026\u00A51")));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, QString::fromUtf16(u"使えない文字が含まれています：\u00A5"));
}

TEST(TypedText, OtherCharactersAreStillRefusedWithTheirMessage) {
    ScriptedPlatform platform;
    EXPECT_FALSE(accept_line_text(platform, QString::fromUtf16(u"東京\u301C삼성")));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "使えない文字が含まれています：삼성");
    EXPECT_EQ(platform.messages[0].caption, "帳丸");
}

TEST(TypedNumbers, FullWidthFormsReadAsHalfWidth) {
    EXPECT_EQ(text_to_int32(number_text("１６５００")), 16500);
    EXPECT_EQ(text_to_int32(number_text("　１６，５００　")), 16500);
    EXPECT_EQ(text_to_int32(number_text("－￥１，０００")), -1000);
    EXPECT_EQ(text_to_currency(number_text("５４２５９７．５")), Currency::from_units(5425975000));
    EXPECT_EQ(text_to_float(number_text("０．０１１１５")), 0.01115f);
    EXPECT_EQ(number_text("1,234"), "1,234");
}

TEST(TypedNumbers, NothingElseBecomesANumber) {
    for (const char* typed : {"一万", "１６５００円", "＋１", "１ｅ５", "1\u30005"})
        EXPECT_THROW(text_to_int32(number_text(QString::fromUtf8(typed))), ConversionError) << typed;
}

}  // namespace
}  // namespace chomaru
