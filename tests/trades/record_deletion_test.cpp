#include "trades/record_deletion.h"

#include <QAction>
#include <QComboBox>
#include <algorithm>

#include "support/main_window_fixture.h"

namespace chomaru {
namespace {

class RecordDeletion : public MainWindowTest {
protected:
    // Three purchases of 10, 20 and 30 shares at 100, 200 and 300 yen each.
    void start_with_three_buys() {
        start_with_stock();
        for (int k = 0; k < 3; ++k) {
            const int32_t n = k + 1;
            stock().buys[size_t(k)] =
                TradeRecord{"2026/01/0" + std::to_string(n), 100 * n, 10 * n, Currency::from_yen(1000 * n * n)};
        }
        stock().buy_count = 3;
        refresh();
    }
    void refresh() {
        window->clear_trade_grids();
        window->show_buy_records();
        window->show_sell_records();
        window->show_analysis();
        window->show_ratio_table();
    }
    void delete_buy(const QString& answer) {
        platform.answer(answer);
        window->del_kai_fig->trigger();
    }
    void expect_digits_message() {
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text, "半角数字でお願いします");
        EXPECT_EQ(platform.messages[0].icon, QMessageBox::Critical);
        EXPECT_EQ(platform.messages[0].buttons, QMessageBox::Ok);
        EXPECT_EQ(platform.messages[0].caption, "帳丸");
    }
    // A registered stock with one purchase, to tell the stocks apart.
    void add_stock(int index, const std::string& code, const std::string& name, int32_t price) {
        Stock& s = portfolio->stocks[size_t(index)];
        s = Stock{};
        s.stock_code = code;
        s.stock_name = name;
        s.dividend = price / 100;
        s.buys[0] = TradeRecord{"2026/05/01", price, 100, Currency::from_yen(100 * price)};
        s.buy_count = 1;
        s.held_shares = 100;
        s.avg_buy_price = price;
        portfolio->last_stock = std::max(portfolio->last_stock, index);
    }
};

TEST_F(RecordDeletion, DeletingTheFirstRecordMovesTheOthersUp) {
    start_with_three_buys();
    delete_buy("1");
    ASSERT_EQ(platform.prompts.size(), 1u);
    EXPECT_EQ(platform.prompts[0].caption, "削除する行番号を記入して下さい");
    EXPECT_EQ(platform.prompts[0].message, "例:1");
    EXPECT_EQ(platform.prompts[0].default_text, "1");
    ASSERT_EQ(stock().buy_count, 2);
    EXPECT_EQ(stock().buys[0].date, "2026/01/02");
    EXPECT_EQ(stock().buys[1].date, "2026/01/03");
    EXPECT_EQ(column(window->buy_fig, 1).mid(1, 3), (QStringList{"2026/01/02", "2026/01/03", ""}));
    // 50 shares for 4,000 + 9,000
    EXPECT_EQ(stock().held_shares, 50);
    EXPECT_EQ(stock().avg_buy_price, 260);
    EXPECT_EQ(column(window->anal_fig, 1), (QStringList{"50", "¥260", "¥0", "0.00%"}));
    EXPECT_EQ(window->sample_fig_2->text(4, 1), "¥130");
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(RecordDeletion, DeletingTheLastRecordOnlyLowersTheCount) {
    start_with_three_buys();
    const auto before = stock().buys;
    delete_buy("3");
    EXPECT_EQ(stock().buy_count, 2);
    EXPECT_EQ(stock().buys, before);
    EXPECT_EQ(window->buy_fig->text(3, 1), "");
    EXPECT_EQ(stock().held_shares, 30);
}

TEST_F(RecordDeletion, DeletingTheOnlyRecordLeavesNone) {
    start_with_stock();
    stock().buys[0] = TradeRecord{"2026/01/01", 500, 10, Currency::from_yen(5000)};
    stock().buy_count = 1;
    stock().held_shares = 10;
    stock().avg_buy_price = 500;
    refresh();
    delete_buy("1");
    EXPECT_EQ(stock().buy_count, 0);
    EXPECT_EQ(stock().held_shares, 0);
    EXPECT_EQ(window->buy_fig->text(1, 1), "");
    EXPECT_EQ(window->anal_fig->text(0, 1), "0");
    // No shares held: the average keeps its last value.
    EXPECT_EQ(window->anal_fig->text(1, 1), "¥500");
}

TEST_F(RecordDeletion, ANumberThatNamesNoRecordDeletesNothingSilently) {
    start_with_three_buys();
    for (const QString answer : {"0", "-1", "4", "3.5"}) {  // 3.5 rounds to 4
        SCOPED_TRACE(answer.toStdString());
        delete_buy(answer);
        EXPECT_EQ(stock().buy_count, 3);
        EXPECT_EQ(window->buy_fig->text(3, 1), "2026/01/03");
        EXPECT_TRUE(platform.messages.empty());
    }
}

TEST_F(RecordDeletion, CancelEndsSilentlyAndTextThatIsNotANumberGivesTheMessage) {
    start_with_three_buys();
    platform.cancel();
    window->del_kai_fig->trigger();
    delete_buy("");
    platform.cancel();
    window->del_sel_fig->trigger();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(stock().buy_count, 3);
    for (const QString answer : {"abc", "99999999999"}) {
        SCOPED_TRACE(answer.toStdString());
        platform.messages.clear();
        delete_buy(answer);
        expect_digits_message();
        EXPECT_EQ(stock().buy_count, 3);
    }
}

TEST_F(RecordDeletion, DeletingASaleRecomputesTheProfitOfTheSalesLeft) {
    start_with_three_buys();
    stock().sells[0] = TradeRecord{"2026/02/01", 300, 10, Currency::from_yen(3000)};
    stock().sells[1] = TradeRecord{"2026/02/02", 300, 10, Currency::from_yen(3000)};
    stock().sell_count = 2;
    stock().realized_profit = Currency::from_yen(1000);
    refresh();
    platform.answer("1");
    window->del_sel_fig->trigger();
    ASSERT_EQ(stock().sell_count, 1);
    EXPECT_EQ(stock().sells[0].date, "2026/02/02");
    EXPECT_EQ(window->sell_fig->text(1, 1), "2026/02/02");
    EXPECT_EQ(window->sell_fig->text(2, 1), "");
    // The buys give 60 shares for 14,000, an average of 233.3 → 233; the sale
    // left brings 3,000 - 2,330.
    EXPECT_EQ(stock().realized_profit, Currency::from_yen(670));
    EXPECT_EQ(stock().held_shares, 50);
    EXPECT_EQ(stock().avg_buy_price, 233);

    platform.answer("1");
    window->del_sel_fig->trigger();
    EXPECT_EQ(stock().sell_count, 0);
    EXPECT_EQ(stock().realized_profit, Currency());
    EXPECT_EQ(window->anal_fig->text(2, 1), "¥0");
}

TEST_F(RecordDeletion, DeletingTheSelectedStockAmongThree) {
    start_with_stock();
    add_stock(0, "1111", "A", 100);
    add_stock(1, "2222", "B", 200);
    add_stock(2, "3333", "C", 300);
    for (int k = 0; k < 20; ++k) portfolio->stocks[2].sells[size_t(k)] = TradeRecord{"2026/06/01", 1, 1, Currency()};
    portfolio->stocks[2].sell_count = 20;
    portfolio->current_stock = 1;
    refresh();
    window->fill_stock_combo();

    platform.press(QMessageBox::Yes);
    window->del_all_data->trigger();
    EXPECT_TRUE(platform.prompts.empty());
    EXPECT_EQ(portfolio->last_stock, 1);
    EXPECT_EQ(portfolio->current_stock, 0);
    const Stock& c = portfolio->stocks[1];
    EXPECT_EQ(c.stock_code, "3333");
    EXPECT_EQ(c.stock_name, "C");
    EXPECT_EQ(c.dividend, 3);
    EXPECT_EQ(c.avg_buy_price, 300);
    EXPECT_EQ(c.buy_count, 1);
    EXPECT_EQ(c.buys[0].price, 300);
    EXPECT_EQ(c.sell_count, 20);
    ASSERT_EQ(window->Combo1->count(), 2);
    EXPECT_EQ(window->Combo1->itemText(0), "A");
    EXPECT_EQ(window->Combo1->itemText(1), "C");
    EXPECT_EQ(column(window->infor_fig, 1), (QStringList{"1111", "A", "1"}));
    EXPECT_EQ(window->buy_fig->text(1, 2), "¥100");
    EXPECT_EQ(window->anal_fig->text(1, 1), "¥100");
    EXPECT_EQ(window->sample_fig_1->text(0, 1), "¥200");
}

TEST_F(RecordDeletion, DeletingTheLastStockInTheListOnlyDropsIt) {
    start_with_stock();
    add_stock(0, "1111", "A", 100);
    add_stock(1, "2222", "B", 200);
    portfolio->current_stock = 1;
    platform.press(QMessageBox::Yes);
    window->del_all_data->trigger();
    EXPECT_EQ(portfolio->last_stock, 0);
    EXPECT_EQ(portfolio->current_stock, 0);
    EXPECT_EQ(portfolio->stocks[0].stock_name, "A");
    EXPECT_EQ(window->Combo1->count(), 1);
}

TEST_F(RecordDeletion, DeletingTheOnlyStockLeavesOneBlankStock) {
    start_with_stock();
    add_stock(0, "1111", "A", 100);
    stock().sells[0] = TradeRecord{"2026/02/01", 300, 10, Currency::from_yen(3000)};
    stock().sell_count = 1;
    refresh();
    window->fill_stock_combo();
    platform.press(QMessageBox::Yes);
    window->del_all_data->trigger();
    EXPECT_EQ(portfolio->last_stock, 0);
    EXPECT_EQ(stock().stock_code, "");
    EXPECT_EQ(stock().buy_count, 0);
    EXPECT_EQ(stock().sell_count, 0);
    EXPECT_EQ(stock().avg_buy_price, 0);
    EXPECT_EQ(column(window->infor_fig, 1), (QStringList{"", "", "0"}));
    EXPECT_EQ(column(window->anal_fig, 1), (QStringList{"0", "¥0", "¥0", "0.00%"}));
    EXPECT_EQ(window->buy_fig->text(1, 1), "");
    EXPECT_EQ(window->sell_fig->text(1, 1), "");
    ASSERT_EQ(window->Combo1->count(), 1);
    EXPECT_EQ(window->Combo1->itemText(0), "（名称なし）");
}

}  // namespace
}  // namespace chomaru
