#include "reports/year_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

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

// Stock i of the portfolio, with its records; the stocks reach to it.
Stock& trades(Portfolio& p, int32_t i, const char* code, const char* name, std::initializer_list<TradeRecord> buys,
              std::initializer_list<TradeRecord> sells) {
    p.last_stock = std::max(p.last_stock, i);
    Stock& s = p.stocks[size_t(i)];
    s.stock_code = code;
    s.stock_name = name;
    for (const TradeRecord& r : buys) s.buys[size_t(s.buy_count++)] = r;
    for (const TradeRecord& r : sells) s.sells[size_t(s.sell_count++)] = r;
    return s;
}

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

// Each sale in the year of its settlement date, two business days after the
// trade: 2023/05/01 settles after the Golden Week holidays on 2023/05/08,
// and 乙's sale of 2024/01/05 after 成人の日 on 2024/01/10, before 甲's
// sale of 2024/02/01 (settled 2024/02/05).
TEST(YearReport, TheFileHasEachSaleBySettlementDateThenTheYears) {
    const auto p = carried_loss_portfolio();
    const YearReport report = year_report(*p);
    EXPECT_EQ(year_csv(*p, report),
              crlf({"年,約定日,受渡日,コード,銘柄名,売却株数,売却代金,取得費,損益",
                    "2020,2020/06/01,2020/06/03,1111,甲,50,30000,50000,-20000",
                    "2021,2021/03/01,2021/03/03,1111,甲,10,15000,10000,5000",
                    "2023,2023/05/01,2023/05/08,1111,甲,10,12000,10000,2000",
                    "2024,2024/01/05,2024/01/10,2222,乙,5,5000.5,0,5000,保有株数を超える売却があります",
                    "2024,2024/02/01,2024/02/05,1111,甲,10,20000,10000,10000", "",
                    "年,損益合計,繰越控除,控除後損益,繰越損失残高,概算税額", "2020,-20000,0,-20000,20000,0",
                    "2021,5000,5000,0,15000,0", "2022,0,0,0,15000,0", "2023,2000,2000,0,0,0",
                    "2024,15000,0,15000,0,3047,保有株数を超える売却があります"}));
    ASSERT_EQ(report.years.size(), 5u);
    EXPECT_TRUE(report.years[2].sales.empty());
}

// Costed as a 特定口座 does: after each buy the average is rounded up to the
// yen. 新日鉄: 10 shares for ¥105 average ¥11 (10.5 up), 5 sold cost ¥55;
// then 5 × ¥11 + ¥120.5 over 15 shares is ¥11.7, up to ¥12, and 5 sold cost
// ¥60 (profit 73.5 − 60 = 13.5, to even 14). Trades of a Saturday settle as
// of the Monday, three business days then.
TEST(YearReport, SalesAreCostedAtTheAverageRoundedUp) {
    const auto p = report_test_portfolio();
    EXPECT_EQ(year_csv(*p, year_report(*p)),
              crlf({"年,約定日,受渡日,コード,銘柄名,売却株数,売却代金,取得費,損益",
                    "2003,2003/02/01,2003/02/06,1234,新日鉄,5,80.0625,55,25",
                    "2003,2003/03/01,2003/03/06,1234,新日鉄,5,73.5,60,14",
                    "2003,2003/04/01,2003/04/04,8411,\"みずほ,FG \"\"本店\"\"\",100,21000,0,21000,"
                    "保有株数を超える売却があります",
                    "2003,2003/05/15,2003/05/20,6758,ソニー,5,600,600,0",
                    "2004,2004/01/05,2004/01/08,7203,トヨタ自動車,100,149000,0,149000,保有株数を超える売却があります",
                    "2004,2004/01/20,2004/01/23,7203,トヨタ自動車,200,289012.5,0,289012,"
                    "保有株数を超える売却があります",
                    "", "年,損益合計,繰越控除,控除後損益,繰越損失残高,概算税額",
                    "2003,21039,0,21039,0,4273,保有株数を超える売却があります",
                    "2004,438012,0,438012,0,88981,保有株数を超える売却があります"}));
}

