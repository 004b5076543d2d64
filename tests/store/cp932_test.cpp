#include "store/cp932.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace chomaru {
namespace {

TEST(Cp932, RoundTripsJapaneseText) {
    const std::string name = "新日鉄ソニー（株）ｱｲｳ　～①";
    const std::string bytes = utf8_to_cp932(name);
    EXPECT_EQ(utf8_to_cp932("新"), "\x90\x56");
    EXPECT_EQ(cp932_to_utf8(bytes), name);
    EXPECT_EQ(cp932_to_utf8("abc\\~"), "abc\\~");
    // A NUL byte and a half-width katakana among the pairs.
    EXPECT_EQ(cp932_to_utf8(std::string_view("\0\x90V\xB1", 4)), std::string_view("\0新ｱ", 7));
}

TEST(Cp932, InvalidBytesAreAReadFailure) {
    for (const char* bad : {"\x80", "\xA0", "\xFD", "ab\x82", "\x82\x0A"})
        EXPECT_THROW(cp932_to_utf8(bad), EncodingError) << bad;
}

// The check without decoding takes exactly the bytes the decoder takes:
// every pair, alone and after a run of ASCII read eight bytes at a time.
TEST(Cp932, TheCheckAgreesWithTheDecoderOnEveryPair) {
    int disagreements = 0;
    for (int first = 0; first < 0x100; ++first)
        for (int second = 0; second < 0x100; ++second)
            for (const std::string& before : {std::string(), std::string("abcdefghi")}) {
                const std::string bytes = before + char(first) + char(second);
                bool decodes = true;
                try {
                    cp932_to_utf8(bytes);
                } catch (const EncodingError&) {
                    decodes = false;
                }
                if (is_cp932(bytes) != decodes) ++disagreements;
            }
    EXPECT_EQ(disagreements, 0);
    EXPECT_FALSE(is_cp932("abcdefgh\x82"));
    EXPECT_TRUE(is_cp932("abcdefgh\x90V12345678\xB1"));
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

TEST(Cp932, AppendedTextFollowsWhatWasThereAndAFailureAddsNothing) {
    std::string out = "a,";
    append_cp932(out, "2024/01/05,");
    append_cp932(out, "新");
    EXPECT_EQ(out, "a,2024/01/05,\x90V");
    EXPECT_THROW(append_cp932(out, "x\u00A5"), EncodingError);
    EXPECT_EQ(out, "a,2024/01/05,\x90V");
}

// The data file is read on another thread than the windows': texts converted
// on several threads at once come out as each would alone.
TEST(Cp932, ThreadsConvertingAtOnceKeepTheirOwnTexts) {
    std::atomic<int> wrong = 0;
    std::vector<std::thread> threads;
    for (const char* name : {"新日鉄", "トヨタ自動車", "ソニーグループ", "ｱｲｳ　～①"})
        threads.emplace_back([&wrong, text = std::string(name)] {
            const std::string bytes = utf8_to_cp932(text);
            for (int i = 0; i < 20000; ++i)
                if (utf8_to_cp932(text) != bytes || cp932_to_utf8(bytes) != text) ++wrong;
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace chomaru
