#include "document/undo_history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "store/data_file.h"
#include "store/portfolio.h"
#include "store/stock_order.h"

namespace chomaru {
namespace {

std::unique_ptr<Portfolio> three_stocks() {
    auto p = Portfolio::create();
    p->fees = FeeTable::defaults();
    p->last_stock = 2;
    for (int32_t j = 0; j <= 2; ++j) {
        Stock& s = p->stocks[size_t(j)];
        s.stock_code = std::to_string(7200 + j);
        s.stock_name = "銘柄" + std::to_string(j);
        s.buy_count = 1;
        s.buys[0] = TradeRecord{"2024/01/05", 1000 + j, 100, Currency::from_yen(100000 + j)};
        s.avg_buy_price = 1000 + j;
        s.held_shares = 100;
    }
    return p;
}

// A change like one of the program's commands, chosen at random.
std::string change_at_random(Portfolio& p, std::mt19937& random) {
    Stock& s = p.current();
    switch (random() % 7) {
    case 0:
        if (s.buy_count < max_records) {
            s.buys[size_t(s.buy_count++)] =
                TradeRecord{"2025/03/0" + std::to_string(random() % 9 + 1), int32_t(random() % 5000), 100,
                            Currency::from_units(int64_t(random()))};
            s.held_shares += 100;
        }
        return "buy";
    case 1:
        if (s.buy_count > 0) remove_record(s.buys, s.buy_count, int32_t(random() % uint32_t(s.buy_count)));
        return "delete record";
    case 2:
        remove_current_stock(p);
        return "delete stock";
    case 3:
        if (p.last_stock + 1 < max_stocks) {
            p.current_stock = ++p.last_stock;
            z_data_init(p);
            p.current().stock_code = std::to_string(random() % 10000);
        }
        return "new stock";
    case 4: {
        std::vector<int32_t> order(size_t(p.last_stock + 1));
        for (size_t i = 0; i < order.size(); ++i) order[i] = int32_t(i);
        std::shuffle(order.begin(), order.end(), random);
        const auto copy = std::make_unique<Portfolio>(p);
        for (size_t i = 0; i < order.size(); ++i) p.stocks[i] = copy->stocks[size_t(order[i])];
        return "order";
    }
    case 5:
        p.fees.fee_add[random() % fee_brackets] = int32_t(random() % 1000);
        return "fees";
    default:
        s.dividend_yield = float(random() % 1000) / 7.0f;
        s.stock_name += "・";
        return "name";
    }
}

TEST(UndoHistory, RandomStepsUndoneAndRedoneGiveTheBytesOfEveryState) {
    for (unsigned seed = 1; seed <= 8; ++seed) {
        std::mt19937 random(seed);
        auto p = three_stocks();
        UndoHistory history;
        history.reset(*p);
        std::vector<std::string> states{format_data_file(*p)};
        size_t at = 0;  // the state the portfolio is in
        for (int n = 0; n < 60; ++n) {
            const auto action = random() % 10;
            if (action < 2 && history.can_undo()) {
                ASSERT_TRUE(history.undo(*p));
                --at;
            } else if (action < 4 && history.can_redo()) {
                ASSERT_TRUE(history.redo(*p));
                ++at;
            } else {
                PortfolioImage before = history.before(*p);
                const std::string name = change_at_random(*p, random);
                history.record(name, std::move(before), *p);
                if (format_data_file(*p) != states[at]) {
                    states.resize(at + 1);
                    states.push_back(format_data_file(*p));
                    ++at;
                    ASSERT_FALSE(history.can_redo());
                }
            }
            ASSERT_EQ(format_data_file(*p), states[at]) << "seed " << seed << " action " << n;
        }
        while (history.undo(*p)) --at;
        EXPECT_EQ(at, 0u);
        EXPECT_EQ(format_data_file(*p), states[0]) << "seed " << seed;
        while (history.redo(*p)) ++at;
        EXPECT_EQ(format_data_file(*p), states[at]) << "seed " << seed;
    }
}

TEST(UndoHistory, NamesANewStepDropsRedoAndACommandThatChangedNothingIsNoStep) {
    auto p = three_stocks();
    UndoHistory history;
    history.reset(*p);
    EXPECT_FALSE(history.can_undo());
    EXPECT_FALSE(history.undo(*p));

    PortfolioImage before = history.before(*p);
    history.record("nothing", std::move(before), *p);
    EXPECT_FALSE(history.can_undo());

    before = history.before(*p);
    p->current().dividend = 5;
    history.record("配当 7200", std::move(before), *p);
    EXPECT_EQ(history.undo_name(), "配当 7200");
    ASSERT_TRUE(history.undo(*p));
    EXPECT_EQ(p->current().dividend, 0);
    EXPECT_EQ(history.redo_name(), "配当 7200");

    before = history.before(*p);
    p->current().dividend = 6;
    history.record("配当 7200", std::move(before), *p);
    EXPECT_FALSE(history.can_redo());
}

TEST(UndoHistory, KeepsTheNewestStepsUpToItsLimit) {
    auto p = three_stocks();
    UndoHistory history(5);
    history.reset(*p);
    for (int32_t n = 1; n <= 8; ++n) {
        PortfolioImage before = history.before(*p);
        p->current().dividend = n;
        history.record("step", std::move(before), *p);
    }
    EXPECT_EQ(history.steps(), 5u);
    while (history.undo(*p)) {
    }
    EXPECT_EQ(p->current().dividend, 3);
}

TEST(UndoHistory, TheSelectionAndFiguresAreRestoredExactly) {
    auto p = three_stocks();
    p->current_stock = 2;
    p->stocks[2].dividend_yield = std::numeric_limits<float>::quiet_NaN();
    UndoHistory history;
    history.reset(*p);
    PortfolioImage before = history.before(*p);
    remove_current_stock(*p);
    history.record("全記録の削除", std::move(before), *p);
    EXPECT_EQ(p->last_stock, 1);
    ASSERT_TRUE(history.undo(*p));
    EXPECT_EQ(p->last_stock, 2);
    EXPECT_EQ(p->current_stock, 2);
    EXPECT_EQ(p->stocks[2].stock_code, "7202");
    EXPECT_TRUE(std::isnan(p->stocks[2].dividend_yield));
    EXPECT_EQ(p->stocks[2].buys[0].amount, Currency::from_yen(100002));
}

}  // namespace
}  // namespace chomaru
