#include "store/portfolio.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace chomaru {
namespace {

TradeRecord record(int n) {
    return TradeRecord{"2026/01/" + std::to_string(n), n, 10 * n, Currency::from_yen(100 * n)};
}

// Slots are made on the first write; until then, and in every copy, the
// table must behave as a full table of its own.
TEST(RecordTable, UnwrittenSlotsReadEmptyAndCopiesAreTheirOwn) {
    const RecordTable fresh;
    EXPECT_EQ(fresh.at(max_records - 1), TradeRecord{});
    EXPECT_THROW((void)fresh.at(max_records), std::out_of_range);

    RecordTable written;
    written[3] = record(3);
    EXPECT_NE(written, fresh);
    RecordTable copy = written;
    copy[3] = record(4);
    copy[200] = record(5);
    EXPECT_EQ(written[3], record(3));
    EXPECT_EQ(written[200], TradeRecord{});
    copy = written;
    EXPECT_EQ(copy, written);

    RecordTable moved = std::move(copy);
    EXPECT_EQ(moved[3], record(3));
    copy = fresh;  // a table moved from takes a new value
    EXPECT_EQ(copy, fresh);
}

// More tables than one block of slots holds, some given back and taken
// again: no two tables may share a slot.
TEST(RecordTable, ManyTablesKeepTheirOwnSlots) {
    std::vector<RecordTable> tables(600);
    auto fill = [&tables](size_t t) {
        tables[t][0] = record(int(t));
        tables[t][max_records - 1] = record(int(t) + 1);
    };
    for (size_t t = 0; t < tables.size(); ++t) fill(t);
    for (size_t t = 0; t < tables.size(); t += 2) tables[t] = RecordTable();
    for (size_t t = 0; t < tables.size(); t += 2) fill(t);
    for (size_t t = 0; t < tables.size(); ++t) {
        ASSERT_EQ(tables[t][0], record(int(t))) << t;
        ASSERT_EQ(tables[t][max_records - 1], record(int(t) + 1)) << t;
    }
}

TEST(RemoveRecord, LaterRecordsMoveDownAndTheCountFalls) {
    const struct {
        int32_t count;
        int32_t index;
        std::vector<int> left;
    } cases[] = {
        {3, 0, {2, 3}},
        {3, 1, {1, 3}},
        {3, 2, {1, 2}},
        {1, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        auto records = std::make_unique<RecordTable>();
        for (int k = 0; k < c.count; ++k) (*records)[size_t(k)] = record(k + 1);
        int32_t count = c.count;
        remove_record(*records, count, c.index);
        ASSERT_EQ(count, int32_t(c.left.size()));
        for (size_t k = 0; k < c.left.size(); ++k) EXPECT_EQ((*records)[k], record(c.left[k]));
    }
}

TEST(RemoveRecord, AFullTableLosesItsLastSlotAndNoRecordOutsideTheCountIsRemoved) {
    auto records = std::make_unique<RecordTable>();
    for (int k = 0; k < max_records; ++k) (*records)[size_t(k)] = record(k + 1);
    int32_t count = max_records;
    remove_record(*records, count, 0);
    EXPECT_EQ(count, max_records - 1);
    EXPECT_EQ((*records)[0], record(2));
    EXPECT_EQ((*records)[size_t(max_records - 2)], record(max_records));

    for (int32_t index : {-1, count}) EXPECT_THROW(remove_record(*records, count, index), std::out_of_range);
    EXPECT_EQ(count, max_records - 1);
}

class RemoveStock : public ::testing::Test {
protected:
    void add(const std::string& name, int records) {
        Stock& s = p->stocks[size_t(p->stock_count())];
        s.stock_name = name;
        s.stock_code = name + name;
        s.buy_count = records;
        s.sell_count = 1;
        for (int k = 0; k < records; ++k) s.buys[size_t(k)] = record(k + 1);
        s.sells[0] = record(records);
        s.realized_profit = Currency::from_yen(records);
        s.avg_buy_price = records;
        s.held_shares = records;
        s.dividend = records;
        s.dividend_yield = 0.5f;
        p->last_stock = p->stock_count();
    }
    std::unique_ptr<Portfolio> p = Portfolio::create();
};

TEST_F(RemoveStock, TheStocksAfterTheSelectedOneMoveDownWithEverything) {
    p->last_stock = -1;
    add("A", 1);
    add("B", 2);
    add("C", 3);
    add("D", 4);
    p->current_stock = 1;
    remove_current_stock(*p);
    EXPECT_EQ(p->last_stock, 2);
    EXPECT_EQ(p->current_stock, 0);
    EXPECT_EQ(p->stocks[0].stock_name, "A");
    for (int i = 1; i <= 2; ++i) {
        const Stock& s = p->stocks[size_t(i)];
        const int n = i + 2;
        EXPECT_EQ(s.stock_name, std::string(1, char('A' + i + 1)));
        EXPECT_EQ(s.stock_code, std::string(2, char('A' + i + 1)));
        EXPECT_EQ(s.buy_count, n);
        EXPECT_EQ(s.buys[size_t(n - 1)], record(n));
        EXPECT_EQ(s.sells[0], record(n));
        EXPECT_EQ(s.realized_profit, Currency::from_yen(n));
        EXPECT_EQ(s.avg_buy_price, n);
        EXPECT_EQ(s.held_shares, n);
        EXPECT_EQ(s.dividend, n);
        EXPECT_EQ(s.dividend_yield, 0.5f);
    }
}

TEST_F(RemoveStock, TheLastStockIsDroppedAndTheOnlyStockIsBlanked) {
    p->last_stock = -1;
    add("A", 1);
    add("B", 2);
    p->current_stock = 1;
    remove_current_stock(*p);
    EXPECT_EQ(p->last_stock, 0);
    EXPECT_EQ(p->current_stock, 0);
    EXPECT_EQ(p->stocks[0].stock_name, "A");

    remove_current_stock(*p);
    EXPECT_EQ(p->last_stock, 0);
    const Stock& s = p->stocks[0];
    EXPECT_EQ(s.stock_name, "");
    EXPECT_EQ(s.stock_code, "");
    EXPECT_EQ(s.buy_count, 0);
    EXPECT_EQ(s.sell_count, 0);
    EXPECT_EQ(s.held_shares, 0);
    EXPECT_EQ(s.realized_profit, Currency());
    EXPECT_EQ(s.dividend_yield, 0.0f);
}

}  // namespace
}  // namespace chomaru
