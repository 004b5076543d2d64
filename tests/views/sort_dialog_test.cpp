#include "views/sort_dialog.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include "support/main_window_fixture.h"

namespace chomaru {
namespace {

QStringList items(const QListWidget* list) {
    QStringList t;
    for (int r = 0; r < list->count(); ++r) t << list->item(r)->text();
    return t;
}

class StockOrdering : public MainWindowTest {
protected:
    // Stocks A, B and C, each with records and figures of its own; B selected.
    void start_with_three_stocks() {
        start_with_stock(QStringLiteral("1000"), QStringLiteral("A"));
        portfolio->last_stock = 2;
        const char* names[] = {"A", "B", "C"};
        for (int i = 0; i < 3; ++i) {
            Stock& s = portfolio->stocks[size_t(i)];
            s.stock_code = std::to_string(1000 + i);
            s.stock_name = names[i];
            s.dividend = i + 1;
            s.held_shares = 100 * (i + 1);
            s.avg_buy_price = 10 * (i + 1);
            s.realized_profit = Currency::from_yen(7 * (i + 1));
            s.dividend_yield = 0.01f * float(i + 1);
            s.buy_count = i + 1;
            for (int k = 0; k <= i; ++k)
                s.buys[size_t(k)] = TradeRecord{std::string("2024/0") + char('1' + i) + "/1" + char('0' + k),
                                                10 * (i + 1), 100, Currency::from_yen(1000 * (i + 1))};
            s.sell_count = 1;
            s.sells[0] = TradeRecord{"2024/09/09", 99, i + 1, Currency::from_yen(99 * (i + 1))};
        }
        portfolio->current_stock = 1;
        original = Portfolio::create();
        *original = *portfolio;
    }

    void open(const std::function<void(SortDialog&)>& action) {
        platform.on_dialog([action](QDialog& d) { action(dynamic_cast<SortDialog&>(d)); });
        window->m_sort->trigger();
        ASSERT_EQ(platform.dialogs.back(), "Form_sort");
    }

    static void place(SortDialog& d, int row) {
        d.base_list->setCurrentRow(row);
        d.k_sort->click();
    }

    void expect_order(std::initializer_list<int> from) {
        int to = 0;
        for (int i : from) {
            const Stock& s = portfolio->stocks[size_t(to)];
            const Stock& was = original->stocks[size_t(i)];
            EXPECT_EQ(s.stock_name, was.stock_name) << to;
            EXPECT_EQ(s.buy_count, was.buy_count) << to;
            EXPECT_EQ(s.buys, was.buys) << to;
            EXPECT_EQ(s.sells, was.sells) << to;
            EXPECT_EQ(s.held_shares, was.held_shares) << to;
            EXPECT_EQ(s.avg_buy_price, was.avg_buy_price) << to;
            EXPECT_EQ(s.realized_profit, was.realized_profit) << to;
            EXPECT_EQ(s.dividend_yield, was.dividend_yield) << to;
            ++to;
        }
    }

