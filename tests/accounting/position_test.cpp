#include "accounting/position.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "store/numbers.h"

namespace chomaru {
namespace {

void buy(Stock& s, int32_t shares, int64_t paid, const char* date = "2003/08/01") {
    append_record(s.buys, s.buy_count, TradeRecord{date, 0, shares, Currency::from_yen(paid)});
}

void sell(Stock& s, int32_t shares, int64_t received, const char* date = "2003/08/20") {
    append_record(s.sells, s.sell_count, TradeRecord{date, 0, shares, Currency::from_yen(received)});
}

Currency yen(int64_t v) { return Currency::from_yen(v); }

// A buy (shares > 0 bought) or a sale (shares < 0 sold), for the amount.
struct Trade {
    int32_t shares;
    int64_t amount;
    const char* date;
};

TEST(RecomputeFigures, HandWorkedFigures) {
    const struct {
        const char* what;
        std::vector<Trade> trades;
        int32_t held, average;
        int64_t realized;
    } cases[] = {
        {"240 over 20", {{10, 100, "2003/08/01"}, {10, 140, "2003/08/01"}}, 20, 12, 0},
        {"a sale costed at the average",
         {{10, 100, "2003/08/01"}, {10, 140, "2003/08/01"}, {-10, 150, "2003/08/20"}},
         10,
         12,
         30},
        // 11.25 → 11; the sale takes 110 of the 225 invested; the next buy
        // averages 115 + 125 over 20 shares.
        {"the cost still invested",
         {{10, 100, "2003/08/01"}, {10, 125, "2003/08/01"}, {-10, 130, "2003/08/20"}, {10, 125, "2003/09/01"}},
         20,
         12,
         20},
        {"a tie to even", {{20, 250, "2003/08/01"}}, 20, 12, 0},
        {"a tie to even, up", {{20, 270, "2003/08/01"}}, 20, 14, 0},
        {"everything sold: the average stays", {{10, 1000, "2003/08/01"}, {-10, 2000, "2003/08/20"}}, 0, 100, 1000},
        // 07/01: -5 held, 700 profit at no cost. 08/01: 5 held for 1000, 200
        // each. 09/01, the buy first: 15 held for 3000; then -500.
        {"date order, buys first on a date, a sale before any buy at 0",
         {{10, 2000, "2003/09/01"}, {-10, 1500, "2003/09/01"}, {10, 1000, "2003/08/01"}, {-5, 700, "2003/07/01"}},
         5,
         200,
         200},
        {"a cost beyond 32 bits",
         {{50000, 2500000000, "2026/01/05"}, {-50000, 2600000000, "2026/03/05"}},
         0,
         50000,
         100000000},
    };
    for (const auto& c : cases) {
        Stock s;
        s.realized_profit = yen(99);
        for (const Trade& t : c.trades)
            t.shares > 0 ? buy(s, t.shares, t.amount, t.date) : sell(s, -t.shares, t.amount, t.date);
        EXPECT_EQ(recompute_figures(s), std::nullopt) << c.what;
        EXPECT_EQ(s.held_shares, c.held) << c.what;
        EXPECT_EQ(s.avg_buy_price, c.average) << c.what;
        EXPECT_EQ(s.realized_profit, yen(c.realized)) << c.what;
    }
}

// Without a buy that sets it the stored average stays, and the yield with
// it; otherwise the yield is the dividend over the average.
TEST(RecomputeFigures, TheYieldFollowsTheAverage) {
    Stock s;
    s.dividend = 10;
    s.avg_buy_price = 40;
    s.dividend_yield = 0.25f;
    recompute_figures(s);
    EXPECT_EQ(s.avg_buy_price, 40);
    EXPECT_EQ(s.dividend_yield, 0.25f);
    buy(s, 10, 1000);
    recompute_figures(s);
    EXPECT_EQ(s.dividend_yield, 0.1f);
}

TEST(RecomputeFigures, AFailureLeavesTheStockAsItWas) {
    Stock s;
    s.avg_buy_price = 7;
    s.held_shares = 3;
    buy(s, 2147483647, 1);
    buy(s, 1, 1);
    EXPECT_THROW(recompute_figures(s), OverflowError);
    EXPECT_EQ(s.held_shares, 3);
    EXPECT_EQ(s.avg_buy_price, 7);

    Stock t;
    t.held_shares = 3;
    buy(t, 10, 1000);
    sell(t, 5, 900, "2003/13/01");
    const std::optional<UnreadableDate> bad = recompute_figures(t);
    ASSERT_TRUE(bad);
    EXPECT_EQ(unreadable_date_text(*bad), "売り記録 1 の日付「2003/13/01」");
    EXPECT_EQ(t.held_shares, 3);
}

// The figures as records entered one by one in date order and never edited
// used to be kept: each buy recomputed from every record, the average from
// the amounts paid less those received plus the profit so far; each sale
// added its amount less the average at that moment times its shares.
struct EntryOrderFigures {
    int32_t held = 0;
    int32_t average = 0;
    Currency realized;
    Currency paid;
    Currency received;

