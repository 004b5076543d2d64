#include "imports/trade_history.h"

#include <gtest/gtest.h>

#include <memory>

#include "imports/csv_text.h"
#include "store/cp932.h"
#include "support/test_data.h"

namespace chomaru {
namespace {

constexpr const char* sbi_header =
    "約定日,銘柄,銘柄コード,市場,取引,期限,預り,課税,約定数量,約定単価,手数料/諸経費等,税額,受渡日,受渡金額/決済損益";
constexpr const char* no_header_message =
    "取引履歴の見出し行が見つかりません（約定日・銘柄コード・売買・数量・単価・受渡金額）";

std::string lines(std::initializer_list<std::string_view> list) {
    std::string text;
    for (const std::string_view line : list) (text += line) += "\r\n";
    return text;
}

void expect_trade(const TradeRow& row, Date date, const char* code, AccountType account, TradeSide side, int32_t shares,
                  int32_t price, int64_t amount_yen) {
    EXPECT_EQ(row.status, RowStatus::trade) << row.line << " " << row.reason;
    EXPECT_EQ(row.date, date) << row.line;
    EXPECT_EQ(row.code, code) << row.line;
    EXPECT_EQ(row.account, account) << row.line;
    EXPECT_EQ(row.side, side) << row.line;
    EXPECT_EQ(row.shares, shares) << row.line;
    EXPECT_EQ(row.price, price) << row.line;
    EXPECT_EQ(row.amount, Currency::from_yen(amount_yen)) << row.line;
}

std::string no_header_error(std::string_view bytes) {
    try {
        read_trade_history(bytes);
    } catch (const ImportError& e) {
        return e.what();
    }
    return "read";
}

TEST(TradeHistory, SbiInCodePage932AfterItsPreamble) {
    const TradeHistory h = read_trade_history(read_golden("sbi_yakujo.csv"));
    EXPECT_EQ(h.format, "SBI証券 約定履歴");
    EXPECT_EQ(h.encoding, "Shift_JIS");
    EXPECT_EQ(h.header_line, 9u);
    ASSERT_EQ(h.rows.size(), 8u);
    const TradeRow& first = h.rows[0];
    EXPECT_EQ(first.line, 10u);
    EXPECT_EQ(first.name, "ひまわり工業");
    EXPECT_EQ(first.settlement, (Date{2025, 1, 20}));
    EXPECT_EQ(first.unit_price, Currency::from_yen(26500));
    EXPECT_FALSE(first.amount_computed);
    EXPECT_EQ(first.record(), (TradeRecord{"2025/01/20", 26500, 100, Currency::from_yen(2655000)}));
    expect_trade(h.rows[1], {2025, 2, 14}, "8306", AccountType::nisa_growth, TradeSide::buy, 200, 1780, 356000);
    EXPECT_EQ(h.rows[1].name, "三菱ＵＦＪフィナンシャル・グループ");
    expect_trade(h.rows[4], {2025, 5, 12}, "7203", AccountType::tokutei, TradeSide::sell, 100, 3010, 301000);
    EXPECT_EQ(h.rows[5].status, RowStatus::not_trade);
    EXPECT_EQ(h.rows[5].reason, "信用新規買");
    EXPECT_EQ(h.rows[5].code, "9984");
    expect_trade(h.rows[7], {2025, 12, 30}, "6622", AccountType::tokutei, TradeSide::sell, 100, 24100, 2409000);
}

TEST(TradeHistory, SbiOf2026InUtf8WithAByteOrderMark) {
    const TradeHistory h = read_trade_history(read_golden("sbi_yakujo_2026.csv"));
    EXPECT_EQ(h.format, "SBI証券 約定履歴");
    EXPECT_EQ(h.encoding, "UTF-8");
    EXPECT_EQ(h.header_line, 6u);
    ASSERT_EQ(h.rows.size(), 8u);
    expect_trade(h.rows[1], {2025, 2, 14}, "8306", AccountType::nisa_growth, TradeSide::buy, 200, 1780, 356000);
    expect_trade(h.rows[3], {2025, 3, 3}, "7203", AccountType::tokutei, TradeSide::buy, 100, 2849, 284900);
    EXPECT_EQ(h.rows[5].status, RowStatus::not_trade);
}

TEST(TradeHistory, RakutenQuotedWithThousandsCommasAndUnpaddedDates) {
    const TradeHistory h = read_trade_history(read_golden("rakuten_tradehistory.csv"));
    EXPECT_EQ(h.format, "楽天証券 取引履歴");
    EXPECT_EQ(h.encoding, "Shift_JIS");
    EXPECT_EQ(h.header_line, 1u);
    ASSERT_EQ(h.rows.size(), 8u);
    expect_trade(h.rows[0], {2025, 1, 20}, "6622", AccountType::tokutei, TradeSide::buy, 100, 26500, 2655000);
    EXPECT_EQ(h.rows[0].record().date, "2025/01/20");
    expect_trade(h.rows[1], {2025, 2, 14}, "8306", AccountType::nisa_growth, TradeSide::buy, 200, 1780, 356000);
    expect_trade(h.rows[6], {2025, 9, 30}, "8306", AccountType::nisa_growth, TradeSide::sell, 100, 2210, 221000);
    EXPECT_EQ(h.rows[5].status, RowStatus::not_trade);
    EXPECT_EQ(h.rows[5].reason, "信用新規 買付");
}

TEST(TradeHistory, RakutenOddLotsAreTradesAndOtherKindsAreNot) {
    const std::string header =
        "\"約定日\",\"受渡日\",\"銘柄コード\",\"銘柄名\",\"市場名称\",\"口座区分\",\"取引区分\",\"売買区分\","
        "\"信用区分\","
        "\"弁済期限\",\"数量【株】\",\"単価[円]\",\"手数料〔円〕\",\"税金等［円］\",\"諸費用［円］\",\"税区分\","
        "\"受渡金額［円］\"";
    const TradeHistory h = read_trade_history(lines({
        header,
        "\"2025/5/16\",\"2025/5/20\",\"7203\",\"トヨタ\",\"東証\",\"特定\",\"現物(単元未満)\",\"売付\",\"-\",\"-\","
        "\"5\",\"2,901.5\",\"0\",\"0\",\"0\",\"-\",\"14,507\"",
        "\"2025/5/16\",\"2025/5/20\",\"7203\",\"トヨタ\",\"東証\",\"特定\",\"現引\",\"買付\",\"-\",\"-\",\"100\","
        "\"2,900\",\"0\",\"0\",\"0\",\"-\",\"290,000\"",
        "\"2025/5/16\",\"2025/5/20\",\"\",\"eMAXIS Slim\",\"-\",\"NISAつみたて投資枠\",\"投信\",\"分配金再投資\",\"-\","
        "\"-\",\"1,234\",\"25,000\",\"0\",\"0\",\"0\",\"-\",\"3,085\"",
    }));
    EXPECT_EQ(h.format, "楽天証券 取引履歴");
    ASSERT_EQ(h.rows.size(), 3u);
    expect_trade(h.rows[0], {2025, 5, 16}, "7203", AccountType::tokutei, TradeSide::sell, 5, 2902, 14507);
    EXPECT_EQ(h.rows[0].unit_price, Currency::from_units(29015000));
    EXPECT_EQ(h.rows[0].settlement, (Date{2025, 5, 20}));
    EXPECT_EQ(h.rows[1].reason, "現引 買付");
    EXPECT_EQ(h.rows[2].reason, "投信 分配金再投資");
    EXPECT_EQ(h.rows[2].account, AccountType::nisa_tsumitate);  // shown for a row not imported too
}

TEST(TradeHistory, TheSynonymsOfTheGenericHeaderReadTheSameTrade) {
    const char* const files[] = {
        "日付,コード,銘柄名,売買,株数,約定価格,約定代金\r\n2025/04/01,7203,トヨタ,買,100,2500,250000\r\n",
        "取引日,銘柄コード,銘柄,取引区分,数量,単価,金額,口座\r\n2025/4/1,7203,トヨタ,現物買付,100,2500,250000,特定\r\n",
        "約定日,銘柄コード,売買区分,約定数量,約定単価,受渡金額,口座区分\r\n25/04/01,7203,買い,100,2500,250000,\" "
        "特定\"\r\n",
        " 約定日 "
        ",［銘柄コード］,売買,数量（株）,単価（円）,受渡金額（円）,預り\r\n2025-04-01,7203,買,100,2500,250000,特定\r\n",
    };
    for (const char* file : files) {
        const TradeHistory h = read_trade_history(file);
        EXPECT_EQ(h.format, "汎用CSV") << file;
        ASSERT_EQ(h.rows.size(), 1u) << file;
        expect_trade(h.rows[0], {2025, 4, 1}, "7203", AccountType::tokutei, TradeSide::buy, 100, 2500, 250000);
    }
    const TradeHistory h = read_trade_history(lines({
        "日付,コード,売買,株数,単価,金額",
        "2025/4/2,7203,売,100,2600,260000",
        "2025/4/2,7203,信用新規買,100,2600,260000",
        "2025/4/2,7203,入庫,100,0,0",
    }));
    expect_trade(h.rows[0], {2025, 4, 2}, "7203", AccountType::tokutei, TradeSide::sell, 100, 2600, 260000);
    EXPECT_EQ(h.rows[0].name, "");
    EXPECT_EQ(h.rows[1].reason, "信用新規買");
    EXPECT_EQ(h.rows[2].reason, "入庫");
    // Margin named in another side column than the one taken.
    const TradeHistory margin = read_trade_history(
        "日付,コード,売買,取引区分,株数,単価,金額\r\n"
        "2025/4/2,7203,買,信用新規,100,2600,260000\r\n");
    EXPECT_EQ(margin.rows[0].reason, "信用新規");
    // Without one required name there is no header.
    for (const char* header : {"日付,売買,株数,単価,金額", "日付,コード,売買,株数,単価", "コード,売買,株数,単価,金額",
                               "日付,コード,株数,単価,金額"})
        EXPECT_EQ(no_header_error(std::string(header) + "\r\n2025/4/2,7203,買,100,2600\r\n"), no_header_message);
}

TEST(TradeHistory, AMissingAmountIsTheTradeValueWithFeesAndTaxes) {
    const TradeHistory h = read_trade_history(lines({
        sbi_header,
        "2025/06/02,トヨタ自動車,7203,東証,株式現物買,--,特定,申告,100,\"1,234.5\",99,9,2025/06/04,-",
        "2025/06/03,トヨタ自動車,7203,東証,株式現物売,--,特定,申告,100,3010,--,30,2025/06/05,--",
        "2025/06/04,トヨタ自動車,7203,東証,株式現物売,--,特定,申告,100,3010,-,x,2025/06/06,",
    }));
    ASSERT_EQ(h.rows.size(), 3u);
    // 1,234.5 × 100 + 99 + 9; the record's price is 1,234.5 to even.
    expect_trade(h.rows[0], {2025, 6, 2}, "7203", AccountType::tokutei, TradeSide::buy, 100, 1234, 123558);
    EXPECT_TRUE(h.rows[0].amount_computed);
    // 3,010 × 100 − 0 − 30.
    expect_trade(h.rows[1], {2025, 6, 3}, "7203", AccountType::tokutei, TradeSide::sell, 100, 3010, 300970);
    EXPECT_TRUE(h.rows[1].amount_computed);
    EXPECT_EQ(h.rows[2].status, RowStatus::unreadable);
    EXPECT_EQ(h.rows[2].reason, "税額が読めません: x");
}

TEST(TradeHistory, FullWidthDigitsQuotedCommasAndInputMethodForms) {
    const TradeHistory h = read_trade_history(lines({
        "前書き,\"見出し,ではない\"",
        "",
        sbi_header,
        "２０２５/０７/０１,\"ＡＢＣ, 〜ホールディングス\",\" 130A "
        "\",東証,株式現物買,--,一般,申告,\"１，０００\",９９．５,"
        "--,--,--,\"９９，５００\"",
    }));
    EXPECT_EQ(h.header_line, 3u);
    ASSERT_EQ(h.rows.size(), 1u);
    expect_trade(h.rows[0], {2025, 7, 1}, "130A", AccountType::ippan, TradeSide::buy, 1000, 100, 99500);
    EXPECT_EQ(h.rows[0].settlement, std::nullopt);
    // The wave dash an input method types is stored as code page 932 holds it.
    EXPECT_EQ(h.rows[0].name, "ＡＢＣ, \uFF5Eホールディングス");
}

TEST(TradeHistory, RowsThatDoNotReadSayWhyAndTheOthersStillRead) {
    const TradeHistory h = read_trade_history(lines({
        sbi_header,
        "2025/13/01,トヨタ,7203,東証,株式現物買,--,特定,申告,100,2850,--,--,2025/03/03,285000",
        "2025/03/03,トヨタ,7203,東証,株式現物買,--,特定,申告,abc,2850,--,--,2025/03/03,285000",
        "2025/03/03,トヨタ,7203,東証,株式現物買,--,特定,申告,100,-,--,--,2025/03/03,285000",
        "2025/03/03,トヨタ,7203,東証,株式現物買,--,特定,申告,100,2850,--,--,2025/03/03,1.2.3",
        "2025/03/03,삼성전자,7203,東証,株式現物買,--,特定,申告,100,2850,--,--,2025/03/03,285000",
        "2025/03/03,トヨタ,,東証,株式現物買,--,特定,申告,100,2850,--,--,2025/03/03,285000",
        "2025/03/03,トヨタ,7203,東証,株式現物買,--,特定,申告,100,2850,--,--,3/3,285000",
        "2025/03/03,トヨタ,7203,東証,株式現物買,--,特定,申告,100",
        "2025/03/03,トヨタ,7203,東証,株式現物買,--,外国株,申告,100,2850,--,--,2025/03/03,285000",
        "2025/03/03,トヨタ,7203,東証,株式現物買,--,特定,申告,100,2850,--,--,2025/03/03,285000",
        ",,,,,",
    }));
    const char* const reasons[] = {
        "約定日が読めません: 2025/13/01",
        "数量が読めません: abc",
        "単価が読めません: -",
        "受渡金額が読めません: 1.2.3",
        "銘柄名に使えない文字があります: 삼성전자",
        "銘柄コードがありません",
        "受渡日が読めません: 3/3",
        "列が足りません",
    };
    ASSERT_EQ(h.rows.size(), 10u);
    for (size_t i = 0; i < std::size(reasons); ++i) {
        EXPECT_EQ(h.rows[i].status, RowStatus::unreadable) << i;
        EXPECT_EQ(h.rows[i].reason, reasons[i]) << i;
        EXPECT_EQ(h.rows[i].line, i + 2);
    }
    EXPECT_EQ(h.rows[8].status, RowStatus::not_trade);
    EXPECT_EQ(h.rows[8].reason, "口座区分が不明: 外国株");
    EXPECT_TRUE(h.rows[8].account_unknown);
    EXPECT_EQ(h.rows[9].status, RowStatus::trade);
    EXPECT_FALSE(h.rows[9].account_unknown);
}

// What a row's cells make is kept from one row to the next while their
// bytes repeat: a change in any column the side hangs on, or a date that
// does not read, must still be seen.
TEST(TradeHistory, RepeatedCellsReadAsTheyDidAndChangedOnesAfresh) {
    const TradeHistory generic = read_trade_history(lines({
        "日付,コード,売買,取引区分,株数,単価,金額",
        "2025/4/2,7203,買,,100,2600,260000",
        "2025/4/2,7203,買,信用新規,100,2600,260000",
        "2025/4/2,7203,買,,100,2600,260000",
        "2025/13/2,7203,買,,100,2600,260000",
        "2025/4/2,7203,売,,100,2600,260000",
    }));
    ASSERT_EQ(generic.rows.size(), 5u);
    EXPECT_EQ(generic.rows[1].reason, "信用新規");
    expect_trade(generic.rows[2], {2025, 4, 2}, "7203", AccountType::tokutei, TradeSide::buy, 100, 2600, 260000);
    EXPECT_EQ(generic.rows[3].reason, "約定日が読めません: 2025/13/2");
    expect_trade(generic.rows[4], {2025, 4, 2}, "7203", AccountType::tokutei, TradeSide::sell, 100, 2600, 260000);
    const TradeHistory rakuten = read_trade_history(lines({
        "約定日,銘柄コード,取引区分,売買区分,信用区分,数量,単価,受渡金額",
        "2025/4/2,7203,現物,買付,-,100,2600,260000",
        "2025/4/2,7203,信用新規,買付,-,100,2600,260000",
        "2025/4/2,7203,現物,買付,-,100,2600,260000",
    }));
    ASSERT_EQ(rakuten.rows.size(), 3u);
    EXPECT_EQ(rakuten.rows[0].status, RowStatus::trade);
    EXPECT_EQ(rakuten.rows[1].reason, "信用新規 買付");
    EXPECT_EQ(rakuten.rows[2].status, RowStatus::trade);
}

// A row's name and reason are views of texts the history keeps: they stay
// when the file's bytes are gone, and a copy of the history keeps them when
// the history it was copied from is gone.
TEST(TradeHistory, RowTextsOutliveTheBytesAndTheHistoryTheyWereCopiedFrom) {
    auto bytes = std::make_unique<std::string>(utf8_to_cp932(lines({
        "日付,コード,銘柄名,売買,株数,単価,金額",
        "2025/4/2,7203,トヨタ自動車,買,100,2600,260000",
        "2025/4/2,AAPL, Apple Inc. ,買,1,30000,30000",
        "2025/4/2,9984,ソフトバンクグループ,信用新規買,100,9000,900000",
        "2025/4/2,9984,ソフトバンクグループ,買,x,9000,900000",
        "2025/4/2,9984",
    })));
    auto history = std::make_unique<TradeHistory>(read_trade_history(*bytes));
    bytes->assign(bytes->size(), '#');
    bytes.reset();
    const TradeHistory copy = *history;
    history.reset();
    ASSERT_EQ(copy.rows.size(), 5u);
    EXPECT_EQ(copy.rows[0].name, "トヨタ自動車");
    EXPECT_EQ(copy.rows[1].name, "Apple Inc.");
    EXPECT_EQ(copy.rows[1].code, "AAPL");
    EXPECT_EQ(copy.rows[2].name, "ソフトバンクグループ");
    EXPECT_EQ(copy.rows[2].reason, "信用新規買");
    EXPECT_EQ(copy.rows[3].reason, "数量が読めません: x");
    EXPECT_EQ(copy.rows[4].reason, "列が足りません");
    EXPECT_EQ(copy.rows[4].code, "9984");
}

TEST(TradeHistory, TheHeaderIsLookedForInTheFirst30Lines) {
    const std::string row = "2025/03/03,トヨタ,7203,東証,株式現物買,--,特定,申告,100,2850,--,--,2025/03/03,285000\r\n";
    std::string preamble;
    for (int i = 0; i < 29; ++i) preamble += "約定履歴照会\r\n";
    EXPECT_EQ(read_trade_history(preamble + sbi_header + "\r\n" + row).header_line, 30u);
    EXPECT_EQ(no_header_error(preamble + "\r\n" + sbi_header + "\r\n" + row), no_header_message);
    EXPECT_EQ(no_header_error(""), no_header_message);
    EXPECT_EQ(no_header_error(std::string("PNG\0\x1A", 5)), "テキストファイルではありません");
}

// Many names in turn, each read as its own; a name with a line break does
// not read, in ASCII too.
TEST(TradeHistory, EveryRowKeepsItsOwnName) {
    std::string text = std::string(sbi_header) + "\r\n";
    std::vector<std::string> names;
    for (int i = 0; i < 300; ++i) {
        names.push_back(i % 2 ? "Sony " + std::to_string(i % 70) : "ソニー" + std::to_string(i % 70));
        text += "2025/03/03," + names.back() + ",7203,東証,株式現物買,--,特定,申告,100,2850,--,--,,285000\r\n";
    }
    text += "2025/03/03,\"Sony\nGroup\",7203,東証,株式現物買,--,特定,申告,100,2850,--,--,,285000\r\n";
    const TradeHistory h = read_trade_history(utf8_to_cp932(text));
    ASSERT_EQ(h.rows.size(), names.size() + 1);
    for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(h.rows[i].name, names[i]) << i;
    EXPECT_EQ(h.rows.back().reason, "銘柄名に改行があります");
}

// A byte that code page 932 does not take refuses the whole file, even in
// a column no trade is read from, far below the header.
TEST(TradeHistory, ABadByteAnywhereInCodePage932IsNotText) {
    const std::string row =
        utf8_to_cp932("2025/03/03,トヨタ,7203,東証,株式現物買,--,特定,申告,100,2850,--,--,2025/03/03,285000\r\n");
    std::string text = utf8_to_cp932(sbi_header) + "\r\n";
    for (int i = 0; i < 40; ++i) text += row;
    EXPECT_EQ(read_trade_history(text).rows.size(), 40u);
    // The last: a closing quote between a lead byte and what would be its
    // second byte.
    for (const std::string_view market :
         {"\x93\x8C\x8F\xD8\x82", "\x80", "\x93\x8C\xFD\x40", "\"\x82\"\"", "\"\x90\"\xC5"}) {
        const std::string bad = text + "2025/03/04,x,7203," + std::string(market) + row.substr(row.find(",\x8A"));
        EXPECT_EQ(no_header_error(bad + row), "テキストファイルではありません") << market;
    }
    // Without a header, and below the lines searched for one.
    std::string lines;
    for (int i = 0; i < 40; ++i) lines += utf8_to_cp932("約定履歴照会,東証\r\n");
    EXPECT_EQ(no_header_error(lines + "\x93\x8C\xFD\r\n"), "テキストファイルではありません");
}

}  // namespace
}  // namespace chomaru
