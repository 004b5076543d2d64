#include "document/document.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "store/numbers.h"

namespace chomaru {
namespace {

std::unique_ptr<Portfolio> one_stock() {
    auto p = Portfolio::create();
    p->fees = FeeTable::defaults();
    Stock& s = p->stocks[0];
    s.stock_code = "7203";
    s.stock_name = "トヨタ自動車";
    s.dividend = 10;
    s.buys[0] = TradeRecord{"2026/01/05", 3000, 100, Currency::from_yen(300000)};
    s.buy_count = 1;
    s.avg_buy_price = 3000;
    s.held_shares = 100;
    // As a data file gives it: seven significant digits, not the quotient.
    s.dividend_yield = 0.003333333f;
    return p;
}

// Each field of a stock, changed alone, is a step of the history, and undo
// puts it back: a field the history compared or kept by hand and forgot
// would be lost here.
TEST(UndoOfEveryField, EachFieldChangedAloneIsAStepThatUndoPutsBack) {
    const std::function<void(StockFigures&)> changes[] = {
        [](StockFigures& f) { f.stock_code = "7267"; },
        [](StockFigures& f) { f.stock_name = "ホンダ"; },
        [](StockFigures& f) { f.dividend = 11; },
        [](StockFigures& f) { f.avg_buy_price = 2999; },
        [](StockFigures& f) { f.held_shares = 99; },
        [](StockFigures& f) { f.realized_profit = Currency::from_units(1); },
        [](StockFigures& f) { f.dividend_yield = 0.003333334f; },
        [](StockFigures& f) { f.account = AccountType::nisa_growth; },
        [](StockFigures& f) {
            f.price = QuotedPrice{Currency::from_yen(3100), "2026/12/07"};
        },
        [](StockFigures& f) {
            f.splits.push_back(Split{"2026/04/01", 1, 2});
        },
        [](StockFigures& f) {
            f.payments.push_back(DividendPayment{"2026/06/20", Currency::from_yen(1000), {}});
        },
    };
    for (size_t i = 0; i < std::size(changes); ++i) {
        SCOPED_TRACE(i);
        auto p = one_stock();
        const StockFigures original = p->stocks[0];
        UndoHistory history;
        PortfolioImage before = history.before(*p);
        changes[i](p->stocks[0]);
        history.record("変更", std::move(before), *p);
        ASSERT_TRUE(history.can_undo());
        ASSERT_TRUE(history.undo(*p));
        EXPECT_TRUE(same_figures(p->stocks[0], original));
    }
}

TEST(UndoOfEveryField, ZeroAndMinusZeroAreDifferentFigures) {
    StockFigures a;
    StockFigures b;
    b.dividend_yield = -0.0f;
    EXPECT_FALSE(same_figures(a, b));
    EXPECT_TRUE(same_figures(a, a));
}

class DocumentChanges : public ::testing::Test {
protected:
    DocumentChanges() {
        document.set_observer([this](Views views) { told |= views; });
    }
    Document document{one_stock()};
    Views told;
};

TEST_F(DocumentChanges, AChangeThatCannotBeAppliedChangesNothingAndTellsNothing) {
    const StockFigures before = document.selected();
    // 100 + 2,147,483,600 shares held do not fit in 32 bits.
    EXPECT_THROW(document.add_buy(TradeRecord{"2026/02/02", 1, 2147483600, Currency::from_yen(1)}), OverflowError);
    EXPECT_EQ(document.selected().buy_count, 1);
    EXPECT_TRUE(same_figures(document.selected(), before));
    EXPECT_FALSE(document.can_undo());
    EXPECT_EQ(told, Views());
}

TEST_F(DocumentChanges, AnEditThatChangesNothingRecordsNoStepAndLeavesTheFiguresBitForBit) {
    const StockFigures before = document.selected();
    document.change_record(TradeSide::buy, 0, document.selected().buys[0], Operation::buy_correction);
    document.set_dividend(10);
    document.set_name("トヨタ自動車");
    EXPECT_FALSE(document.can_undo());
    EXPECT_TRUE(same_figures(document.selected(), before));
}

TEST_F(DocumentChanges, EachChangeIsOneStepNamedByItsOperationAndTheStockItConcerned) {
    document.add_buy(TradeRecord{"2026/02/02", 3100, 100, Currency::from_yen(310000)});
    EXPECT_EQ(document.undo_name(), "買い 7203 トヨタ自動車");
    EXPECT_EQ(told, View::buy_records | View::new_buy_record | View::analysis | View::ratio_table);
    // (300,000 + 310,000) / 200 shares.
    EXPECT_EQ(document.selected().avg_buy_price, 3050);

    document.add_stock("9984", "ソフトバンクグループ株式会社（東証プライム市場）");
    EXPECT_EQ(document.undo_name(), "新銘柄 9984 ソフトバンクグループ株式会社（東");
    document.remove_selected_stock();
    EXPECT_EQ(document.undo_name(), "全記録の削除 9984 ソフトバンクグループ株式会社（東");
    document.set_fees(FeeTable{});
    EXPECT_EQ(document.undo_name(), "手数料設定");

    ASSERT_TRUE(document.undo());
    ASSERT_TRUE(document.undo());
    ASSERT_TRUE(document.undo());
    ASSERT_TRUE(document.undo());
    EXPECT_EQ(document.selected().buy_count, 1);
    EXPECT_EQ(document.selected().avg_buy_price, 3000);
    EXPECT_FALSE(document.can_undo());
}

// A payment date the data file could not read back is refused before
// anything is stored, as is a payment that is not there.
TEST_F(DocumentChanges, APaymentNeedsADateAsTheFileWritesItAndAnIndexInRange) {
    const Currency yen = Currency::from_yen(1000);
    for (const char* date : {"2026/6/20", "2026/02/30", "20260620", "2026/06/20 "})
        EXPECT_THROW(document.add_payment({date, yen, {}}), std::invalid_argument) << date;
    document.add_payment({"2026/06/20", yen, {}});
    EXPECT_THROW(document.change_payment(0, {"昨日", yen, {}}), std::invalid_argument);
    EXPECT_THROW(document.change_payment(1, {"2026/06/20", yen, {}}), std::out_of_range);
    EXPECT_THROW(document.remove_payment(-1), std::out_of_range);
    EXPECT_EQ(document.selected().payments.size(), 1u);
    EXPECT_EQ(document.undo_name(), "配当金の記録 7203 トヨタ自動車");
}

}  // namespace
}  // namespace chomaru
