#include "imports/csv_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>

#include "imports/cells.h"
#include "store/cp932.h"
#include "store/numbers.h"

namespace chomaru {
namespace {

std::vector<std::vector<std::string>> records_of(std::string_view text, std::vector<size_t>* lines = nullptr) {
    std::vector<std::vector<std::string>> records;
    CsvReader reader(text);
    while (reader.next()) {
        records.emplace_back(reader.fields().begin(), reader.fields().end());
        if (lines) lines->push_back(reader.line());
    }
    return records;
}

TEST(ImportText, EncodingIsUtf8WhenValidElseCodePage932) {
    const ImportText bom = decode_import_text("\xEF\xBB\xBF約定履歴\r\n");
    EXPECT_EQ(bom.text, "約定履歴\r\n");
    EXPECT_EQ(bom.encoding, "UTF-8");
    EXPECT_EQ(decode_import_text("約定日,銘柄").encoding, "UTF-8");
    // 約定日 in code page 932.
    const ImportText sjis = decode_import_text("\x96\xF1\x92\xE8\x93\xFA,a");
    EXPECT_EQ(sjis.text, "約定日,a");
    EXPECT_EQ(sjis.encoding, "Shift_JIS");
}

TEST(ImportText, BytesThatAreNotTextAreRefused) {
    for (const std::string_view bytes :
         {std::string_view("a,b\0c", 5), std::string_view("\x80\xFF,\xFD"), std::string_view("\xEF\xBB\xBF\x96\xF1")}) {
        try {
            decode_import_text(bytes);
            ADD_FAILURE() << "read";
        } catch (const ImportError& e) {
            EXPECT_STREQ(e.what(), "テキストファイルではありません");
        }
    }
}

TEST(ImportText, AFileOver50MegabytesIsRefused) {
    EXPECT_NO_THROW(check_import_file_size(52428800));
    try {
        check_import_file_size(52428801);
        ADD_FAILURE() << "accepted";
    } catch (const ImportError& e) {
        EXPECT_STREQ(e.what(), "ファイルが大きすぎます（50MBまで）");
    }
    EXPECT_THROW(decode_import_text(std::string(52428801, 'a')), ImportError);
}

TEST(CsvReader, QuotedFieldsHoldCommasQuotesAndLineBreaks) {
    std::vector<size_t> lines;
    const auto records = records_of("a,\"b,c\",\"say \"\"hi\"\"\"\r\n\"x\r\ny\",z\n\n\"q\"r,\"open", &lines);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0], (std::vector<std::string>{"a", "b,c", "say \"hi\""}));
    EXPECT_EQ(records[1], (std::vector<std::string>{"x\r\ny", "z"}));
    EXPECT_EQ(records[2], (std::vector<std::string>{""}));
    // Text after a closing quote is kept; an unclosed quote runs to the end.
    EXPECT_EQ(records[3], (std::vector<std::string>{"qr", "open"}));
    EXPECT_EQ(lines, (std::vector<size_t>{1, 2, 4, 5}));
}

TEST(CsvReader, LineEndsAreLfOrCrLfAndATrailingOneAddsNoRecord) {
    EXPECT_EQ(records_of("a,b\r\nc,\r\n").size(), 2u);
    EXPECT_EQ(records_of("a,b\nc,").back(), (std::vector<std::string>{"c", ""}));
    EXPECT_TRUE(records_of("").empty());
}

// The records of random texts, many blocks long, with and without quotes,
// read as a plain byte-at-a-time reading of the same rules reads them: each
// field, whether it is ASCII, and the line each record starts on.
TEST(CsvReader, ReadsAnyTextAsAByteAtATimeReadingDoes) {
    struct Record {
        size_t line;
        std::vector<std::string> fields;
        bool operator==(const Record&) const = default;
    };
    const auto by_bytes = [](std::string_view text) {
        std::vector<Record> records;
        size_t line = 1;
        for (size_t i = 0; i < text.size();) {
            Record record{line, {}};
            for (;;) {
                std::string field;
                if (i < text.size() && text[i] == '"') {
                    for (++i;;) {
                        for (; i < text.size() && text[i] != '"'; ++i) field += text[i];
                        if (i == text.size() || ++i == text.size() || text[i] != '"') break;
                        field += text[i++];  // a doubled quote
                    }
                }
                for (; i < text.size() && text[i] != ',' && text[i] != '\n'; ++i) field += text[i];
                if (i < text.size() && text[i] == '\n' && field.ends_with('\r')) field.pop_back();
                line += size_t(std::count(field.begin(), field.end(), '\n'));
                record.fields.push_back(field);
                if (i >= text.size() || text[i++] == '\n') break;
            }
            line += text[i - 1] == '\n';
            records.push_back(record);
        }
        return records;
    };
    std::mt19937 random(24);
    const std::string_view pieces[] = {"a",    "b7", "\x88\x9F", ",",    ",",
                                       "\r\n", "\n", "\"",       "\"\"", "abcdefghij0123456789"};
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const bool quotes = round % 2 == 0;
        for (size_t n = random() % 200; text.size() < n;) {
            const std::string_view piece = pieces[random() % std::size(pieces)];
            if (quotes || piece.find('"') == piece.npos) text += piece;
        }
        std::vector<Record> read;
        CsvReader reader(text);
        while (reader.next()) {
            read.push_back({reader.line(), {reader.fields().begin(), reader.fields().end()}});
            for (size_t i = 0; i < reader.fields().size(); ++i)
                ASSERT_EQ(reader.ascii(i), is_ascii(reader.fields()[i])) << testing::PrintToString(text);
        }
        ASSERT_EQ(read, by_bytes(text)) << testing::PrintToString(text);
    }
}

