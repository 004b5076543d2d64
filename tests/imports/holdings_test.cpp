#include "imports/holdings.h"

#include <gtest/gtest.h>

#include "imports/csv_text.h"
#include "store/cp932.h"
#include "support/test_data.h"

namespace chomaru {
namespace {

constexpr Date file_date{2026, 12, 8};

// An SBI portfolio in code page 932: 特定 with two stocks and a price that
// does not read, NISA成長 in the variant with 参考単価 and one stock in two
// lots, an account not known, and a fund section that is no stock table.
std::string sbi_portfolio() {
    return utf8_to_cp932(
        "ポートフォリオ一覧\r\n"
        "\"選択ポートフォリオ\",\"ポートフォリオ1\"\r\n"
        "\r\n"
        "\"株式（現物/特定預り）\"\r\n"
        "\"銘柄（コード）\",\"買付日\",\"数量\",\"取得単価\",\"現在値\",\"前日比\",\"前日比（％）\",\"損益\","
        "\"損益（％）\","
        "\"評価額\"\r\n"
        "\"7203 トヨタ自動車\",\"----/--/--\",\"100\",\"2,850\",\"2,901.5\",\"+12.5\",\"+0.43\",\"+5,150\",\"+1.81\","
        "\"290,150\"\r\n"
        "\"9999 架空商事\",\"----/--/--\",\"300\",\"500\",\"480\",\"-2\",\"-0.41\",\"-6,000\",\"-4.00\",\"144,000\"\r\n"
        "\"1301 極洋\",\"----/--/--\",\"100\",\"3,000\",\"-\",\"-\",\"-\",\"-\",\"-\",\"-\"\r\n"
        "\"株式（現物/特定預り）合計\",,,,,,,,,\"434,150\"\r\n"
        "\r\n"
        "\"株式（現物/NISA預り（成長投資枠））\"\r\n"
        "\"銘柄（コード）\",\"買付日\",\"数量\",\"参考単価\",\"取得単価\",\"現在値\",\"前日比\",\"前日比（％）\","
        "\"損益\","
        "\"損益（％）\",\"評価額\"\r\n"
        "\"8306 "
        "三菱ＵＦＪフィナンシャル・グループ\",\"2025/02/14\",\"100\",\"1,780\",\"1,780\",\"2,230\",\"-8\",\"-0.36\","
        "\"+45,000\",\"+25.28\",\"223,000\"\r\n"
        "\"8306 "
        "三菱ＵＦＪフィナンシャル・グループ\",\"2025/03/14\",\"50\",\"1,800\",\"1,800\",\"2,230\",\"-8\",\"-0.36\","
        "\"+21,500\",\"+23.89\",\"111,500\"\r\n"
        "\r\n"
        "\"株式（現物/外国預り）\"\r\n"
        "\"銘柄（コード）\",\"買付日\",\"数量\",\"取得単価\",\"現在値\"\r\n"
        "\"7203 トヨタ自動車\",\"----/--/--\",\"100\",\"2,850\",\"2,901.5\"\r\n"
        "\r\n"
        "\"投資信託（金額/NISA預り（つみたて投資枠））\"\r\n"
        "\"ファンド名\",\"買付日\",\"数量\",\"取得単価\",\"現在値\"\r\n"
        "\"eMAXIS Slim 全世界株式\",\"----/--/--\",\"120,000\",\"25,000\",\"31,250\"\r\n");
}

// 7203 in 特定 holding 100 and 8306 in NISA成長 holding 200.
std::unique_ptr<Portfolio> two_stocks() {
    auto p = Portfolio::create();
    p->last_stock = 1;
    p->stocks[0].stock_code = "7203";
    p->stocks[0].held_shares = 100;
    p->stocks[1].stock_code = "8306";
    p->stocks[1].account = AccountType::nisa_growth;
    p->stocks[1].held_shares = 200;
    return p;
}

TEST(Holdings, SbiSectionsGiveTheAccountAndTheFirstCellTheCodeAndName) {
    const Holdings h = read_holdings(sbi_portfolio(), file_date);
    EXPECT_EQ(h.format, "SBI証券 ポートフォリオ");
    EXPECT_EQ(h.encoding, "Shift_JIS");
    ASSERT_EQ(h.rows.size(), 6u);
    const HoldingRow& toyota = h.rows[0];
    EXPECT_EQ(toyota.status, RowStatus::trade);
    EXPECT_EQ(toyota.line, 6u);
    EXPECT_EQ(toyota.code, "7203");
    EXPECT_EQ(toyota.name, "トヨタ自動車");
    EXPECT_EQ(toyota.account, AccountType::tokutei);
    EXPECT_EQ(toyota.shares, 100);
    EXPECT_EQ(toyota.price, Currency::from_units(29015000));
    EXPECT_EQ(toyota.price_date, file_date);
    EXPECT_EQ(h.rows[2].status, RowStatus::unreadable);
    EXPECT_EQ(h.rows[2].reason, "現在値が読めません: -");
    EXPECT_EQ(h.rows[3].line, 13u);
    EXPECT_EQ(h.rows[3].account, AccountType::nisa_growth);
    EXPECT_EQ(h.rows[3].price, Currency::from_yen(2230));
    EXPECT_EQ(h.rows[4].shares, 50);
    EXPECT_EQ(h.rows[5].status, RowStatus::not_trade);
    EXPECT_EQ(h.rows[5].reason, "口座区分が不明: 株式（現物/外国預り）");

    const PricePlan plan = plan_prices(*two_stocks(), h);
    const int32_t entries[] = {0, -1, -1, 1, 1, -1};
    for (size_t r = 0; r < 6; ++r) EXPECT_EQ(plan.rows[r].entry, entries[r]) << r;
    EXPECT_EQ(plan.matched, 3);
    EXPECT_EQ(plan.unmatched, 1);
    EXPECT_EQ(plan.unreadable, 1);
    EXPECT_EQ(plan.not_stocks, 1);
    EXPECT_FALSE(plan.rows[0].shares_differ);
    // The two lots of 8306 hold 150 between them; the entry holds 200.
    EXPECT_EQ(plan.rows[4].file_shares, 150);
    EXPECT_EQ(plan.rows[4].held_shares, 200);
    EXPECT_TRUE(plan.rows[4].shares_differ);
    ASSERT_EQ(plan.prices.size(), 2u);
    EXPECT_EQ(plan.prices[0].entry, 0);
    EXPECT_EQ(plan.prices[0].price, Currency::from_units(29015000));
    EXPECT_EQ(plan.prices[1].entry, 1);
    EXPECT_EQ(plan.prices[1].price, Currency::from_yen(2230));
}

TEST(Holdings, RakutenTakesDomesticStocksWithTheirPriceDates) {
    const Holdings h = read_holdings(read_golden("rakuten_assetbalance.csv"), file_date);
    EXPECT_EQ(h.format, "楽天証券 保有商品一覧");
    EXPECT_EQ(h.encoding, "Shift_JIS");
    ASSERT_EQ(h.rows.size(), 3u);
    EXPECT_EQ(h.rows[0].line, 5u);
    EXPECT_EQ(h.rows[0].code, "7203");
    EXPECT_EQ(h.rows[0].price, Currency::from_units(29015000));
    EXPECT_EQ(h.rows[0].price_date, (Date{2026, 12, 7}));
    EXPECT_EQ(h.rows[1].account, AccountType::nisa_growth);
    EXPECT_EQ(h.rows[1].name, "三菱ＵＦＪフィナンシャル・グループ");
    EXPECT_EQ(h.rows[2].status, RowStatus::not_trade);
    EXPECT_EQ(h.rows[2].reason, "投資信託");

    auto p = two_stocks();
    p->stocks[1].held_shares = 100;
    p->stocks[0].account = AccountType::ippan;  // 7203 in another account: 一致なし
    const PricePlan plan = plan_prices(*p, h);
    EXPECT_EQ(plan.rows[0].entry, -1);
    EXPECT_EQ(plan.rows[1].entry, 1);
    EXPECT_FALSE(plan.rows[1].shares_differ);
    EXPECT_EQ(plan.prices.size(), 1u);
}

TEST(Holdings, OtherBracketsAndAnUnknownAccountInRakuten) {
    const Holdings h = read_holdings(
        "■ 保有商品詳細 (すべて）\n"
        "種別,銘柄コード・ティッカー,銘柄,口座,保有数量,【単位】,平均取得価額,【単位】,現在値,【単位】,現在値(更新日),"
        "(参考為替),前日比,【単位】,時価評価額【円】,時価評価額【外貨】,評価損益【円】,評価損益【％】\n"
        "国内株式,9432,ＮＴＴ,旧NISA,\"1,000\",株,150,円,\"152.3\",円,-,-,0,円,\"152,300\",-,\"2,300\",1.53\n"
        "国内株式,9433,ＫＤＤＩ,法人,100,株,4000,円,4500,円,2026/12/07,-,0,円,\"450,000\",-,\"50,000\",12.5\n",
        file_date);
    ASSERT_EQ(h.rows.size(), 2u);
    EXPECT_EQ(h.rows[0].account, AccountType::old_nisa);
    EXPECT_EQ(h.rows[0].shares, 1000);
    EXPECT_EQ(h.rows[0].price_date, file_date);
    EXPECT_EQ(h.rows[1].reason, "口座区分が不明: 法人");
}

TEST(Holdings, WithoutAHeaderTheFileIsRefused) {
    try {
        read_holdings(read_golden("sbi_yakujo.csv"), file_date);
        ADD_FAILURE() << "read";
    } catch (const ImportError& e) {
        EXPECT_STREQ(e.what(), "保有一覧の見出し行が見つかりません（銘柄コード・口座・保有数量・現在値）");
    }
}

TEST(ImportFile, TheKindOfAFileIsToldByItsHeader) {
    EXPECT_EQ(classify_import_file(read_golden("sbi_yakujo.csv")), ImportFileKind::trade_history);
    EXPECT_EQ(classify_import_file(read_golden("rakuten_tradehistory.csv")), ImportFileKind::trade_history);
    EXPECT_EQ(classify_import_file(read_golden("rakuten_assetbalance.csv")), ImportFileKind::holdings);
    EXPECT_EQ(classify_import_file(sbi_portfolio()), ImportFileKind::holdings);
    EXPECT_EQ(classify_import_file(read_golden("example_35.txt")), ImportFileKind::neither);
    EXPECT_EQ(classify_import_file(std::string_view("\x89PNG\r\n\x1A\n\0\0", 10)), ImportFileKind::neither);
}

}  // namespace
}  // namespace chomaru