// The average after a buy is the smallest whole yen not below it: 3 shares
// for ¥1,000 are ¥334 each and cost ¥1,002 when sold, and so are 3 for
// ¥999.0001. 3 sold before any buy, then 1 bought for ¥67, leave ¥67 over
// −2 shares, −33.5, up to −33: the next share sold for ¥10 gains ¥43.
TEST(YearReport, TheAverageAfterABuyIsRoundedUpToTheYen) {
    auto p = Portfolio::create();
    trades(*p, 0, "", "", {rec("2025/06/02", 3, 1000 * yen)}, {rec("2025/06/02", 3, 1200 * yen)});
    trades(*p, 1, "", "", {rec("2025/06/02", 3, 9990001)}, {rec("2025/06/02", 3, 1200 * yen)});
    trades(*p, 2, "", "", {rec("2025/01/07", 1, 67 * yen)},
           {rec("2025/01/06", 3, 300 * yen), rec("2025/01/08", 1, 10 * yen)});
    const YearReport report = year_report(*p);
    ASSERT_EQ(report.years.size(), 1u);
    const std::vector<SaleFigures>& sales = report.years[0].sales;
    const std::pair<int64_t, int32_t> expected[] = {{0, 300}, {-33, 43}, {1002, 198}, {1002, 198}};
    ASSERT_EQ(sales.size(), std::size(expected));
    for (size_t i = 0; i < sales.size(); ++i) {
        EXPECT_EQ(sales[i].cost, y(expected[i].first)) << i;
        EXPECT_EQ(sales[i].profit, expected[i].second) << i;
    }
}

// 2025/12/26 settles on 2025/12/30, the last settlement of 2025; a loss
// sold on 2025/12/30 settles on 2026/01/06, after the year-end closing and
// the weekend, and counts in 2026.
TEST(YearReport, AYearEndSaleCountsInTheYearItSettles) {
    auto p = Portfolio::create();
    trades(*p, 0, "1111", "甲", {rec("2025/01/06", 200, 200000 * yen)},
           {rec("2025/12/30", 100, 80000 * yen), rec("2025/12/26", 100, 130000 * yen)});
    EXPECT_EQ(year_csv(*p, year_report(*p)), crlf({"年,約定日,受渡日,コード,銘柄名,売却株数,売却代金,取得費,損益",
                                                   "2025,2025/12/26,2025/12/30,1111,甲,100,130000,100000,30000",
                                                   "2026,2025/12/30,2026/01/06,1111,甲,100,80000,100000,-20000", "",
                                                   "年,損益合計,繰越控除,控除後損益,繰越損失残高,概算税額",
                                                   "2025,30000,0,30000,0,6094", "2026,-20000,0,-20000,20000,0"}));
}

