#include "store/cp932.h"

#include <gtest/gtest.h>

namespace chomaru {
namespace {

TEST(Cp932, RoundTripsJapaneseText) {
    const std::string name = "新日鉄ソニー（株）ｱｲｳ　～①";
    const std::string bytes = utf8_to_cp932(name);
    EXPECT_EQ(utf8_to_cp932("新"), "\x90\x56");
    EXPECT_EQ(cp932_to_utf8(bytes), name);
    EXPECT_EQ(cp932_to_utf8("abc\\~"), "abc\\~");
}

TEST(Cp932, InvalidBytesAreAReadFailure) {
    for (const char* bad : {"\x80", "\xA0", "\xFD", "ab\x82", "\x82\x0A"})
        EXPECT_THROW(cp932_to_utf8(bad), EncodingError) << bad;
}

TEST(Cp932, TextItCannotHoldIsReportedNotChanged) {
    // iconv would write the yen sign as 0x5C, which reads back as a backslash.
    EXPECT_THROW(utf8_to_cp932("\u00A5100"), EncodingError);
    EXPECT_THROW(utf8_to_cp932("😀"), EncodingError);
    EXPECT_THROW(utf8_to_cp932("한국"), EncodingError);
    EXPECT_FALSE(cp932_can_hold("é"));
    EXPECT_TRUE(cp932_can_hold("トヨタ自動車"));
    EXPECT_TRUE(cp932_can_hold("\uFFE5"));
}

}  // namespace
}  // namespace chomaru