    void expect_question_then(size_t count) {
        ASSERT_EQ(platform.messages.size(), count);
        EXPECT_EQ(platform.messages[0].text, "並び替えを実行します");
        EXPECT_EQ(platform.messages[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        EXPECT_EQ(platform.messages[0].caption, "銘柄の並び替え");
    }

    std::unique_ptr<Portfolio> original;
};

TEST_F(StockOrdering, LayoutAndTheListsAtOpening) {
    start_with_three_stocks();
    open([](SortDialog& d) {
        EXPECT_EQ(d.windowTitle(), "銘柄の並び替え");
        EXPECT_EQ(d.k_sort->text(), "⇒(&T)");
        EXPECT_EQ(d.k_clear->text(), "取消(&Q)");
        EXPECT_LT(d.base_list->x(), d.k_sort->x());
        EXPECT_LT(d.k_sort->x(), d.sort_list->x());
        EXPECT_EQ(items(d.base_list), (QStringList{"1000 A", "1001 B", "1002 C"}));
        EXPECT_EQ(items(d.sort_list), (QStringList{"", "", ""}));
        EXPECT_EQ(d.base_list->currentRow(), 0);
    });
}

TEST_F(StockOrdering, PlacingCThenAThenBAndYesReordersEverything) {
    start_with_three_stocks();
    platform.press(QMessageBox::Yes);
    open([](SortDialog& d) {
        place(d, 2);
        EXPECT_EQ(items(d.base_list), (QStringList{"1000 A", "1001 B", ""}));
        EXPECT_EQ(items(d.sort_list), (QStringList{"1002 C", "", ""}));
        EXPECT_EQ(d.base_list->currentRow(), 0);
        d.k_sort->click();  // A, the selected row
        EXPECT_EQ(d.base_list->currentRow(), 1);
        d.k_sort->click();  // B
        EXPECT_EQ(d.result(), QDialog::Accepted);
    });
    expect_question_then(2);
    EXPECT_EQ(platform.messages[1].text, "並び替えを実行します");
    EXPECT_EQ(platform.messages[1].buttons, QMessageBox::Ok);
    EXPECT_EQ(platform.messages[1].caption, "銘柄の並び替え");
    expect_order({2, 0, 1});
    EXPECT_EQ(portfolio->current_stock, 0);
    EXPECT_EQ(portfolio->last_stock, 2);
    // The main window shows the new first stock and lists the new order.
    EXPECT_EQ(window->infor_fig->text(1, 1), "C");
    EXPECT_EQ(window->buy_fig->text(3, 1), "2024/03/12");
    EXPECT_EQ(window->sell_fig->text(1, 3), "3");
    EXPECT_EQ(window->anal_fig->text(0, 1), "300");
    EXPECT_EQ(window->sample_fig_1->text(0, 1), "¥60");
    ASSERT_EQ(window->Combo1->count(), 3);
    EXPECT_EQ(window->Combo1->itemText(0), "C");
    EXPECT_EQ(window->Combo1->itemText(2), "B");
}

TEST_F(StockOrdering, NoStartsThePlacingAgainAndCancelAbandonsIt) {
    start_with_three_stocks();
    platform.press(QMessageBox::No).press(QMessageBox::Cancel);
    open([](SortDialog& d) {
        for (int row : {2, 1, 0}) place(d, row);
        EXPECT_EQ(items(d.base_list), (QStringList{"1000 A", "1001 B", "1002 C"}));
        EXPECT_EQ(items(d.sort_list), (QStringList{"", "", ""}));
        EXPECT_EQ(d.base_list->currentRow(), 0);
        for (int row : {2, 1, 0}) place(d, row);
        EXPECT_NE(d.result(), QDialog::Accepted);
    });
    ASSERT_EQ(platform.messages.size(), 3u);
    EXPECT_EQ(platform.messages[2].text, "並び替えを中止しました");
    EXPECT_EQ(platform.messages[2].icon, QMessageBox::Information);
    EXPECT_EQ(platform.messages[2].buttons, QMessageBox::Ok);
    EXPECT_EQ(platform.messages[2].caption, "帳丸");
    expect_order({0, 1, 2});
    EXPECT_EQ(portfolio->current_stock, 1);
}

TEST_F(StockOrdering, TheArrowOnABlankRowAndTheUndoButton) {
    start_with_three_stocks();
    open([](SortDialog& d) {
        place(d, 1);
        place(d, 1);  // already moved: a blank row
        EXPECT_EQ(items(d.sort_list), (QStringList{"1001 B", "", ""}));
        EXPECT_EQ(d.work.sort_left, 2);
        d.k_clear->click();
        EXPECT_EQ(items(d.base_list), (QStringList{"1000 A", "1001 B", "1002 C"}));
        EXPECT_EQ(items(d.sort_list), (QStringList{"", "", ""}));
        EXPECT_EQ(d.work.sort_left, 3);
        place(d, 2);
        d.close();  // from the title bar
    });
    EXPECT_TRUE(platform.messages.empty());
    expect_order({0, 1, 2});
    EXPECT_EQ(portfolio->current_stock, 1);
}

TEST_F(StockOrdering, ASingleStockAsksAtTheFirstPress) {
    start_with_stock(QStringLiteral("7203"), QStringLiteral("トヨタ"));
    stock().buy_count = 1;
    stock().buys[0] = TradeRecord{"2024/1/1", 1, 1, Currency::from_yen(1)};
    platform.press(QMessageBox::Yes);
    open([](SortDialog& d) {
        EXPECT_EQ(items(d.base_list), QStringList{"7203 トヨタ"});
        d.k_sort->click();
    });
    expect_question_then(2);
    EXPECT_EQ(portfolio->last_stock, 0);
    EXPECT_EQ(stock().stock_name, "トヨタ");
    EXPECT_EQ(stock().buys[0].date, "2024/1/1");
    EXPECT_EQ(window->Combo1->itemText(0), "トヨタ");
}

}  // namespace
}  // namespace chomaru
