#include "imports/import_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <tuple>

#include "imports/csv_text.h"
#include "imports/entry_match.h"
#include "support/test_data.h"

namespace chomaru {
namespace {

constexpr const char* header = "約定日,銘柄コード,銘柄名,売買,数量,単価,受渡金額,口座";

// A generic file of the given rows after its header.
TradeHistory history(std::initializer_list<std::string_view> rows) {
    std::string text = std::string(header) + "\r\n";
    for (const std::string_view row : rows) (text += row) += "\r\n";
    return read_trade_history(text);
}

// One stock, 7203 トヨタ in 特定, without records.
std::unique_ptr<Portfolio> toyota() {
    auto p = Portfolio::create();
    p->stocks[0].stock_code = "7203";
    p->stocks[0].stock_name = "トヨタ";
    return p;
}

void add(RecordTable& table, int32_t& count, const char* date, int32_t price, int32_t shares, int64_t yen) {
    table[size_t(count++)] = TradeRecord{date, price, shares, Currency::from_yen(yen)};
}

std::vector<PlanStatus> statuses(const ImportPlan& plan) {
    std::vector<PlanStatus> s;
    for (const PlannedRow& r : plan.rows) s.push_back(r.status);
    return s;
}

TEST(ImportPlan, TheSbiSampleGoesToItsEntriesAndAgainAddsNothing) {
    auto p = toyota();
    const TradeHistory h = read_trade_history(read_golden("sbi_yakujo.csv"));
    const ImportPlan plan = plan_import(*p, h);
    EXPECT_EQ(plan.counts.to_import, 7);
    EXPECT_EQ(plan.counts.not_trades, 1);
    // New entries in the order applied: ひまわり工業 (January), then 三菱ＵＦＪ in NISA成長.
    ASSERT_EQ(plan.new_entries.size(), 2u);
    EXPECT_EQ(plan.new_entries[0].code, "6622");
    EXPECT_EQ(plan.new_entries[0].name, "ひまわり工業");
    EXPECT_EQ(plan.new_entries[1].account, AccountType::nisa_growth);
    const int32_t entries[] = {1, 2, 0, 0, 0, -1, 2, 1};
    for (size_t r = 0; r < plan.rows.size(); ++r) EXPECT_EQ(plan.rows[r].entry, entries[r]) << r;

    EXPECT_EQ(apply_import(*p, plan), (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(p->last_stock, 2);
    const Stock& himawari = p->stocks[1];
    EXPECT_EQ(himawari.stock_code, "6622");
    EXPECT_EQ(himawari.dividend, 0);
    EXPECT_EQ(himawari.account, AccountType::tokutei);
    EXPECT_EQ(himawari.buy_count, 1);
    EXPECT_EQ(himawari.sells[0], (TradeRecord{"2025/12/30", 24100, 100, Currency::from_yen(2409000)}));
    EXPECT_EQ(p->stocks[0].buy_count, 2);
    EXPECT_EQ(p->stocks[0].sell_count, 1);
    EXPECT_EQ(p->stocks[2].stock_name, "三菱ＵＦＪフィナンシャル・グループ");
    EXPECT_EQ(p->stocks[2].account, AccountType::nisa_growth);
    EXPECT_EQ(p->stocks[0].held_shares, 0);  // figures are the caller's to recompute

    const ImportPlan again = plan_import(*p, h);
    EXPECT_EQ(again.counts.to_import, 0);
    EXPECT_EQ(again.counts.duplicates, 7);
    EXPECT_TRUE(again.new_entries.empty());
    EXPECT_EQ(again.rows[2].entry, 0);
    EXPECT_EQ(apply_import(*p, again), std::vector<int32_t>{});
    EXPECT_EQ(p->stocks[0].buy_count, 2);
}

TEST(ImportPlan, OverlappingRangesAddEachTradeOnce) {
    auto p = toyota();
    add(p->stocks[0].buys, p->stocks[0].buy_count, "2025/3/3", 2850, 100, 285000);  // typed without zeros
    // Two equal trades on one day, the first already stored; and the code
    // stored with blanks still matches.
    p->stocks[0].stock_code = " 7203 ";
    const ImportPlan plan = plan_import(*p, history({
                                                "2025/03/03,7203,トヨタ,買,100,2850,285000,特定",
                                                "2025/03/03,7203,トヨタ,買,100,2850,285000,特定",
                                                "2025/03/03,7203,トヨタ,買,100,2850,285000,NISA(成)",
                                                "2025/03/04,7203,トヨタ,買,100,2850,285001,特定",
                                            }));
    EXPECT_EQ(statuses(plan), (std::vector<PlanStatus>{PlanStatus::duplicate, PlanStatus::import, PlanStatus::import,
                                                       PlanStatus::import}));
    EXPECT_EQ(plan.rows[2].entry, 1);  // the same code in another account is another entry
    apply_import(*p, plan);
    const ImportPlan later = plan_import(*p, history({
                                                 "2025/03/04,7203,トヨタ,買,100,2850,285001,特定",
                                                 "2025/03/05,7203,トヨタ,売,100,2900,290000,特定",
                                             }));
    EXPECT_EQ(statuses(later), (std::vector<PlanStatus>{PlanStatus::duplicate, PlanStatus::import}));
}

// Rows outside the dates an entry holds are no duplicates without a
// search; those on its first and last dates still are.
TEST(ImportPlan, DuplicatesOnTheFirstAndLastDatesHeldAreFound) {
    auto p = toyota();
    add(p->stocks[0].buys, p->stocks[0].buy_count, "2025/03/10", 2850, 100, 285000);
    add(p->stocks[0].buys, p->stocks[0].buy_count, "2025/03/03", 2850, 100, 285000);
    const ImportPlan plan = plan_import(*p, history({
                                                "2025/03/02,7203,トヨタ,買,100,2850,285000,特定",
                                                "2025/03/03,7203,トヨタ,買,100,2850,285000,特定",
                                                "2025/03/10,7203,トヨタ,買,100,2850,285000,特定",
                                                "2025/03/11,7203,トヨタ,買,100,2850,285000,特定",
                                                "2025/03/10,7203,トヨタ,買,100,2850,285000,特定",
                                            }));
    EXPECT_EQ(statuses(plan), (std::vector<PlanStatus>{PlanStatus::import, PlanStatus::duplicate, PlanStatus::duplicate,
                                                       PlanStatus::import, PlanStatus::import}));
}

TEST(ImportPlan, TradesAreAppliedByDateFileOrderOnADateAndBuysBeforeSells) {
    auto p = toyota();
    add(p->stocks[0].buys, p->stocks[0].buy_count, "2024/12/01", 2000, 100, 200000);
    const ImportPlan plan = plan_import(*p, history({
                                                "2025/03/05,7203,トヨタ,売,50,3000,150000,特定",
                                                "2025/03/01,7203,トヨタ,買,10,2901,29010,特定",
                                                "2025/03/05,7203,トヨタ,買,10,2905,29050,特定",
                                                "2025/03/01,7203,トヨタ,買,10,2902,29020,特定",
                                                "2025/05/01,1111,乙,買,10,100,1000,特定",
                                                "2025/01/01,2222,甲,買,10,100,1000,特定",
                                            }));
    std::vector<size_t> order;
    for (const PlannedTrade& t : plan.trades) order.push_back(t.row);
    EXPECT_EQ(order, (std::vector<size_t>{5, 1, 3, 2, 0, 4}));
    apply_import(*p, plan);
    const Stock& s = p->stocks[0];
    ASSERT_EQ(s.buy_count, 4);
    EXPECT_EQ(s.buys[1].price, 2901);
    EXPECT_EQ(s.buys[2].price, 2902);
    EXPECT_EQ(s.buys[3].price, 2905);
    EXPECT_EQ(s.sells[0].date, "2025/03/05");
    EXPECT_EQ(p->stocks[1].stock_name, "甲");
    EXPECT_EQ(p->stocks[2].stock_name, "乙");
}

// Newest first, as brokers often list them, across decades, months and
// days, with buys and sales mixed: the plan takes them oldest first, buys
// before sales on one date, the file's order among equals, and replays
// each entry's sales against what it then holds.
TEST(ImportPlan, ALongFileInAnyOrderIsAppliedByDateAndSide) {
    auto p = toyota();
    std::vector<std::string> lines;
    uint32_t seed = 12345;
    const auto next = [&seed](uint32_t n) { return (seed = seed * 1103515245 + 12345) / 65536 % n; };
    for (int i = 0; i < 200; ++i) {
        const uint32_t year = 1999 + next(30), month = 1 + next(12), day = 1 + next(28);
        const bool buy = next(3) != 0;
        char line[96];
        std::snprintf(line, sizeof line, "%u/%02u/%02u,%s,名,%s,%d,100,%d,特定", year, month, day,
                      next(2) ? "7203" : "8306", buy ? "買" : "売", 1 + i, 100 * (1 + i));
        lines.push_back(line);
    }
    std::string text = std::string(header) + "\n";
    for (const std::string& line : lines) text += line + "\n";
    const TradeHistory h = read_trade_history(text);
    const ImportPlan plan = plan_import(*p, h);

    std::vector<size_t> expected(h.rows.size());
    for (size_t r = 0; r < expected.size(); ++r) expected[r] = r;
    std::stable_sort(expected.begin(), expected.end(), [&h](size_t a, size_t b) {
        return std::tuple(*h.rows[a].date, h.rows[a].side) < std::tuple(*h.rows[b].date, h.rows[b].side);
    });
    std::vector<size_t> order;
    for (const PlannedTrade& t : plan.trades) order.push_back(t.row);
    EXPECT_EQ(order, expected);

    std::map<std::string, int64_t> held;
    for (const size_t r : expected) {
        const TradeRow& row = h.rows[r];
        int64_t& shares = held[row.code];
        EXPECT_EQ(plan.rows[r].oversold, row.side == TradeSide::sell && shares < row.shares) << r;
        shares += row.side == TradeSide::buy ? row.shares : -row.shares;
    }
}

TEST(ImportPlan, The257thRecordOrStockIsOverCapacity) {
    auto p = toyota();
    for (int i = 0; i < 255; ++i) add(p->stocks[0].buys, p->stocks[0].buy_count, "2020/01/01", 1, 1, 1);
    p->last_stock = 254;  // 255 stocks, the others without code
    const ImportPlan plan = plan_import(*p, history({
                                                "2025/01/02,7203,トヨタ,買,1,1,1,特定",
                                                "2025/01/01,7203,トヨタ,買,1,1,2,特定",
                                                "2025/01/03,7203,トヨタ,売,1,1,1,特定",
                                                "2025/01/01,1111,甲,買,1,1,1,特定",
                                                "2025/01/02,2222,乙,買,1,1,1,特定",
                                                "2025/01/03,1111,甲,売,1,1,1,特定",
                                            }));
    EXPECT_EQ(statuses(plan),
              (std::vector<PlanStatus>{PlanStatus::over_capacity, PlanStatus::import, PlanStatus::import,
                                       PlanStatus::import, PlanStatus::over_capacity, PlanStatus::import}));
    EXPECT_EQ(plan.rows[4].entry, -1);
    EXPECT_EQ(plan.counts.over_capacity, 2);
    EXPECT_EQ(plan_status_text(plan.rows[4], TradeRow()), "上限超過");
    EXPECT_EQ(apply_import(*p, plan), (std::vector<int32_t>{0, 255}));
    EXPECT_EQ(p->stocks[0].buy_count, 256);
    EXPECT_EQ(p->stocks[0].buys[255].amount, Currency::from_yen(2));
    EXPECT_EQ(p->stock_count(), 256);
}

TEST(ImportPlan, ASaleLargerThanTheEntryThenHoldsIsImportedWithAWarning) {
    auto p = toyota();
    add(p->stocks[0].buys, p->stocks[0].buy_count, "2025/01/10", 1000, 100, 100000);
    add(p->stocks[0].sells, p->stocks[0].sell_count, "2025/01/20", 1100, 50, 55000);
    const TradeHistory h = history({
        "2025/01/05,7203,トヨタ,売,10,1000,10000,特定",  // before the stored buy: -10
        "2025/02/01,7203,トヨタ,売,50,1000,50000,特定",  // -10 + 100 - 50 + 30 = 70 held
        "2025/02/01,7203,トヨタ,買,30,1000,30000,特定",  // bought the same day: before the sale
        "2025/02/02,7203,トヨタ,売,31,1000,,特定",       // 20 left
    });
    ASSERT_EQ(h.rows[3].status, RowStatus::trade);
    const ImportPlan plan = plan_import(*p, h);
    EXPECT_EQ(statuses(plan), std::vector<PlanStatus>(4, PlanStatus::import));
    const bool oversold[] = {true, false, false, true};
    for (size_t r = 0; r < 4; ++r) EXPECT_EQ(plan.rows[r].oversold, oversold[r]) << r;
    EXPECT_EQ(plan.counts.oversold, 2);
    EXPECT_EQ(plan.counts.computed, 1);
    EXPECT_EQ(plan_status_text(plan.rows[0], h.rows[0]), "保有超過");
    EXPECT_EQ(plan_status_text(plan.rows[3], h.rows[3]), "計算・保有超過");
}

TEST(ImportPlan, APlanThatNoLongerFitsChangesNothing) {
    auto p = toyota();
    const ImportPlan plan = plan_import(*p, history({
                                                "2025/01/05,7203,トヨタ,買,10,1000,10000,特定",
                                                "2025/01/05,9999,新,買,10,1000,10000,特定",
                                            }));
    add(p->stocks[0].buys, p->stocks[0].buy_count, "2025/01/10", 1000, 100, 100000);
    const auto before = std::make_unique<Portfolio>(*p);
    EXPECT_THROW(apply_import(*p, plan), ImportError);
    EXPECT_EQ(p->last_stock, 0);
    EXPECT_EQ(p->stocks[0].buys, before->stocks[0].buys);
    EXPECT_EQ(p->stocks[0].buy_count, 1);

    // Made on a portfolio with another stock count.
    const ImportPlan other = plan_import(*p, history({"2025/01/05,9999,新,買,10,1000,10000,特定"}));
    p->last_stock = 1;
    EXPECT_THROW(apply_import(*p, other), ImportError);
    EXPECT_EQ(p->stocks[2].stock_code, "");
}

TEST(ImportPlan, RowsThatAreNotTradesOrDoNotReadStayOut) {
    auto p = toyota();
    const TradeHistory h = history({
        "2025/01/05,7203,トヨタ,入庫,10,1000,10000,特定",
        "2025/01/05,7203,トヨタ,買,10,1000,10000,外国",
        "2025/01/32,7203,トヨタ,買,10,1000,10000,特定",
    });
    const ImportPlan plan = plan_import(*p, h);
    EXPECT_EQ(plan.counts.not_trades, 2);
    EXPECT_EQ(plan.counts.unreadable, 1);
    EXPECT_TRUE(plan.trades.empty());
    EXPECT_EQ(plan_status_text(plan.rows[1], h.rows[1]), "対象外：口座区分が不明: 外国");
    EXPECT_EQ(plan_status_text(plan.rows[2], h.rows[2]), "読めません：約定日が読めません: 2025/01/32");
}

}  // namespace
}  // namespace chomaru

namespace chomaru {
namespace {

// Codes of every length from none to long, each in two accounts, far more
// than a portfolio holds: each is found again, blanks at its ends ignored,
// and nothing else is.
TEST(EntryMatch, FindsEachCodeAndAccountAmongMany) {
    auto p = Portfolio::create();
    p->stocks[0].stock_code = " 7203 ";
    p->stocks[1].stock_code = "7777";
    p->last_stock = 1;
    EntryMatch match(*p);
    std::vector<std::string> codes;
    for (int i = 0; i < 3000; ++i) codes.push_back(std::string(size_t(i % 13), 'A') + std::to_string(i));
    for (size_t i = 0; i < codes.size(); ++i) {
        match.add(codes[i], AccountType::nisa_growth, int32_t(2 * i + 1));
        match.add(codes[i], AccountType::ippan, int32_t(2 * i + 2));
        match.add(codes[i], AccountType::ippan, -7);  // the first entry stays
    }
    for (size_t i = 0; i < codes.size(); ++i) {
        ASSERT_EQ(match.find(codes[i], AccountType::nisa_growth), int32_t(2 * i + 1)) << codes[i];
        ASSERT_EQ(match.find("\u3000" + codes[i] + " ", AccountType::ippan), int32_t(2 * i + 2)) << codes[i];
        ASSERT_EQ(match.find(codes[i], AccountType::tokutei), -1) << codes[i];
    }
    EXPECT_EQ(match.find("7203", AccountType::tokutei), 0);
    EXPECT_EQ(match.find("720", AccountType::tokutei), -1);
    EXPECT_EQ(match.find("72033", AccountType::tokutei), -1);
    EXPECT_EQ(match.find("7777", AccountType::tokutei), 1);
    EXPECT_EQ(match.find("77777", AccountType::tokutei), -1);
    EXPECT_EQ(match.find("", AccountType::tokutei), -1);
}

}  // namespace
}  // namespace chomaru
