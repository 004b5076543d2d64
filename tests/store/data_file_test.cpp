#include "store/data_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "store/cp932.h"
#include "store/safe_file.h"
#include "support/test_data.h"

namespace chomaru {
namespace {

std::string crlf(std::initializer_list<const char*> lines) {
    std::string s;
    for (const char* l : lines) s += utf8_to_cp932(l) + "\r\n";
    return s;
}

const char* const default_fee_lines[] = {"1000000", "0.01115", "0",        "5000000", "0.009", "2500",     "10000000",
                                         "0.007",   "12500",   "30000000", "0.00575", "25000", "50000000", "0.00375",
                                         "85000",   "0",       "0",        "272500",  "2500",  "0"};

std::string with_default_fees(std::string head) {
    for (const char* l : default_fee_lines) head += std::string(l) + "\r\n";
    return head;
}

TradeRecord rec(const char* date, int32_t price, int32_t shares, int64_t yen) {
    return TradeRecord{date, price, shares, Currency::from_yen(yen)};
}

// One stock, code 1234, name 新日鉄, dividend 3: two purchases and one sale.
std::unique_ptr<Portfolio> example_portfolio() {
    auto p = Portfolio::create();
    p->fees = FeeTable::defaults();
    Stock& s = p->stocks[0];
    s.stock_code = "1234";
    s.stock_name = "新日鉄";
    s.dividend = 3;
    s.buy_count = 2;
    s.sell_count = 1;
    s.avg_buy_price = 12;
    s.held_shares = 10;
    s.realized_profit = Currency::from_yen(30);
    s.dividend_yield = 0.25f;
    s.buys[0] = rec("2003/08/01", 10, 10, 100);
    s.buys[1] = rec("2003/08/05", 12, 10, 140);
    s.sells[0] = rec("2003/08/20", 15, 10, 150);
    return p;
}

TEST(DataFileWrite, TheExampleIsWrittenByteForByte) {
    auto p = example_portfolio();
    EXPECT_EQ(format_data_file(*p), read_golden("example_35.txt"));
}

TEST(DataFileWrite, FeeLimitOfTheTopBracketIsWrittenAsZeroAndLeftAsItWas) {
    auto p = example_portfolio();
    p->fees.fee_limit[5] = 99;
    const std::string bytes = format_data_file(*p);
    EXPECT_EQ(bytes, read_golden("example_35.txt"));
    EXPECT_EQ(p->fees.fee_limit[5], 99);
}

TEST(DataFileWrite, FractionsEmptyDatesAndBlanksInNames) {
    auto p = Portfolio::create();
    p->fees = FeeTable::defaults();
    Stock& s = p->stocks[0];
    s.stock_name = "日本 電信 電話";
    s.realized_profit = Currency::from_units(-125000);
    s.buy_count = 1;
    s.buys[0] = TradeRecord{"", 100, 3, Currency::from_units(3000005)};
    const std::string bytes = format_data_file(*p);
    EXPECT_NE(bytes.find("\r\n-12.5\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\n 100 3 300.0005\r\n"), std::string::npos);

    auto back = Portfolio::create();
    ASSERT_EQ(parse_data_file(bytes, *back), LoadStatus::loaded);
    EXPECT_EQ(back->stocks[0].stock_name, "日本 電信 電話");
    EXPECT_EQ(back->stocks[0].buys[0], s.buys[0]);
    EXPECT_EQ(back->stocks[0].realized_profit, s.realized_profit);
}

TEST(DataFileWrite, RefusesTextTheReaderCouldNotTakeBack) {
    const auto refused = [](auto change) {
        auto p = example_portfolio();
        change(*p);
        EXPECT_THROW(format_data_file(*p), DataFileError);
    };
    refused([](Portfolio& p) { p.stocks[0].buys[0].date = "2003/08/01 10:00"; });
    refused([](Portfolio& p) { p.stocks[0].sells[0].date = "2003\n08"; });
    refused([](Portfolio& p) { p.stocks[0].buys[1].date = std::string(251, 'x'); });
    refused([](Portfolio& p) { p.stocks[0].stock_name = "新日鉄\r\n"; });
    refused([](Portfolio& p) { p.stocks[0].stock_code = "12\n34"; });
    refused([](Portfolio& p) { p.stocks[0].stock_name = "\u00A5マーク"; });
    refused([](Portfolio& p) { p.reserved_line = "😀"; });

    auto longest = example_portfolio();
    longest->stocks[0].buys[0] =
        TradeRecord{std::string(max_date_length, 'x'), -2147483647 - 1, -2147483647 - 1, Currency::from_yen(1)};
    auto back = Portfolio::create();
    EXPECT_EQ(parse_data_file(format_data_file(*longest), *back), LoadStatus::loaded);
    EXPECT_EQ(back->stocks[0].buys[0], longest->stocks[0].buys[0]);
}

TEST(DataFileRead, TheExampleReadsBack) {
    auto p = Portfolio::create();
    ASSERT_EQ(parse_data_file(read_golden("example_35.txt"), *p), LoadStatus::loaded);
    auto expected = example_portfolio();
    EXPECT_EQ(p->last_stock, 0);
    EXPECT_EQ(p->current_stock, 0);
    EXPECT_EQ(p->reserved_line, "");
    const Stock& s = p->stocks[0];
    EXPECT_EQ(s.stock_code, "1234");
    EXPECT_EQ(s.stock_name, "新日鉄");
    EXPECT_EQ(s.dividend, 3);
    EXPECT_EQ(s.avg_buy_price, 12);
    EXPECT_EQ(s.held_shares, 10);
    EXPECT_EQ(s.realized_profit, Currency::from_yen(30));
    EXPECT_EQ(s.dividend_yield, 0.25f);
    ASSERT_EQ(s.buy_count, 2);
    ASSERT_EQ(s.sell_count, 1);
    EXPECT_EQ(s.buys[1], expected->stocks[0].buys[1]);
    EXPECT_EQ(s.sells[0], expected->stocks[0].sells[0]);
    EXPECT_EQ(p->fees, FeeTable::defaults());
}

TEST(DataFileRead, LineEndsAndRoundedRecordFields) {
    std::string head = "0\n0\nkept\n1\nA\n0\n1\n0\n0\n0\n0\n0\n2003/08/01 100.6 10.5 12.34567\n";
    auto p = Portfolio::create();
    ASSERT_EQ(parse_data_file(head, *p), LoadStatus::loaded);
    EXPECT_EQ(p->reserved_line, "kept");
    EXPECT_EQ(p->stocks[0].buys[0].price, 101);
    EXPECT_EQ(p->stocks[0].buys[0].shares, 10);
    EXPECT_EQ(p->stocks[0].buys[0].amount.units(), 123457);
    // Lone CRs end lines too.
    std::string cr = head;
    for (char& c : cr)
        if (c == '\n') c = '\r';
    ASSERT_EQ(parse_data_file(cr, *p), LoadStatus::loaded);
    EXPECT_EQ(p->stocks[0].buys[0].price, 101);
}

TEST(DataFileRead, CommissionSectionFallsBackToTheWholeDefaultTable) {
    const std::string stock = crlf({"0", "0", "", "1", "A", "0", "0", "0", "0", "0", "0", "0"});
    auto p = Portfolio::create();

    ASSERT_EQ(parse_data_file(stock, *p), LoadStatus::loaded);  // no section at all
    EXPECT_EQ(p->fees, FeeTable::defaults());

    // Only some lines, with changed values: not a mixture.
    ASSERT_EQ(parse_data_file(stock + crlf({"2000000", "0.02", "5", "6000000"}), *p), LoadStatus::loaded);
    EXPECT_EQ(p->fees, FeeTable::defaults());

    std::string bad = with_default_fees(stock);
    bad.replace(bad.find("0.009"), 5, "abcde");
    ASSERT_EQ(parse_data_file(bad, *p), LoadStatus::loaded);
    EXPECT_EQ(p->fees, FeeTable::defaults());

    // A full custom section is read; lines after fee_max are never read.
    std::string custom = stock;
    for (int i = 0; i < 6; ++i) custom += crlf({"100", "0.5", "7"});
    custom += crlf({"1", "2", "garbage"}) + "\x80\r\n";
    ASSERT_EQ(parse_data_file(custom, *p), LoadStatus::loaded);
    EXPECT_EQ(p->fees.fee_limit[3], 100);
    EXPECT_EQ(p->fees.fee_rate[5], 0.5f);
    EXPECT_EQ(p->fees.fee_min, 1);
    EXPECT_EQ(p->fees.fee_max, 2);
}

TEST(DataFileRead, FullTablesLoadAndOneMoreIsUnreadable) {
    auto p = Portfolio::create();
    p->fees = FeeTable::defaults();
    p->stocks[0].buy_count = max_records;
    for (auto& r : p->stocks[0].buys) r = rec("2020/01/01", 1, 1, 1);
    std::string bytes = format_data_file(*p);
    auto back = Portfolio::create();
    ASSERT_EQ(parse_data_file(bytes, *back), LoadStatus::loaded);
    EXPECT_EQ(back->stocks[0].buy_count, 256);

    std::string too_many = bytes;
    too_many.replace(too_many.find("\r\n256\r\n"), 7, "\r\n257\r\n");
    EXPECT_EQ(parse_data_file(too_many, *back), LoadStatus::unreadable);
}

TEST(DataFileRead, EveryDamageIsUnreadableAndLeavesAFirstRunState) {
    const std::string good = read_golden("example_35.txt");
    auto replace = [&](const std::string& from, const std::string& to) {
        std::string s = good;
        s.replace(s.find(from), from.size(), to);
        return s;
    };
    const std::string cases[] = {
        good.substr(0, good.find("2003/08/05")),        // ends inside the records
        good.substr(0, 20),                             // ends inside a stock
        replace("0\r\n0\r\n\r\n", "256\r\n0\r\n\r\n"),  // 257 stocks
        replace("0\r\n0\r\n\r\n", "-1\r\n0\r\n\r\n"),   // no stock at all
        replace("0\r\n0\r\n\r\n", "x\r\n0\r\n\r\n"),
        replace("\r\n3\r\n", "\r\n3.x\r\n"),                  // dividend
        replace("\r\n0.25\r\n", "\r\n25%\r\n"),               // yield
        replace("\r\n30\r\n", "\r\n\r\n"),                    // profit
        replace("2003/08/01 10 10 100", "2003/08/01 10 10"),  // blanks missing
        replace("2003/08/01 10 10 100", "2003/08/01 1x 10 100"),
        replace("2003/08/01 10 10 100", "2003/08/01 10 10 100 5"),
        replace("2003/08/01 10 10 100", "2003/08/01  10 10 100"),             // empty price
        replace("2003/08/01 10 10 100", std::string(250, 'd') + " 1 1 100"),  // blanks at 251, 253, 255
        replace("2003/08/01 10 10 100", std::string(251, 'd') + " 1 1 100"),  // third blank at 256
        replace("2003/08/01 10 10 100", std::string(254, 'd') + " 1 1 100"),  // first blank at 255
        replace(utf8_to_cp932("新日鉄"), "\x90\x56\x80"),                     // invalid code page 932 bytes
        replace("1234", "12\xFD"),
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        auto p = example_portfolio();
        p->stocks[0].buy_count = 7;
        const LoadStatus status = parse_data_file(cases[i], *p);
        if (i == 12) {
            // The blanks at their furthest readable positions.
            EXPECT_EQ(status, LoadStatus::loaded);
            continue;
        }
        EXPECT_EQ(status, LoadStatus::unreadable) << "case " << i;
        EXPECT_EQ(p->last_stock, 0);
        EXPECT_EQ(p->current_stock, 0);
        EXPECT_EQ(p->stocks[0].stock_name, "");
        EXPECT_EQ(p->stocks[0].buy_count, 0);
        EXPECT_EQ(p->stocks[0].held_shares, 0);
        EXPECT_EQ(p->fees, FeeTable::defaults());
    }
}

TEST(DataFileRead, BlankPositionsAreCountedInCharacters) {
    // 126 two-byte characters put the first blank at character 127 (byte 253).
    std::string date;
    for (int i = 0; i < 126; ++i) date += "日";
    std::string bytes = crlf({"0", "0", "", "1", "A", "0", "1", "0", "0", "0", "0", "0"});
    bytes += utf8_to_cp932(date) + " 1 2 3\r\n";
    auto p = Portfolio::create();
    ASSERT_EQ(parse_data_file(bytes, *p), LoadStatus::loaded);
    EXPECT_EQ(p->stocks[0].buys[0].date, date);
}

TEST(DataFileRoundTrip, TheLongestRecordLineTheReaderTakesIsWrittenBack) {
    // Blanks at characters 251, 253 and 255: the furthest right they may lie.
    const std::string head = crlf({"0", "0", "", "1", "A", "0", "1", "0", "0", "0", "0", "0"});
    const std::string bytes = with_default_fees(head + std::string(250, 'x') + " 1 2 3\r\n");
    auto p = Portfolio::create();
    ASSERT_EQ(parse_data_file(bytes, *p), LoadStatus::loaded);
    EXPECT_EQ(format_data_file(*p), bytes);
    EXPECT_EQ(parse_data_file(with_default_fees(head + std::string(251, 'x') + " 1 2 3\r\n"), *p),
              LoadStatus::unreadable);
}

TEST(DataFileRead, ReservedLineSurvivesAFailureAfterLineThree) {
    auto p = Portfolio::create();
    EXPECT_EQ(parse_data_file(crlf({"0", "0", "reserved", "1234"}), *p), LoadStatus::unreadable);
    EXPECT_EQ(p->reserved_line, "reserved");
    EXPECT_EQ(parse_data_file(crlf({"0", "x", "reserved"}), *p), LoadStatus::unreadable);
    EXPECT_EQ(p->reserved_line, "");
}

TEST(DataFileRead, EmptyAndMissingFiles) {
    auto p = Portfolio::create();
    EXPECT_EQ(parse_data_file("", *p), LoadStatus::empty);
    EXPECT_EQ(p->fees, FeeTable::defaults());
    const auto missing = std::filesystem::temp_directory_path() / "chomaru-no-such-file.txt";
    EXPECT_EQ(load_data_file(missing, *p), LoadStatus::missing);
}

// The bytes read come back with the data, so that they can stand for the
// saved state; a file that is not there or cannot be read gives no bytes and
// a first run's data.
TEST(DataFileRead, TheBytesReadComeBackWithTheDataTheyHold) {
    const auto folder = std::filesystem::temp_directory_path() / ("chomaru-read-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const auto file = folder / "vavo_data.txt";
    // Line ends of every kind, a name outside ASCII, and a last line with no end.
    std::string bytes = read_golden("example_35.txt");
    bytes.replace(bytes.find("\r\n"), 2, "\n");
    bytes.replace(bytes.find("\r\n"), 2, "\r");
    bytes.resize(bytes.size() - 2);
    write_file_atomically(file, bytes);
    auto p = Portfolio::create();
    DataFileRead read = read_data_file(file, *p);
    EXPECT_EQ(read.status, LoadStatus::loaded);
    EXPECT_TRUE(read.gaps.whole());
    EXPECT_EQ(read.bytes, bytes);
    auto expected = Portfolio::create();
    ASSERT_EQ(parse_data_file(read_golden("example_35.txt"), *expected), LoadStatus::loaded);
    EXPECT_EQ(format_data_file(*p), format_data_file(*expected));

    std::filesystem::remove(file);
    read = read_data_file(file, *p);
    EXPECT_EQ(read.status, LoadStatus::missing);
    EXPECT_FALSE(read.bytes);
    std::filesystem::create_directory(file);  // a folder where the file should be
    read = read_data_file(file, *p);
    EXPECT_EQ(read.status, LoadStatus::unreadable);
    EXPECT_FALSE(read.bytes);
    EXPECT_EQ(p->last_stock, 0);
    EXPECT_EQ(p->stocks[0].stock_code, "");
    std::filesystem::remove_all(folder);
}

TEST(DataFileRead, FirstLineIsTheLastIndexNotTheCount) {
    std::string bytes = crlf({"1", "1", ""});
    bytes += crlf({"1", "A", "0", "0", "0", "0", "0", "0", "0"});
    bytes += crlf({"2", "B", "0", "0", "0", "0", "0", "0", "0"});
    auto p = Portfolio::create();
    ASSERT_EQ(parse_data_file(bytes, *p), LoadStatus::loaded);
    EXPECT_EQ(p->last_stock, 1);
    EXPECT_EQ(p->current_stock, 1);
    EXPECT_EQ(p->stocks[1].stock_name, "B");
}

TEST(DataFileRead, SelectionAndCountsOutsideTheTablesAreMadeSafe) {
    std::string bytes = crlf({"0", "5", "", "1", "A", "0", "-3", "0", "0", "0", "0", "0"});
    auto p = Portfolio::create();
    ASSERT_EQ(parse_data_file(bytes, *p), LoadStatus::loaded);
    EXPECT_EQ(p->current_stock, 0);
    EXPECT_EQ(p->stocks[0].buy_count, 0);
}

// What a file held beyond what was read is reported, never dropped silently.
TEST(DataFileGaps, AFileReadWholeHasNoGaps) {
    auto p = Portfolio::create();
    ReadGaps gaps;
    ASSERT_EQ(parse_data_file(read_golden("example_35.txt"), *p, gaps), LoadStatus::loaded);
    EXPECT_TRUE(gaps.whole());
    // Blank lines at the very end carry nothing.
    ASSERT_EQ(parse_data_file(read_golden("example_35.txt") + "\r\n \r\n", *p, gaps), LoadStatus::loaded);
    EXPECT_TRUE(gaps.whole());
}

TEST(DataFileGaps, ACountTooSmallLeavesTheRestAndTheCommissionsUnread) {
    auto two = example_portfolio();
    two->last_stock = 1;
    two->stocks[1] = two->stocks[0];
    const std::string whole = format_data_file(*two);  // 3 + 2 × 12 + 20 = 47 lines
    auto p = Portfolio::create();
    ReadGaps gaps;

    // The first line says one stock: the second stock's 12 lines are read
    // as the commission table, which fails; 32 lines are left.
    ASSERT_EQ(parse_data_file("0" + whole.substr(1), *p, gaps), LoadStatus::loaded);
    EXPECT_EQ(p->last_stock, 0);
    EXPECT_TRUE(gaps.fee_table_unread);
    EXPECT_EQ(gaps.first_line_left, 16u);
    EXPECT_EQ(gaps.lines_left, 32u);

    // The last stock's sell count too small: its sale is read as the start
    // of the commission table, which fails.
    std::string fewer = whole;
    fewer.replace(fewer.rfind("\r\n1\r\n12\r\n"), 9, "\r\n0\r\n12\r\n");
    ASSERT_EQ(parse_data_file(fewer, *p, gaps), LoadStatus::loaded);
    EXPECT_EQ(p->stocks[1].sell_count, 0);
    EXPECT_TRUE(gaps.fee_table_unread);
    EXPECT_EQ(gaps.first_line_left, 27u);
    EXPECT_EQ(gaps.lines_left, 21u);

    // Lines after a complete commission table.
    ASSERT_EQ(parse_data_file(whole + "extra\r\nmore\r\n", *p, gaps), LoadStatus::loaded);
    EXPECT_FALSE(gaps.fee_table_unread);
    EXPECT_EQ(gaps.first_line_left, 48u);
    EXPECT_EQ(gaps.lines_left, 2u);
}

TEST(DataFileGaps, ClampedCountsSelectionAndAMissingCommissionTableAreReported) {
    auto p = Portfolio::create();
    ReadGaps gaps;
    const std::string stock = crlf({"1", "A", "0", "-3", "-1", "0", "0", "0", "0"});
    ASSERT_EQ(parse_data_file(with_default_fees(crlf({"0", "5", ""}) + stock), *p, gaps), LoadStatus::loaded);
    EXPECT_EQ(gaps.clamped_counts, 2);
    EXPECT_TRUE(gaps.selection_clamped);
    EXPECT_FALSE(gaps.fee_table_unread);
    EXPECT_EQ(gaps.lines_left, 0u);

    ASSERT_EQ(parse_data_file(crlf({"0", "0", ""}) + crlf({"1", "A", "0", "0", "0", "0", "0", "0", "0"}), *p, gaps),
              LoadStatus::loaded);
    EXPECT_TRUE(gaps.fee_table_unread);
    EXPECT_EQ(gaps.lines_left, 0u);
}

TEST(DataFileRead, ARecordWhoseWrittenLineTheReaderCouldNotTakeIsUnreadable) {
    // "1E9" is read as 1000000000, whose ten digits would push the written
    // line's third blank past character 255.
    const std::string head = crlf({"0", "0", "", "1", "A", "0", "1", "0", "0", "0", "0", "0"});
    auto p = Portfolio::create();
    EXPECT_EQ(parse_data_file(with_default_fees(head + std::string(248, 'x') + " 1E9 1 3\r\n"), *p),
              LoadStatus::unreadable);
    EXPECT_EQ(parse_data_file(with_default_fees(head + std::string(248, 'x') + " 1E2 1 3\r\n"), *p),
              LoadStatus::loaded);
    EXPECT_NO_THROW(format_data_file(*p));
}

TEST(DataFileWrite, RefusalsGiveTheirReasonInJapanese) {
    const auto reason = [](auto change) {
        auto p = example_portfolio();
        change(*p);
        try {
            format_data_file(*p);
        } catch (const DataFileError& e) {
            return std::string(e.what());
        }
        return std::string("not refused");
    };
    const std::string too_long = reason([](Portfolio& p) { p.stocks[0].buys[1].date = std::string(251, 'x'); });
    EXPECT_NE(too_long.find("長すぎます"), std::string::npos) << too_long;
    for (const std::string& text : {too_long, reason([](Portfolio& p) { p.stocks[0].stock_name = "\u00A5"; }),
                                    reason([](Portfolio& p) { p.stocks[0].stock_code = "1\n2"; }),
                                    reason([](Portfolio& p) { p.stocks[0].buys[0].date = "a b"; })})
        EXPECT_EQ(text.find_first_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos)
            << text;
}

TEST(DataFileRoundTrip, SaveLoadSaveGivesTheSameBytes) {
    auto p = example_portfolio();
    p->last_stock = 2;
    p->current_stock = 1;
    p->reserved_line = "予備";
    p->stocks[1].stock_code = "";
    p->stocks[1].stock_name = "ＡＢＣ　ホールディングス";
    p->stocks[1].dividend_yield = 1.0f / 3;
    p->stocks[1].realized_profit = Currency::from_units(-1234567);
    p->stocks[2].sell_count = 1;
    p->stocks[2].sells[0] = TradeRecord{"2024/02/29", -5, 0, Currency::from_units(1)};
    p->fees.fee_rate[2] = 1e-05f;
    const std::string first = format_data_file(*p);

    auto back = Portfolio::create();
    ASSERT_EQ(parse_data_file(first, *back), LoadStatus::loaded);
    EXPECT_EQ(format_data_file(*back), first);
    // Floats come back rounded to 7 significant digits.
    EXPECT_EQ(back->stocks[1].dividend_yield, 0.3333333f);
}

TEST(DataFileSave, WritesTheFileAndReadsItBack) {
    const auto folder = std::filesystem::temp_directory_path() / ("chomaru-data-file-test-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const auto file = folder / data_file_name;
    auto p = example_portfolio();
    save_data_file(file, *p);
    EXPECT_EQ(read_whole_file(file).value(), read_golden("example_35.txt"));
    auto back = Portfolio::create();
    EXPECT_EQ(load_data_file(file, *back), LoadStatus::loaded);
    EXPECT_EQ(back->stocks[0].stock_name, "新日鉄");

    // Text the file cannot carry is refused and the old file stays.
    p->stocks[0].stock_name = "a\nb";
    EXPECT_THROW(save_data_file(file, *p), DataFileError);
    EXPECT_EQ(read_whole_file(file).value(), read_golden("example_35.txt"));
    std::filesystem::remove_all(folder);
}

TEST(DataFileExtensions, SetRatesFollowFeeMaxAfterTheVersionLineAndRoundTripByteForByte) {
    auto p = example_portfolio();
    p->fees.consumption_tax = 1000;
    p->fees.sale_levy = 0;
    const std::string bytes = format_data_file(*p);
    EXPECT_EQ(bytes, read_golden("example_35.txt") + crlf({"帳丸拡張=1", "消費税率=10", "売却時の税率=0"}));

    auto back = Portfolio::create();
    ASSERT_EQ(parse_data_file(bytes, *back), LoadStatus::loaded);
    EXPECT_EQ(back->fees, p->fees);
    EXPECT_EQ(format_data_file(*back), bytes);

    // The bare lines an earlier version wrote read the same.
    ReadGaps gaps;
    ASSERT_EQ(parse_data_file(read_golden("example_35.txt") + crlf({"消費税率=10", "売却時の税率=0"}), *back, gaps),
              LoadStatus::loaded);
    EXPECT_TRUE(gaps.whole());
    EXPECT_EQ(back->fees, p->fees);
}

TEST(DataFileExtensions, EveryStockKeyRoundTripsAndAFileWithoutThemKeepsTheOriginalLayout) {
    auto p = example_portfolio();
    p->last_stock = 1;
    p->stocks[1] = p->stocks[0];
    p->stocks[1].account = AccountType::nisa_growth;
    p->stocks[1].price = QuotedPrice{Currency::from_units(28505000), "2026/12/07"};
    p->stocks[0].splits = {Split{"2024/04/01", 1, 2}, Split{"2025/10/01", 5, 1}};
    p->stocks[1].payments = {DividendPayment{"2026/06/20", Currency::from_yen(1000), Currency::from_yen(203)}};
    const std::string bytes = format_data_file(*p);
    const std::string section = bytes.substr(bytes.find(utf8_to_cp932("帳丸拡張")));
    EXPECT_EQ(section, crlf({"帳丸拡張=1", "口座区分=1,NISA成長", "現在値=1,2850.5,2026/12/07", "分割=0,2024/04/01,1:2",
                             "分割=0,2025/10/01,5:1", "配当金=1,2026/06/20,1000,203"}));
    auto back = Portfolio::create();
    ReadGaps gaps;
    ASSERT_EQ(parse_data_file(bytes, *back, gaps), LoadStatus::loaded);
    EXPECT_TRUE(gaps.whole());
    for (int j = 0; j < 2; ++j) EXPECT_TRUE(same_figures(back->stocks[size_t(j)], p->stocks[size_t(j)])) << j;
    EXPECT_EQ(format_data_file(*back), bytes);

    // Read again into the same portfolio, nothing is added twice.
    ASSERT_EQ(parse_data_file(bytes, *back), LoadStatus::loaded);
    EXPECT_EQ(back->stocks[0].splits.size(), 2u);
}

TEST(DataFileExtensions, ALaterVersionsLinesSurviveALoadAChangeAndASave) {
    const std::string later =
        read_golden("example_35.txt") + crlf({"帳丸拡張=2", "未来の設定=0,abc", "口座区分=0,旧NISA"});
    auto p = Portfolio::create();
    ReadGaps gaps;
    ASSERT_EQ(parse_data_file(later, *p, gaps), LoadStatus::loaded);
    EXPECT_TRUE(gaps.whole());
    EXPECT_EQ(p->stocks[0].account, AccountType::old_nisa);
    p->stocks[0].stock_name = "日本製鉄";
    const std::string saved = format_data_file(*p);
    EXPECT_EQ(saved.substr(saved.find(utf8_to_cp932("帳丸拡張"))),
              crlf({"帳丸拡張=2", "口座区分=0,旧NISA", "未来の設定=0,abc"}));
}

TEST(DataFileExtensions, AValueThatDoesNotReadIsReportedAndKeepsItsDefault) {
    const std::string head = read_golden("example_35.txt");
    struct Case {
        std::initializer_list<const char*> lines;
        int32_t consumption_tax;
        std::vector<size_t> unread;  // line numbers after the 35 of the file
        size_t lines_left;
    };
    const Case cases[] = {
        {{"消費税率=１０"}, 1000, {}, 0},  // full-width digits, as the dialog takes them
        {{"売却時の税率=0.5", "消費税率=8"}, 800, {}, 0},
        {{"消費税率=abc"}, 500, {36}, 0},
        {{"消費税率=-5"}, 500, {36}, 0},
        {{"消費税率=10%"}, 500, {36}, 0},
        {{"消費税率=10.001"}, 500, {36}, 0},
        {{"消費税率=", "消費税率=10"}, 1000, {36}, 0},
        {{"消費税率=8", "消費税率=10"}, 800, {37}, 0},  // a rate set twice: the second is not read
        {{"帳丸拡張=x", "口座区分=0,外国株", "口座区分=1,一般", "現在値=0,abc,2026/12/07", "現在値=0,1,2026/2/7"},
         500,
         {36, 37, 38, 39, 40},
         0},
        {{"分割=0,2024/04/01,1:1001", "分割=0,2024/04/01,1", "配当金=0,2026/06/31,1,0"}, 500, {36, 37, 38}, 0},
        {{"消費税率 10", "売却時の税率=0"}, 500, {}, 2},  // not key=value: the section has ended
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(*c.lines.begin());
        auto p = Portfolio::create();
        ReadGaps gaps;
        ASSERT_EQ(parse_data_file(head + crlf(c.lines), *p, gaps), LoadStatus::loaded);
        EXPECT_EQ(p->fees.consumption_tax, c.consumption_tax);
        EXPECT_EQ(gaps.unread_settings, c.unread);
        EXPECT_EQ(gaps.lines_left, c.lines_left);
        EXPECT_EQ(p->stocks[0].account, AccountType::tokutei);
        EXPECT_FALSE(p->stocks[0].price);
        EXPECT_TRUE(p->stocks[0].splits.empty());
        EXPECT_EQ(p->stocks[0].sells[0].amount, Currency::from_yen(150));
    }
}

}  // namespace
}  // namespace chomaru
