#include "reports/tax_csv.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "reports/portfolio_csv.h"
#include "store/cp932.h"
#include "support/test_data.h"

namespace chomaru {

namespace {

std::string crlf(std::initializer_list<const char*> lines) {
    std::string s;
    for (const char* l : lines) s += utf8_to_cp932(l) + "\r\n";
    return s;
}

const char* const heading =
    "買い日付,買い単価,買い株数,約定代金,売り日付,売り単価,売り株数,約定代金,平均単価,所有株数,損益,通算損益";

TradeRecord rec(const char* date, int32_t shares, int64_t yen) {
    return TradeRecord{date, 100, shares, Currency::from_yen(yen)};
}

TEST(TaxCsv, WholeFileMatchesTheGoldenFile) {
    const auto p = report_test_portfolio();
    const std::string golden = read_golden("portfolio_tax.csv");
    ASSERT_FALSE(golden.empty());
    const TaxFile file = tax_csv(*p);
    EXPECT_EQ(file.bytes, golden);
    EXPECT_FALSE(file.failed_stock.has_value());
}

// A second stock that cannot be written, after a first one that can: the
// writing stops at the second stock and keeps every whole line before the
// failure; the third stock is never reached.
TEST(TaxCsv, AnErrorStopsAtThatStockAndKeepsWhatWasWritten) {
    const struct {
        const char* what;
        std::initializer_list<TradeRecord> buys;
        std::initializer_list<TradeRecord> sells;
        std::initializer_list<const char*> kept;
    } cases[] = {
        {"a buy that leaves no shares",
         {rec("2003/02/01", 10, 1000)},
         {rec("2003/01/01", 10, 1200)},
         {",,,,2003/01/01,100,10,1200,0,-10,1200,1200"}},
        {"an average beyond 32 bits",
         {rec("2003/01/01", 1, 1000), rec("2003/01/02", 1, 5000000000)},
         {},
         {"2003/01/01,100,1,1000,,,,,1000,1,0,0"}},
        {"a profit beyond 32 bits", {}, {rec("2003/01/01", 1, 3000000000)}, {}},
    };
    for (const auto& c : cases) {
        auto p = Portfolio::create();
        p->last_stock = 2;
        p->stocks[0].stock_code = "1111";
        p->stocks[0].stock_name = "良い";
        Stock& bad = p->stocks[1];
        bad.stock_code = "2222";
        bad.stock_name = "悪い";
        for (const TradeRecord& r : c.buys) bad.buys[size_t(bad.buy_count++)] = r;
        for (const TradeRecord& r : c.sells) bad.sells[size_t(bad.sell_count++)] = r;
        p->stocks[2].stock_code = "3333";

        const TaxFile file = tax_csv(*p);
        std::string expected = crlf({"1111,良い", heading, "", "2222,悪い", heading});
        for (const char* line : c.kept) expected += crlf({line});
        EXPECT_EQ(file.bytes, expected) << c.what;
        EXPECT_EQ(file.failed_stock, 1) << c.what;
    }
}

Stock one_stock(std::initializer_list<TradeRecord> buys, std::initializer_list<TradeRecord> sells) {
    Stock s;
    s.stock_code = "1234";
    s.stock_name = "新日鉄";
    for (const TradeRecord& r : buys) s.buys[size_t(s.buy_count++)] = r;
    for (const TradeRecord& r : sells) s.sells[size_t(s.sell_count++)] = r;
    return s;
}

std::string tax_file_of(const Stock& s) {
    auto p = Portfolio::create();
    p->stocks[0] = s;
    const TaxFile file = tax_csv(*p);
    EXPECT_FALSE(file.failed_stock.has_value());
    return file.bytes;
}

// Buys and sells typed late are taken in date order; records of one date
// keep their stored order, and the buys of a date come before its sells.
TEST(TaxCsv, RecordsStoredOutOfDateOrderAreTakenInDateOrder) {
    const Stock s = one_stock({rec("2003/03/01", 10, 1000), rec("2003/01/10", 10, 2000), rec("2003/3/1", 10, 3000)},
                              {rec("2003/03/01", 5, 900), rec("2003/02/01", 5, 1500)});
    EXPECT_EQ(tax_file_of(s),
              crlf({"1234,新日鉄", heading, "2003/01/10,100,10,2000,,,,,200,10,0,0",
                    ",,,,2003/02/01,100,5,1500,200,5,500,500", "2003/03/01,100,10,1000,,,,,133,15,0,500",
                    "2003/3/1,100,10,3000,,,,,200,25,0,500", ",,,,2003/03/01,100,5,900,200,20,-100,400", ""}));
}

// 50,000 shares at ¥50,000: the running cost and a sale's cost pass 2^31 yen.
TEST(TaxCsv, LargeHoldingsAreCostedIn64Bits) {
    const Stock s = one_stock({rec("2026/01/05", 50000, 2500000000), rec("2026/02/05", 10000, 500000000)},
                              {rec("2026/03/05", 60000, 3600000000)});
    EXPECT_EQ(tax_file_of(s), crlf({"1234,新日鉄", heading, "2026/01/05,100,50000,2500000000,,,,,50000,50000,0,0",
                                    "2026/02/05,100,10000,500000000,,,,,50000,60000,0,0",
                                    ",,,,2026/03/05,100,60000,3600000000,50000,0,600000000,600000000", ""}));
}

TEST(TaxCsv, ANameThatCodePage932CannotHoldStopsBeforeItsLine) {
    auto p = Portfolio::create();
    p->last_stock = 1;
    p->stocks[0].stock_code = "1111";
    p->stocks[1].stock_code = "2222";
    p->stocks[1].stock_name = "😀";
    const TaxFile file = tax_csv(*p);
    EXPECT_EQ(file.bytes, crlf({"1111,", heading, ""}));
    EXPECT_EQ(file.failed_stock, 1);
}

// Every date is read before the first row, since the order depends on all
// of them: a stock with a date that is not a date gets no rows, is named,
// and the writing goes on.
TEST(TaxCsv, AStockWithADateThatIsNotADateGetsNoRowsAndIsNamed) {
    auto p = Portfolio::create();
    p->last_stock = 2;
    p->stocks[0] = one_stock({rec("2003/01/10", 10, 1000), rec("2003/13/01", 10, 1000)}, {});
    p->stocks[1] = one_stock({rec("2003/01/10", 10, 1000)}, {rec("昨日", 5, 600)});
    p->stocks[1].stock_code = "8411";
    p->stocks[1].stock_name = "みずほ";
    p->stocks[2] = one_stock({rec("2003/01/10", 10, 1000)}, {});
    const TaxFile file = tax_csv(*p);
    EXPECT_EQ(file.bytes, crlf({"1234,新日鉄", heading, "", "8411,みずほ", heading, "", "1234,新日鉄", heading,
                                "2003/01/10,100,10,1000,,,,,100,10,0,0", ""}));
    EXPECT_FALSE(file.failed_stock.has_value());
    EXPECT_EQ(tax_problems(*p, file),
              "1234新日鉄：買い記録 2 の日付「2003/13/01」が読めないため、売買を書いていません\r\n"
              "8411みずほ：売り記録 1 の日付「昨日」が読めないため、売買を書いていません");
}

TEST(TaxCsv, TheStockWhereTheWritingStoppedIsNamed) {
    auto p = Portfolio::create();
    p->last_stock = 1;
    p->stocks[1].stock_code = "8411";
    p->stocks[1].stock_name = "みずほ";
    TaxFile file;
    file.failed_stock = 1;
    EXPECT_EQ(tax_problems(*p, file), "8411みずほを処理中にエラーが発生しました");
}

}  // namespace
}  // namespace chomaru