TEST(CsvReader, LineFeedsAreCountedInTextsOfAnyLength) {
    std::mt19937 random(7);
    std::string text;
    for (size_t n = 0; n < 9000; n += 1 + n / 7) {
        while (text.size() < n) text += "a\n\r,\x88\n"[random() % 6];
        ASSERT_EQ(count_line_feeds(text), size_t(std::count(text.begin(), text.end(), '\n'))) << n;
    }
}

// Checking code page 932 record by record, skipping what a column repeats,
// refuses exactly the texts a check of the whole text refuses: bad bytes in
// repeated columns, in quoted fields, and next to the quotes taken out.
TEST(ImportRecords, CheckingAsReadRefusesWhatCheckingFirstRefuses) {
    const auto read_all = [](std::string_view text, ImportRecords::Check check) {
        std::vector<std::vector<std::string>> records;
        try {
            ImportRecords reader(text, check);
            while (reader.next()) records.emplace_back(reader.fields().begin(), reader.fields().end());
        } catch (const ImportError& e) {
            EXPECT_STREQ(e.what(), "テキストファイルではありません");
            return std::optional<std::vector<std::vector<std::string>>>();
        }
        return std::optional(records);
    };
    std::mt19937 random(932);
    // 東証, あ, a lone first byte, bytes that are second bytes only after a
    // first, a byte code page 932 never uses, and the CSV marks.
    const std::string_view pieces[] = {
        "\x93\x8C\x8F\xD8", "\x82\xA0", "\x90", "\xC5", "\x5C", "\xFD", "a", ",", ",", "\"", "\r\n", "\n"};
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        // A few lines, each repeated, so columns repeat their texts.
        std::string line;
        for (size_t n = 1 + random() % 12; line.size() < n;) line += pieces[random() % std::size(pieces)];
        std::string text = "\x93\x8C\x8F\xD8,a\r\n";
        for (int k = 0; k < 4; ++k) text += random() % 3 == 0 ? line : "\x93\x8C\x8F\xD8,\x82\xA0\r\n";
        const auto first = read_all(text, ImportRecords::Check::first);
        ASSERT_EQ(read_all(text, ImportRecords::Check::as_read), first) << testing::PrintToString(text);
        refused += !first;
    }
    EXPECT_GT(refused, 300);  // the bad texts are many
}

// Short texts are compared as numbers read from overlapping words: a
// difference in any byte, or in the length alone, must still tell.
TEST(TextCompare, EveryByteAndTheLengthTell) {
    std::mt19937 random(16);
    for (size_t n = 0; n <= 24; ++n) {
        std::string a;
        for (size_t i = 0; i < n; ++i) a += char(random() % 4 == 0 ? 'a' : 0x80 + random() % 128);
        const std::string same = a;
        EXPECT_TRUE(same_text(a, same)) << n;
        for (size_t i = 0; i < n; ++i) {
            std::string b = a;
            b[i] = char(b[i] ^ (1 << (random() % 8)));
            EXPECT_FALSE(same_text(a, b)) << n << " " << i;
            if (n <= 8) {
                EXPECT_NE(short_text_word(a), short_text_word(b)) << n << " " << i;
            }
        }
        EXPECT_FALSE(same_text(a, a + "a")) << n;
        EXPECT_EQ(TextHash()(a), TextHash()(same)) << n;
    }
    EXPECT_NE(TextHash()("7777"), TextHash()("77777"));
}

