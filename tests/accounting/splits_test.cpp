#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

#include "accounting/commission.h"
#include "accounting/position.h"
#include "document/document.h"
#include "reports/tax_csv.h"
#include "reports/year_report.h"
#include "store/cp932.h"
#include "store/data_file.h"
#include "store/numbers.h"

namespace chomaru {
namespace {

Currency yen(int64_t v) { return Currency::from_yen(v); }

// Three buys of 100 (800,000 in all) and, on 05/10, a sale of 100 for
// 150,000: shares typed after the split that `splits` may put before it.
std::unique_ptr<Portfolio> three_buys_and_a_sale(std::initializer_list<Split> splits) {
    auto p = Portfolio::create();
    Stock& s = p->stocks[0];
    s.stock_code = "7203";
    s.stock_name = "トヨタ";
    for (const TradeRecord& r :
         {TradeRecord{"2024/01/10", 2500, 100, yen(250000)}, TradeRecord{"2024/02/15", 2800, 100, yen(280000)},
          TradeRecord{"2024/03/20", 2700, 100, yen(270000)}})
        append_record(s.buys, s.buy_count, r);
    append_record(s.sells, s.sell_count, TradeRecord{"2024/05/10", 1500, 100, yen(150000)});
    s.splits = splits;
    return p;
}

// 1,000 shares for 500,000 and, on 11/01, a sale of 100 for 260,000.
std::unique_ptr<Portfolio> a_thousand_shares(std::initializer_list<Split> splits) {
    auto p = Portfolio::create();
    Stock& s = p->stocks[0];
    append_record(s.buys, s.buy_count, TradeRecord{"2024/01/10", 500, 1000, yen(500000)});
    append_record(s.sells, s.sell_count, TradeRecord{"2024/11/01", 2600, 100, yen(260000)});
    s.splits = splits;
    return p;
}

TEST(Splits, HandWorkedPositions) {
    const struct {
        const char* what;
        std::unique_ptr<Portfolio> portfolio;
        int32_t held, average;
        int64_t realized;
        int32_t break_even;
    } cases[] = {
        // 300 held for 800,000 (2,667 each); the sale of 100 costs 266,700.
        {"no split", three_buys_and_a_sale({}), 200, 2667, -116700, 2728},
        // 04/01: 600 held, 800,000 / 600 = 1,333.33; the sale costs 133,300.
        {"1:2 between the buys and the sale", three_buys_and_a_sale({{"2024/04/01", 1, 2}}), 500, 1333, 16700, 1364},
        // After the sale: 200 held for 533,300, 400 at 1,333.25.
        {"1:2 after every record", three_buys_and_a_sale({{"2024/06/01", 1, 2}}), 400, 1333, -116700, 1364},
        {"a split before every record changes nothing", three_buys_and_a_sale({{"2023/12/01", 1, 2}}), 200, 2667,
         -116700, 2728},
        // A split takes effect before the records of its own date.
        {"1:2 on the day of the first buy", three_buys_and_a_sale({{"2024/01/10", 1, 2}}), 200, 2667, -116700, 2728},
        // 1,000 become 200 at 2,500; the sale costs 250,000.
        {"5:1", a_thousand_shares({{"2024/10/01", 5, 1}}), 100, 2500, 10000, 2557},
        {"1:2 then 5:1", a_thousand_shares({{"2024/03/01", 1, 2}, {"2024/10/01", 5, 1}}), 300, 1250, 135000, 1279},
    };
    for (const auto& c : cases) {
        Stock& s = c.portfolio->stocks[0];
        // However often the figures are worked out, a split counts once.
        for (int i = 0; i < 10; ++i) ASSERT_EQ(recompute_figures(s), std::nullopt) << c.what;
        EXPECT_EQ(s.held_shares, c.held) << c.what;
        EXPECT_EQ(s.avg_buy_price, c.average) << c.what;
        EXPECT_EQ(s.realized_profit, yen(c.realized)) << c.what;
        EXPECT_EQ(break_even_price(FeeTable::defaults(), s.avg_buy_price, s.held_shares), c.break_even) << c.what;
    }
}

TEST(Splits, AConsolidationDropsTheFractionOfAShare) {
    auto p = Portfolio::create();
    Stock& s = p->stocks[0];
    append_record(s.buys, s.buy_count, TradeRecord{"2024/01/10", 500, 103, yen(51500)});
    const Split split{"2024/10/01", 5, 1};
    EXPECT_EQ(PositionReplay(s).held_for_split(text_to_date(split.date)), 103);
    EXPECT_EQ(split_fraction(split, 103), 3);  // 20 3/5 shares
    EXPECT_EQ(split_fraction(Split{"2024/10/01", 1, 2}, 103), 0);
    s.splits = {split};
    recompute_figures(s);
    EXPECT_EQ(s.held_shares, 20);
    EXPECT_EQ(s.avg_buy_price, 2575);  // the whole cost over 20 shares
}

// The tax file's running average is the average times the shares: 2,667 ×
// 300 = 800,100 over 600 shares is 1,333.5, to even 1,334.
TEST(Splits, TheTaxFileAndTheYearReportUseTheSplitFiguresAndUndoRestoresTheFile) {
    auto data = three_buys_and_a_sale({});
    recompute_figures(data->stocks[0]);
    Document document(std::move(data));
    const std::string before = format_data_file(document.portfolio());
    const auto tax_lines = [&] { return tax_csv(document.portfolio()).bytes; };
    const auto rows = [](std::initializer_list<const char*> lines) {
        std::string s = utf8_to_cp932(
            "7203,トヨタ\r\n"
            "買い日付,買い単価,買い株数,約定代金,売り日付,売り単価,売り株数,約定代金,"
            "平均単価,所有株数,損益,通算損益\r\n");
        for (const char* l : lines) s += std::string(l) + "\r\n";
        return s + "\r\n";
    };
    const std::string unsplit = rows(
        {"2024/01/10,2500,100,250000,,,,,2500,100,0,0", "2024/02/15,2800,100,280000,,,,,2650,200,0,0",
         "2024/03/20,2700,100,270000,,,,,2667,300,0,0", ",,,,2024/05/10,1500,100,150000,2667,200,-116700,-116700"});
    ASSERT_EQ(tax_lines(), unsplit);

    ASSERT_EQ(document.add_split(Split{"2024/04/01", 1, 2}), std::nullopt);
    EXPECT_EQ(document.undo_name(), "株式分割・併合 7203 トヨタ");
    EXPECT_EQ(document.selected().held_shares, 500);
    EXPECT_EQ(
        tax_lines(),
        rows({"2024/01/10,2500,100,250000,,,,,2500,100,0,0", "2024/02/15,2800,100,280000,,,,,2650,200,0,0",
              "2024/03/20,2700,100,270000,,,,,2667,300,0,0", ",,,,2024/05/10,1500,100,150000,1334,500,16600,16600"}));
    const YearReport report = year_report(document.portfolio());
    ASSERT_EQ(report.years.size(), 1u);
    ASSERT_EQ(report.years[0].sales.size(), 1u);
    const SaleFigures& sale = report.years[0].sales[0];
    EXPECT_EQ(sale.shares, 100);
    EXPECT_EQ(sale.cost, yen(133400));
    EXPECT_EQ(sale.profit, 16600);
    EXPECT_EQ(report.years[0].tax_estimate, 3372);  // 16,600 × 20.315%, down

    ASSERT_TRUE(document.undo());
    EXPECT_EQ(format_data_file(document.portfolio()), before);
    EXPECT_EQ(tax_lines(), unsplit);
    EXPECT_EQ(year_report(document.portfolio()).years[0].sales[0].profit, -116700);
    ASSERT_TRUE(document.redo());
    ASSERT_EQ(document.remove_split(0), std::nullopt);
    EXPECT_EQ(document.undo_name(), "分割・併合の削除 7203 トヨタ");
    EXPECT_EQ(format_data_file(document.portfolio()), before);
}

TEST(Splits, TheDocumentKeepsSplitsInDateOrderAndRefusesWhatCannotBeOne) {
    Document document(a_thousand_shares({}));
    document.add_split(Split{"2024/10/01", 5, 1});
    document.add_split(Split{"2024/03/01", 1, 2});
    document.add_split(Split{"2024/10/01", 1, 3});
    const std::vector<Split> in_order{{"2024/03/01", 1, 2}, {"2024/10/01", 5, 1}, {"2024/10/01", 1, 3}};
    EXPECT_EQ(document.selected().splits, in_order);
    for (const Split& bad :
         {Split{"2024/3/1", 1, 2}, Split{"2024/02/30", 1, 2}, Split{"2024/03/01", 0, 2}, Split{"2024/03/01", 1, 1001}})
        EXPECT_THROW(document.add_split(bad), std::invalid_argument) << bad.date << bad.before << bad.after;
    EXPECT_THROW(document.remove_split(3), std::out_of_range);
    EXPECT_EQ(document.selected().splits, in_order);
    // 1,100 shares held at the end; 1,100 × 1000³ do not fit in 32 bits.
    document.add_split(Split{"2024/12/01", 1, 1000});
    document.add_split(Split{"2024/12/01", 1, 1000});
    EXPECT_EQ(document.selected().held_shares, 1100000000);
    EXPECT_THROW(document.add_split(Split{"2024/12/01", 1, 1000}), OverflowError);
    EXPECT_EQ(document.selected().splits.size(), 5u);
}

TEST(Splits, RatiosAsTyped) {
    const struct {
        const char* text;
        std::optional<std::pair<int32_t, int32_t>> ratio;
    } cases[] = {
        {"1:2", std::pair{1, 2}}, {" 5 : 1 ", std::pair{5, 1}}, {"1000:1", std::pair{1000, 1}}, {"0:2", std::nullopt},
        {"1:1001", std::nullopt}, {"1:2:3", std::nullopt},      {"1.5:3", std::nullopt},        {"-1:2", std::nullopt},
        {"12", std::nullopt},     {"1:", std::nullopt},         {"01:02", std::pair{1, 2}},     {"1 2:3", std::nullopt},
    };
    for (const auto& c : cases) {
        const std::optional<Split> split = split_ratio(c.text);
        ASSERT_EQ(split.has_value(), c.ratio.has_value()) << c.text;
        if (split) {
            EXPECT_EQ(std::pair(split->before, split->after), *c.ratio) << c.text;
        }
    }
    EXPECT_EQ(split_text(Split{"", 1, 2}), "分割 1:2");
    EXPECT_EQ(split_text(Split{"", 5, 1}), "併合 5:1");
}

}  // namespace
}  // namespace chomaru
