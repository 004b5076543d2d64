#include "imports/import_plan.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <map>
#include <optional>
#include <span>
#include <tuple>
#include <utility>

#include "imports/csv_text.h"
#include "imports/entry_match.h"
#include "store/numbers.h"

namespace chomaru {

namespace {

std::optional<Date> date_of(const TradeRecord& record) {
    try {
        return text_to_date(record.date);
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

// A date as a number that orders as the dates do; -1 for none.
int32_t day_number(const std::optional<Date>& date) {
    return date ? (date->year * 100 + date->month) * 100 + date->day : -1;
}

// A date and a side as one number that orders by date, then a buy before a
// sale; below 2^28.
uint32_t order_key(const std::optional<Date>& date, TradeSide side) {
    return 2 * uint32_t(std::max(day_number(date), 0)) + (side == TradeSide::sell);
}

constexpr size_t none = size_t(-1);

// What makes a trade equal to a record: date, shares, whole-yen price and
// amount.
struct RecordKey {
    int32_t day;
    int32_t shares;
    int32_t price;
    int64_t amount;

    auto operator<=>(const RecordKey&) const = default;
};

// The records of an existing entry, each of which may absorb one equal row;
// kept in the order of their keys, so an equal record is found by halving.
class StoredRecords {
public:
    StoredRecords(const RecordTable& records, int32_t count) {
        for (int32_t i = 0; i < std::clamp(count, 0, max_records); ++i) {
            const TradeRecord& r = records[size_t(i)];
            records_.push_back({{day_number(date_of(r)), r.shares, r.price, r.amount.units()}, false});
        }
        std::sort(records_.begin(), records_.end(), [](const Stored& a, const Stored& b) { return a.key < b.key; });
        if (!records_.empty()) {
            first_day_ = records_.front().key.day;
            last_day_ = records_.back().key.day;
        }
    }

    // Marks an equal record not yet taken as taken; false when there is none.
    bool absorb(const TradeRow& row) {
        const RecordKey key{day_number(row.date), row.shares, row.price, row.amount.units()};
        // Most rows of a file lie outside the dates already held.
        if (key.day < first_day_ || key.day > last_day_) return false;
        auto s = std::lower_bound(records_.begin(), records_.end(), key,
                                  [](const Stored& a, const RecordKey& k) { return a.key < k; });
        for (; s != records_.end() && s->key == key; ++s) {
            if (s->taken) continue;
            s->taken = true;
            return true;
        }
        return false;
    }

private:
    struct Stored {
        RecordKey key;
        bool taken;
    };
    std::vector<Stored> records_;
    int32_t first_day_ = 1;  // of the records; none when above the last
    int32_t last_day_ = 0;
};

class Planner {
public:
    Planner(const Portfolio& portfolio, const TradeHistory& history, ImportPlan& plan)
        : portfolio_(portfolio), history_(history), plan_(plan), entries_(portfolio) {
        const size_t most = size_t(max_stocks);
        stored_.resize(2 * most);
        added_.resize(2 * most);
    }

    void run() {
        plan_.base_last_stock = portfolio_.last_stock;
        plan_.rows.resize(history_.rows.size());
        std::vector<Ordered> to_apply = classify();
        // By date and side, the file's order kept on one date and side.
        sort_stably(to_apply);
        plan_.trades.reserve(to_apply.size());
        for (const Ordered& trade : to_apply) apply(trade.row);
        mark_oversold();
        count();
    }

private:
    // A trade to apply: its order_key and its row.
    struct Ordered {
        uint32_t key;
        uint32_t row;
    };

    // Orders the trades by their keys, keeping the order of equal keys: two
    // passes of a radix sort, on the low and the high 14 bits.
    static void sort_stably(std::vector<Ordered>& trades) {
        // A file is often in date order already.
        if (std::is_sorted(trades.begin(), trades.end(), [](Ordered a, Ordered b) { return a.key < b.key; })) return;
        constexpr uint32_t bits = 14;
        constexpr uint32_t buckets = uint32_t(1) << bits;
        std::vector<Ordered> other(trades.size());
        std::vector<uint32_t> starts(buckets);
        for (const uint32_t shift : {uint32_t(0), bits}) {
            std::fill(starts.begin(), starts.end(), 0);
            for (const Ordered& t : trades) ++starts[t.key >> shift & (buckets - 1)];
            uint32_t at = 0;
            for (uint32_t& start : starts) at += std::exchange(start, at);
            for (const Ordered& t : trades) other[starts[t.key >> shift & (buckets - 1)]++] = t;
            trades.swap(other);
        }
    }

    // Every row's status but those of the trades to apply, which are
    // returned in the file's order; their planned entry is the existing one
    // found, or -1.
    std::vector<Ordered> classify() {
        std::vector<Ordered> to_apply;
        to_apply.reserve(history_.rows.size());
        for (size_t r = 0; r < history_.rows.size(); ++r) {
            const TradeRow& row = history_.rows[r];
            PlannedRow& planned = plan_.rows[r];
            if (row.status != RowStatus::trade) {
                planned.status = row.status == RowStatus::not_trade ? PlanStatus::not_trade : PlanStatus::unreadable;
                continue;
            }
            planned.entry = entries_.find(row.code, row.account);
            if (planned.entry >= 0 && stored(planned.entry, row.side).absorb(row)) {
                planned.status = PlanStatus::duplicate;
                continue;
            }
            to_apply.push_back({order_key(row.date, row.side), uint32_t(r)});
        }
        return to_apply;
    }

    static size_t side_index(int32_t entry, TradeSide side) { return 2 * size_t(entry) + (side == TradeSide::sell); }

    StoredRecords& stored(int32_t entry, TradeSide side) {
        std::optional<StoredRecords>& records = stored_[side_index(entry, side)];
        if (!records) {
            const Stock& s = portfolio_.stocks[size_t(entry)];
            records.emplace(side == TradeSide::buy ? StoredRecords(s.buys, s.buy_count)
                                                   : StoredRecords(s.sells, s.sell_count));
        }
        return *records;
    }

    // The entry of a row, made when it is new and there is room; -1 when not.
    int32_t entry_of(const TradeRow& row, int32_t existing) {
        if (existing >= 0) return existing;
        if (const int32_t entry = entries_.find(row.code, row.account); entry >= 0) return entry;
        if (portfolio_.stock_count() + int32_t(plan_.new_entries.size()) >= max_stocks) return -1;
        const int32_t entry = portfolio_.last_stock + 1 + int32_t(plan_.new_entries.size());
        plan_.new_entries.push_back({row.code, std::string(row.name), row.account});
        entries_.add(row.code, row.account, entry);
        return entry;
    }

    int32_t records_of(int32_t entry, TradeSide side) const {
        if (entry > portfolio_.last_stock) return 0;
        const Stock& s = portfolio_.stocks[size_t(entry)];
        return side == TradeSide::buy ? s.buy_count : s.sell_count;
    }

    void apply(size_t r) {
        const TradeRow& row = history_.rows[r];
        PlannedRow& planned = plan_.rows[r];
        const int32_t entry = entry_of(row, planned.entry);
        planned.entry = entry;
        if (entry < 0) {
            planned.status = PlanStatus::over_capacity;
            return;
        }
        int32_t& added = added_[side_index(entry, row.side)];
        if (records_of(entry, row.side) + added >= max_records) {
            planned.status = PlanStatus::over_capacity;
            return;
        }
        ++added;
        planned.status = PlanStatus::import;
        planned.computed = row.amount_computed;
        plan_.trades.push_back({r, entry, row.side, row.date.value_or(Date{}), row.price, row.shares, row.amount});
    }

    // Replays each touched entry in date order, its records before the
    // imported trades of the same date and side.
    void mark_oversold() {
        struct Event {
            uint32_t key;  // as Ordered's; a record whose date does not read counts first
            int32_t shares;
            size_t row;  // of a planned trade
        };
        const auto by_key = [](const Event& a, const Event& b) { return a.key < b.key; };
        // Each entry's planned trades, in the order applied: by key already.
        // Entry e's are planned[starts[e]] up to planned[starts[e + 1]].
        std::vector<size_t> starts(size_t(max_stocks) + 1);
        for (const PlannedTrade& trade : plan_.trades) ++starts[size_t(trade.entry) + 1];
        for (size_t e = 1; e < starts.size(); ++e) starts[e] += starts[e - 1];
        std::vector<Event> planned(plan_.trades.size());
        std::vector<size_t> next(starts.begin(), starts.end() - 1);
        for (const PlannedTrade& trade : plan_.trades)
            planned[next[size_t(trade.entry)]++] = {order_key(trade.date, trade.side), trade.shares, trade.row};
        std::vector<Event> records;
        std::vector<Event> events;
        for (int32_t entry = 0; entry < max_stocks; ++entry) {
            const std::span<const Event> trades(planned.data() + starts[size_t(entry)],
                                                planned.data() + starts[size_t(entry) + 1]);
            if (trades.empty()) continue;
            records.clear();
            if (entry <= portfolio_.last_stock) {
                const Stock& s = portfolio_.stocks[size_t(entry)];
                for (const auto& [table, count, side] : {std::tuple(&s.buys, s.buy_count, TradeSide::buy),
                                                         std::tuple(&s.sells, s.sell_count, TradeSide::sell)})
                    for (int32_t i = 0; i < std::clamp(count, 0, max_records); ++i) {
                        const TradeRecord& r = (*table)[size_t(i)];
                        records.push_back({order_key(date_of(r).value_or(Date{}), side), r.shares, none});
                    }
                std::stable_sort(records.begin(), records.end(), by_key);
                plan_.base_entries.push_back({entry, s.buy_count, s.sell_count});
            }
            // A merge takes the first range's first on equal keys.
            events.clear();
            std::merge(records.begin(), records.end(), trades.begin(), trades.end(), std::back_inserter(events),
                       by_key);
            int64_t held = 0;
            for (const Event& e : events) {
                if (e.key % 2 == 0) {
                    held += e.shares;
                    continue;
                }
                if (e.row != none && held < e.shares) plan_.rows[e.row].oversold = true;
                held -= e.shares;
            }
        }
    }

    void count() {
        // By status, without a branch for each row.
        std::array<int, size_t(PlanStatus::unreadable) + 1> by_status{};
        ImportCounts& c = plan_.counts;
        for (const PlannedRow& p : plan_.rows) {
            ++by_status[size_t(p.status)];
            c.computed += p.computed;
            c.oversold += p.oversold;
        }
        c.to_import = by_status[size_t(PlanStatus::import)];
        c.duplicates = by_status[size_t(PlanStatus::duplicate)];
        c.not_trades = by_status[size_t(PlanStatus::not_trade)];
        c.over_capacity = by_status[size_t(PlanStatus::over_capacity)];
        c.unreadable = by_status[size_t(PlanStatus::unreadable)];
    }

    const Portfolio& portfolio_;
    const TradeHistory& history_;
    ImportPlan& plan_;
    // Every entry's, and from last_stock + 1 on those to be made.
    EntryMatch entries_;
    // For each entry and side, its records as duplicates are found, and the
    // count of the trades planned.
    std::vector<std::optional<StoredRecords>> stored_;
    std::vector<int32_t> added_;
};

}  // namespace

ImportPlan plan_import(const Portfolio& portfolio, const TradeHistory& history) {
    ImportPlan plan;
    Planner(portfolio, history, plan).run();
    return plan;
}

std::vector<int32_t> apply_import(Portfolio& portfolio, const ImportPlan& plan) {
    // Everything is checked and prepared first; what follows the preparation
    // neither allocates nor throws.
    const int32_t made = int32_t(plan.new_entries.size());
    if (plan.base_last_stock != portfolio.last_stock || portfolio.last_stock < 0 ||
        portfolio.stock_count() + made > max_stocks)
        stale_import_plan();
    std::map<int32_t, std::pair<int32_t, int32_t>> counts;  // entry → buys, sells after the import
    for (const ImportPlan::EntryState& e : plan.base_entries) {
        if (e.entry < 0 || e.entry > portfolio.last_stock) stale_import_plan();
        const Stock& s = portfolio.stocks[size_t(e.entry)];
        if (s.buy_count != e.buy_count || s.sell_count != e.sell_count) stale_import_plan();
        counts[e.entry] = {s.buy_count, s.sell_count};
    }
    for (int32_t k = 0; k < made; ++k) counts[portfolio.last_stock + 1 + k] = {0, 0};
    for (const PlannedTrade& t : plan.trades) {
        const auto found = counts.find(t.entry);
        if (found == counts.end()) stale_import_plan();
        int32_t& n = t.side == TradeSide::buy ? found->second.first : found->second.second;
        if (n < 0 || n >= max_records) stale_import_plan();
        ++n;
    }

    std::vector<TradeRecord> records;
    records.reserve(plan.trades.size());
    for (const PlannedTrade& t : plan.trades) records.push_back(t.record());
    std::vector<StockFigures> figures(static_cast<size_t>(made));
    for (size_t k = 0; k < figures.size(); ++k) {
        figures[k].stock_code = plan.new_entries[k].code;
        figures[k].stock_name = plan.new_entries[k].name;
        figures[k].account = plan.new_entries[k].account;
    }
    std::vector<int32_t> touched;
    touched.reserve(counts.size());
    for (const auto& [entry, after] : counts) {
        touched.push_back(entry);
        // Record slots are made on a table's first write: make them now.
        portfolio.stocks[size_t(entry)].buys.data();
        portfolio.stocks[size_t(entry)].sells.data();
    }

    for (int32_t k = 0; k < made; ++k) {
        Stock& s = portfolio.stocks[size_t(portfolio.last_stock + 1 + k)];
        static_cast<StockFigures&>(s) = std::move(figures[size_t(k)]);
        s.buy_count = 0;
        s.sell_count = 0;
    }
    portfolio.last_stock += made;
    for (size_t i = 0; i < plan.trades.size(); ++i) {
        Stock& s = portfolio.stocks[size_t(plan.trades[i].entry)];
        const bool buy = plan.trades[i].side == TradeSide::buy;
        int32_t& count = buy ? s.buy_count : s.sell_count;
        (buy ? s.buys : s.sells)[size_t(count)] = std::move(records[i]);
        ++count;
    }
    return touched;
}

TradeRecord PlannedTrade::record() const { return TradeRecord{short_date_text(date), price, shares, amount}; }

std::string plan_status_text(const PlannedRow& planned, const TradeRow& row) {
    switch (planned.status) {
    case PlanStatus::import:
        if (planned.computed && planned.oversold) return "計算・保有超過";
        if (planned.oversold) return "保有超過";
        return planned.computed ? "計算" : "取り込む";
    case PlanStatus::duplicate:
        return "重複";
    case PlanStatus::not_trade:
        return "対象外：" + std::string(row.reason);
    case PlanStatus::over_capacity:
        return "上限超過";
    case PlanStatus::unreadable:
        return "読めません：" + std::string(row.reason);
    }
    return {};
}

}  // namespace chomaru