// 甲 (特定) gains ¥40,000 in 2025 and ¥10,000 in 2026; 乙 loses ¥50,000 in
// 2025. In 一般 the loss offsets the gain and ¥10,000 carries into 2026; in
// a NISA account it counts nowhere.
TEST(YearReport, NisaSalesStandApartAndIppanIsOffsetAgainstTokutei) {
    auto p = Portfolio::create();
    trades(*p, 0, "1111", "甲", {rec("2025/03/03", 200, 200000 * yen)},
           {rec("2025/09/01", 100, 140000 * yen), rec("2026/02/02", 100, 110000 * yen)});
    Stock& b =
        trades(*p, 1, "2222", "乙", {rec("2025/03/03", 100, 300000 * yen)}, {rec("2025/09/01", 100, 250000 * yen)});

    struct Row {
        int64_t profit, deducted, after, left, tax;
    };
    struct Case {
        AccountType account;
        Row y2025, y2026;
        size_t nisa_sales;
    };
    const Case cases[] = {
        {AccountType::ippan, {-10000, 0, -10000, 10000, 0}, {10000, 10000, 0, 0, 0}, 0},
        {AccountType::nisa_growth, {40000, 0, 40000, 0, 8126}, {10000, 0, 10000, 0, 2031}, 1},
        {AccountType::old_nisa, {40000, 0, 40000, 0, 8126}, {10000, 0, 10000, 0, 2031}, 1},
    };
    for (const Case& c : cases) {
        b.account = c.account;
        const YearReport report = year_report(*p);
        ASSERT_EQ(report.years.size(), 2u);
        for (const auto& [f, e] : {std::pair{report.years[0], c.y2025}, std::pair{report.years[1], c.y2026}}) {
            EXPECT_EQ(f.profit, y(e.profit)) << f.year;
            EXPECT_EQ(f.deducted, y(e.deducted)) << f.year;
            EXPECT_EQ(f.after_deduction, y(e.after)) << f.year;
            EXPECT_EQ(f.loss_left, y(e.left)) << f.year;
            EXPECT_EQ(f.tax_estimate, e.tax) << f.year;
        }
        EXPECT_EQ(report.years[0].nisa_sales.size(), c.nisa_sales);
    }
    b.account = AccountType::nisa_growth;
    EXPECT_EQ(
        year_csv(*p, year_report(*p)),
        crlf({"年,約定日,受渡日,コード,銘柄名,売却株数,売却代金,取得費,損益",
              "2025,2025/09/01,2025/09/03,1111,甲,100,140000,100000,40000",
              "2026,2026/02/02,2026/02/04,1111,甲,100,110000,100000,10000", "",
              "年,損益合計,繰越控除,控除後損益,繰越損失残高,概算税額", "2025,40000,0,40000,0,8126",
              "2026,10000,0,10000,0,2031", "", "年,約定日,受渡日,コード,銘柄名,口座,売却株数,売却代金,取得費,損益",
              "2025,2025/09/01,2025/09/03,2222,乙,NISA成長,100,250000,300000,-50000"}));
}

// 2025 loses ¥30,000 against ¥40,000 of dividends withheld ¥8,125: ¥30,000
// of them offset, giving back 8,125 × 3/4 = ¥6,093.75, so ¥6,093. 2026
// loses ¥50,000 against ¥10,000 withheld ¥2,031: all of it comes back.
// 2027 gains and offsets nothing; the NISA dividend counts nowhere.
TEST(YearReport, DividendsOffsetAYearsLossAndTheWithheldTaxComesBack) {
    auto p = Portfolio::create();
    Stock& a = trades(*p, 0, "", "", {rec("2025/01/06", 300, 300000 * yen)},
                      {rec("2025/06/02", 100, 70000 * yen), rec("2026/06/01", 100, 50000 * yen),
                       rec("2027/06/01", 100, 110000 * yen)});
    a.payments = {{"2025/06/20", y(25000), y(5078)},
                  {"2025/12/05", y(15000), y(3047)},
                  {"2026/06/19", y(10000), y(2031)},
                  {"2027/06/18", y(10000), y(2031)},
                  {"2028/06/20", y(10000), y(2031)}};
    p->last_stock = 1;
    p->stocks[1].account = AccountType::nisa_growth;
    p->stocks[1].payments = {{"2025/06/20", y(10000), y(0)}};
    const YearReport report = year_report(*p);
    // 2028, a year of dividends alone, is a year of the report but not of
    // the file's table, which runs from the first sale's year to the last's.
    ASSERT_EQ(report.years.size(), 4u);
    EXPECT_TRUE(year_csv(*p, report).ends_with("\r\n2027,10000,10000,0,70000,0\r\n"));
    struct Row {
        int64_t dividends, withheld, offset, refund;
    };
    const Row expected[] = {{40000, 8125, 30000, 6093}, {10000, 2031, 10000, 2031}, {10000, 2031, 0, 0}};
    for (size_t i = 0; i < 3; ++i) {
        const YearFigures& f = report.years[i];
        EXPECT_EQ(f.dividends, y(expected[i].dividends)) << f.year;
        EXPECT_EQ(f.withheld, y(expected[i].withheld)) << f.year;
        EXPECT_EQ(f.dividend_offset, y(expected[i].offset)) << f.year;
        EXPECT_EQ(f.refund, expected[i].refund) << f.year;
    }
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

TEST(YearReport, TheFileNameCarriesTheDate) { EXPECT_EQ(year_file_name(Date{2003, 8, 31}), "stc_2003_8_31_year.csv"); }

}  // namespace
}  // namespace chomaru