    void buy(int32_t shares, Currency amount) {
        held += shares;
        paid += amount;
        if (held > 0) average = round_to_int32((paid - received + realized).to_double() / double(held));
    }
    void sell(int32_t shares, Currency amount) {
        held -= shares;
        received += amount;
        realized += amount - Currency::from_yen(int64_t(average) * shares);
    }
};

TEST(RecomputeFigures, EntryInDateOrderGivesTheFiguresEntryAlwaysGave) {
    std::mt19937 random(20261208);
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int run = 0; run < 200; ++run) {
        Stock s;
        EntryOrderFigures old;
        Date day{2000, 1, 1};
        bool sold = false;  // on `day`: a buy then has to wait for a later date
        for (int entry = 0; entry < 60; ++entry) {
            const bool sale = old.held > 0 && pick(0, 2) == 0;
            // One date after another, a few trades on some of them.
            if (pick(0, 2) > 0 || (sold && !sale)) {
                day.day += pick(1, 20);
                for (; day.day > 28; day.day -= 28)
                    if (++day.month > 12) day = {day.year + 1, 1, day.day};
                sold = false;
            }
            const std::string date = short_date_text(day);
            const Currency amount = Currency::from_units(int64_t(pick(1, 900000)) * pick(1, 5000) + pick(0, 9999));
            if (sale) {
                const int32_t shares = pick(1, old.held);
                append_record(s.sells, s.sell_count, TradeRecord{date, 0, shares, amount});
                old.sell(shares, amount);
                sold = true;
            } else {
                const int32_t shares = pick(1, 3000);
                append_record(s.buys, s.buy_count, TradeRecord{date, 0, shares, amount});
                old.buy(shares, amount);
            }
            ASSERT_EQ(recompute_figures(s), std::nullopt);
            ASSERT_EQ(s.held_shares, old.held) << run << " " << entry;
            ASSERT_EQ(s.avg_buy_price, old.average) << run << " " << entry;
            ASSERT_EQ(s.realized_profit, old.realized) << run << " " << entry;
        }
    }
}

TEST(NewOversale, OnlyASaleThatNowSellsMoreThanWasHeld) {
    Stock before;
    buy(before, 300, 600000, "2021/03/01");
    Stock after = before;
    sell(after, 100, 150000, "2020/12/01");
    const std::optional<Oversale> sale = new_oversale(before, after);
    ASSERT_TRUE(sale);
    EXPECT_EQ(sale->date, "2020/12/01");
    EXPECT_EQ(sale->held, 0);
    EXPECT_EQ(sale->shares, 100);
    // Already there before: not new.
    EXPECT_EQ(new_oversale(after, after), std::nullopt);
    // Dated on the buy's day it is not sold short.
    after.sells[0].date = "2021/03/01";
    EXPECT_EQ(new_oversale(before, after), std::nullopt);

    // Correcting a date that did not read shows a sale that sold short all
    // along; it is not new.
    Stock unread = before;
    sell(unread, 100, 150000, "2020/12/01");
    sell(unread, 50, 80000, "2021/13/01");
    Stock corrected = unread;
    corrected.sells[1].date = "2021/04/01";
    EXPECT_EQ(new_oversale(unread, corrected), std::nullopt);
}

}  // namespace
}  // namespace chomaru