// Fields of code page 932 are decoded one by one and the same bytes of a
// column once: many different texts in one column, met again in another
// order, quoted, with doubled quotes, each come out as their own text.
TEST(ImportRecords, EachFieldOfCodePage932ReadsAsItsOwnText) {
    std::vector<std::string> names;
    for (int i = 0; i < 100; ++i) {
        names.push_back("銘柄" + std::to_string(i));
        for (int k = 0; k < i % 7; ++k) names.back() += "ア";
    }
    std::string bytes;
    std::vector<std::vector<std::string>> expected;
    for (int round = 0; round < 3; ++round)
        for (int i = 0; i < 100; ++i) {
            const std::string& name = names[size_t((i * (round * 2 + 1) + round) % 100)];
            bytes += utf8_to_cp932("東証,\"" + name + "\",\"特\"\"定\"," + name + "\r\n");
            expected.push_back({"東証", name, "特\"定", name});
        }
    ImportRecords records(bytes);
    EXPECT_EQ(records.encoding(), "Shift_JIS");
    size_t row = 0;
    while (records.next()) {
        ASSERT_LT(row, expected.size());
        EXPECT_EQ(records[3], expected[row][3]) << row;
        EXPECT_EQ(std::vector<std::string>(records.fields().begin(), records.fields().end()), expected[row]) << row;
        EXPECT_EQ(records[4], "");
        ++row;
    }
    EXPECT_EQ(row, expected.size());
}

TEST(HeaderKey, BracketsUnitsAndBlanksAreLeftOut) {
    const std::pair<const char*, const char*> cases[] = {
        {"数量［株］", "数量"},
        {"単価〔円〕", "単価"},
        {"受渡金額[円]", "受渡金額"},
        {"評価損益【％】", "評価損益"},
        {"銘柄（コード）", "銘柄コード"},
        {"現在値(更新日)", "現在値更新日"},
        {" 約定 日　", "約定日"},
        {"手数料/諸経費等", "手数料/諸経費等"},
        {"現物(単元未満)", "現物単元未満"},
        {"金利（支払）〔円〕", "金利支払"},
    };
    for (const auto& [name, key] : cases) EXPECT_EQ(header_key(name), key) << name;
}

TEST(ImportCells, NumbersDatesAndAccounts) {
    EXPECT_EQ(money_cell(" 2,849.5 "), Currency::from_units(28495000));
    EXPECT_EQ(money_cell("--"), Currency());
    EXPECT_EQ(money_cell("１，７８０"), Currency::from_yen(1780));
    EXPECT_EQ(money_cell("-"), std::nullopt);
    EXPECT_EQ(money_cell(""), std::nullopt);
    EXPECT_THROW(money_cell("12円"), ConversionError);
    EXPECT_EQ(money_cell("12345678901234"), Currency::from_units(123456789012340000));
    EXPECT_EQ(money_cell("123456789012345"), Currency::from_units(1234567890123450000));
    EXPECT_EQ(money_cell("0"), Currency());

    EXPECT_EQ(shares_cell("1,000"), 1000);
    for (const char* bad : {"0", "-100", "10.5", "2147483648", "abc", "-"}) EXPECT_EQ(shares_cell(bad), std::nullopt);

    EXPECT_EQ(date_cell("2025/5/16"), (Date{2025, 5, 16}));
    EXPECT_EQ(date_cell("25/05/16"), (Date{2025, 5, 16}));
    EXPECT_EQ(date_cell("２０２５／０１／２０"), (Date{2025, 1, 20}));
    EXPECT_EQ(date_cell("2025-05-16"), (Date{2025, 5, 16}));
    EXPECT_EQ(date_cell("2024/02/29"), (Date{2024, 2, 29}));
    for (const char* bad : {"2025/13/01", "2025/02/29", "5/16", "2025年1月20日", "", "2025/05-16", "0000/01/01",
                            "2025/0a/16", "-25/05/16"})
        EXPECT_EQ(date_cell(bad), std::nullopt) << bad;

    const std::pair<const char*, AccountType> accounts[] = {
        {" 特定 ", AccountType::tokutei},
        {"一般", AccountType::ippan},
        {"NISA(成)", AccountType::nisa_growth},
        {"NISA (成長)", AccountType::nisa_growth},
        {"NISA成長投資枠", AccountType::nisa_growth},
        {"NISA(つ)", AccountType::nisa_tsumitate},
        {"NISA (つみたて)", AccountType::nisa_tsumitate},
        {"NISAつみたて投資枠", AccountType::nisa_tsumitate},
        {"旧NISA", AccountType::old_nisa},
        {"旧つみたてNISA", AccountType::old_nisa},
    };
    for (const auto& [text, type] : accounts) EXPECT_EQ(broker_account(text), type) << text;
    for (const char* unknown : {"NISA", "特定口座", "ジュニアNISA", ""})
        EXPECT_EQ(broker_account(unknown), std::nullopt);
}

}  // namespace
}  // namespace chomaru
