#include "reports/year_report.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "reports/portfolio_csv.h"
#include "store/cp932.h"
#include "support/test_data.h"

namespace chomaru {

namespace {

TradeRecord rec(const char* date, int32_t shares, int64_t units) {
    return TradeRecord{date, 1000, shares, Currency::from_units(units)};
}

constexpr int64_t yen = Currency::units_per_yen;

std::string crlf(std::initializer_list<const char*> lines) {
    std::string s;
    for (const char* l : lines) s += utf8_to_cp932(l) + "\r\n";
    return s;
}

Currency y(int64_t v) { return Currency::from_yen(v); }

TEST(YearReport, ALossCarriesThreeYearsOldestFirstAndThenLapses) {
    auto p = Portfolio::create();
    Stock& s = p->stocks[0];
    const TradeRecord sells[] = {rec("2010/06/01", 10, 7000 * yen), rec("2011/06/01", 10, 8000 * yen),
                                 rec("2012/06/01", 10, 14000 * yen), rec("2013/06/01", 10, 15000 * yen)};
    s.buys[0] = rec("2010/01/04", 100, 100000 * yen);
    s.buy_count = 1;
    for (const TradeRecord& r : sells) s.sells[size_t(s.sell_count++)] = r;
    const YearReport report = year_report(*p);
    ASSERT_TRUE(report.left_out.empty());
    struct Row {
        int year;
        int64_t profit, deducted, after, left, tax;
    };
    // 2012 takes the whole ¥3,000 of 2010 first, then ¥1,000 of 2011's loss.
    const Row expected[] = {{2010, -3000, 0, -3000, 3000, 0},
                            {2011, -2000, 0, -2000, 5000, 0},
                            {2012, 4000, 4000, 0, 1000, 0},
                            {2013, 5000, 1000, 4000, 0, 812}};
    ASSERT_EQ(report.years.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const YearFigures& f = report.years[i];
        const Row& e = expected[i];
        EXPECT_EQ(f.year, e.year);
        EXPECT_EQ(f.profit, y(e.profit)) << e.year;
        EXPECT_EQ(f.deducted, y(e.deducted)) << e.year;
        EXPECT_EQ(f.after_deduction, y(e.after)) << e.year;
        EXPECT_EQ(f.loss_left, y(e.left)) << e.year;
        EXPECT_EQ(f.tax_estimate, e.tax) << e.year;
    }
}

TEST(YearReport, TheFileHasTheSalesByYearAndStockThenTheYears) {
    const auto p = carried_loss_portfolio();
    const YearReport report = year_report(*p);
    EXPECT_EQ(year_csv(*p, report),
              crlf({"年,コード,銘柄名,売却株数,売却代金,取得費,損益", "2020,1111,甲,50,30000,50000,-20000",
                    "2021,1111,甲,10,15000,10000,5000", "2023,1111,甲,10,12000,10000,2000",
                    "2024,1111,甲,10,20000,10000,10000", "2024,2222,乙,5,5000.5,0,5000,保有株数を超える売却があります",
                    "", "年,損益合計,繰越控除,控除後損益,繰越損失残高,概算税額", "2020,-20000,0,-20000,20000,0",
                    "2021,5000,5000,0,15000,0", "2022,0,0,0,15000,0", "2023,2000,2000,0,0,0",
                    "2024,15000,0,15000,0,3047,保有株数を超える売却があります"}));
    ASSERT_EQ(report.years.size(), 5u);
    EXPECT_TRUE(report.years[2].sales.empty());
}

// The profits are the tax file's, from the same date-ordered replay: the
// sale of ソニー, stored before an earlier buy, is costed at that buy.
TEST(YearReport, SalesMatchTheTaxFilesProfits) {
    const auto p = report_test_portfolio();
    EXPECT_EQ(year_csv(*p, year_report(*p)),
              crlf({"年,コード,銘柄名,売却株数,売却代金,取得費,損益", "2003,1234,新日鉄,10,153.5625,105,48",
                    "2003,8411,\"みずほ,FG \"\"本店\"\"\",100,21000,0,21000,保有株数を超える売却があります",
                    "2003,6758,ソニー,5,600,600,0",
                    "2004,7203,トヨタ自動車,300,438012.5,0,438012,保有株数を超える売却があります", "",
                    "年,損益合計,繰越控除,控除後損益,繰越損失残高,概算税額",
                    "2003,21048,0,21048,0,4275,保有株数を超える売却があります",
                    "2004,438012,0,438012,0,88982,保有株数を超える売却があります"}));
}

// A stock that cannot be replayed is left out and named; the others count.
TEST(YearReport, AStockThatCannotBeReplayedIsLeftOutAndNamed) {
    auto p = carried_loss_portfolio();
    p->stocks[1].buys[0].date = "2024/02/30";
    p->last_stock = 2;
    Stock& bad = p->stocks[2];  // a buy that leaves no shares to average over
    bad.stock_code = "3333";
    bad.stock_name = "丙";
    bad.sells[0] = rec("2024/01/05", 10, 100 * yen);
    bad.buys[0] = rec("2024/02/01", 10, 100 * yen);
    bad.sell_count = bad.buy_count = 1;
    const YearReport report = year_report(*p);
    ASSERT_EQ(report.years.size(), 5u);
    EXPECT_EQ(report.years[4].profit, y(10000));
    EXPECT_FALSE(report.years[4].oversold);
    EXPECT_EQ(year_problems(*p, report),
              "2222乙：買い記録 1 の日付「2024/02/30」が読めないため、この銘柄を除いています\r\n"
              "3333丙を処理中にエラーが発生しました（この銘柄を除いています）");
}

TEST(YearReport, NoSaleGivesNoYear) {
    auto p = Portfolio::create();
    p->stocks[0].buys[0] = rec("2020/01/10", 100, 100000 * yen);
    p->stocks[0].buy_count = 1;
    EXPECT_TRUE(year_report(*p).years.empty());
}

TEST(YearReport, TheTaxEstimateIsRoundedDown) {
    EXPECT_EQ(estimated_tax(y(10000)), 2031);                  // 2031.5
    EXPECT_EQ(estimated_tax(y(15000)), 3047);                  // 3047.25
    EXPECT_EQ(estimated_tax(Currency::from_units(49999)), 1);  // 4.9999 yen: 1.0157...
    EXPECT_EQ(estimated_tax(y(0)), 0);
    EXPECT_EQ(estimated_tax(y(-5000)), 0);
    EXPECT_EQ(estimated_tax(y(900'000'000'000'000)), 182'835'000'000'000);
}

TEST(YearReport, TheFileNameCarriesTheDate) { EXPECT_EQ(year_file_name(Date{2003, 8, 31}), "stc_2003_8_31_year.csv"); }

}  // namespace
}  // namespace chomaru
