#include "store/stock_order.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace chomaru {
namespace {

// Three stocks A, B, C, each with figures and records of its own.
std::unique_ptr<Portfolio> three_stocks() {
    auto p = Portfolio::create();
    p->last_stock = 2;
    p->current_stock = 1;
    const char* names[] = {"A", "B", "C"};
    for (int i = 0; i < 3; ++i) {
        Stock& s = p->stocks[size_t(i)];
        s.stock_code = std::to_string(1000 + i);
        s.stock_name = names[i];
        s.dividend = 10 * (i + 1);
        s.avg_buy_price = 100 * (i + 1);
        s.held_shares = i + 1;
        s.realized_profit = Currency::from_units(12345 * (i + 1));
        s.dividend_yield = 0.1f * float(i + 1);
        s.buy_count = i + 1;
        s.sell_count = i;
        for (int k = 0; k <= i; ++k)
            s.buys[size_t(k)] = TradeRecord{"2024/01/0" + std::to_string(k + 1), 100 * (i + 1), k + 1,
                                            Currency::from_yen(1000 * (i + 1) + k)};
        for (int k = 0; k < i; ++k)
            s.sells[size_t(k)] = TradeRecord{"2024/02/0" + std::to_string(k + 1), 50, 1, Currency::from_yen(50)};
    }
    return p;
}

TEST(SortWork, ResetListsEveryStockWithCodeBlankName) {
    auto p = three_stocks();
    p->stocks[1].stock_code.clear();
    p->stocks[1].stock_name.clear();
    SortWork w;
    w.sort_items[7] = "stale";
    w.reset_sort_lists(*p);
    EXPECT_EQ(w.sort_total, 3);
    EXPECT_EQ(w.sort_left, 3);
    EXPECT_EQ(w.sort_next, 0);
    EXPECT_EQ(w.base_items[0], "1000 A");
    EXPECT_EQ(w.base_items[1], "（名称なし）");  // never empty, even without code and name
    EXPECT_EQ(w.base_items[2], "1002 C");
    EXPECT_EQ(w.base_items[3], "");
    EXPECT_EQ(w.sort_items[7], "");
    EXPECT_EQ(w.first_unplaced(), 0);
}

TEST(SortWork, PlacingFillsTheRightListFromTheTop) {
    auto p = three_stocks();
    SortWork w;
    w.reset_sort_lists(*p);
    EXPECT_TRUE(w.place(2));
    EXPECT_EQ(w.base_items[2], "");
    EXPECT_EQ(w.sort_items[0], "1002 C");
    EXPECT_EQ(w.first_unplaced(), 0);
    EXPECT_FALSE(w.place(2));  // already placed: nothing changes
    EXPECT_FALSE(w.place(-1));
    EXPECT_FALSE(w.place(3));
    EXPECT_EQ(w.sort_next, 1);
    EXPECT_EQ(w.sort_left, 2);
    EXPECT_TRUE(w.place(0));
    EXPECT_EQ(w.first_unplaced(), 1);
    EXPECT_TRUE(w.place(1));
    EXPECT_TRUE(w.all_placed());
    EXPECT_EQ(w.first_unplaced(), -1);
    EXPECT_EQ((std::array<int32_t, 3>{w.new_index[0], w.new_index[1], w.new_index[2]}),
              (std::array<int32_t, 3>{1, 2, 0}));
}

TEST(ZOpeSort, EachStockMovesWithAllItsFiguresAndRecords) {
    auto p = three_stocks();
    const auto before = three_stocks();
    SortWork w;
    w.reset_sort_lists(*p);
    for (int row : {2, 0, 1}) ASSERT_TRUE(w.place(row));  // C, A, B
    z_ope_sort(*p, w);
    const int from[] = {2, 0, 1};
    for (int to = 0; to < 3; ++to) {
        const Stock& s = p->stocks[size_t(to)];
        const Stock& was = before->stocks[size_t(from[to])];
        EXPECT_EQ(s.stock_code, was.stock_code);
        EXPECT_EQ(s.stock_name, was.stock_name);
        EXPECT_EQ(s.dividend, was.dividend);
        EXPECT_EQ(s.buy_count, was.buy_count);
        EXPECT_EQ(s.sell_count, was.sell_count);
        EXPECT_EQ(s.avg_buy_price, was.avg_buy_price);
        EXPECT_EQ(s.held_shares, was.held_shares);
        EXPECT_EQ(s.realized_profit, was.realized_profit);
        EXPECT_EQ(s.dividend_yield, was.dividend_yield);
        EXPECT_EQ(s.buys, was.buys);
        EXPECT_EQ(s.sells, was.sells);
    }
    EXPECT_EQ(p->last_stock, 2);
    EXPECT_EQ(p->current_stock, 1);  // the caller selects stock 0
}

TEST(ZOpeSort, AFullRecordTableMovesWhole) {
    auto p = Portfolio::create();
    p->last_stock = 1;
    p->stocks[0].stock_name = "full";
    p->stocks[0].buy_count = max_records;
    for (int k = 0; k < max_records; ++k)
        p->stocks[0].buys[size_t(k)] = TradeRecord{"2024/3/1", k, 1, Currency::from_yen(k)};
    SortWork w;
    w.reset_sort_lists(*p);
    ASSERT_TRUE(w.place(1));
    ASSERT_TRUE(w.place(0));
    z_ope_sort(*p, w);
    EXPECT_EQ(p->stocks[1].stock_name, "full");
    EXPECT_EQ(p->stocks[1].buy_count, max_records);
    EXPECT_EQ(p->stocks[1].buys[255].price, 255);
    EXPECT_EQ(p->stocks[0].buy_count, 0);
}

TEST(ZOpeSort, StocksAboveTheOrderAreNotTouched) {
    auto p = three_stocks();
    p->stocks[3].stock_name = "stale";
    SortWork w;
    w.reset_sort_lists(*p);
    for (int row : {1, 2, 0}) ASSERT_TRUE(w.place(row));
    z_ope_sort(*p, w);
    EXPECT_EQ(p->stocks[2].stock_name, "A");
    EXPECT_EQ(p->stocks[3].stock_name, "stale");
}

TEST(ZOpeSort, AnIncompleteOrderChangesNothing) {
    auto p = three_stocks();
    SortWork w;
    w.reset_sort_lists(*p);
    ASSERT_TRUE(w.place(2));
    EXPECT_THROW(z_ope_sort(*p, w), std::invalid_argument);
    ASSERT_TRUE(w.place(0));
    ASSERT_TRUE(w.place(1));
    w.new_index[1] = 0;  // two stocks at one place
    EXPECT_THROW(z_ope_sort(*p, w), std::invalid_argument);
    EXPECT_EQ(p->stocks[0].stock_name, "A");
    EXPECT_EQ(p->stocks[2].stock_name, "C");
}

}  // namespace
}  // namespace chomaru
