#include "imports/import_plan.h"

#include <algorithm>
#include <map>
#include <optional>
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

// The records of an existing entry, each of which may absorb one equal row.
class StoredRecords {
public:
    StoredRecords(const RecordTable& records, int32_t count) {
        for (int32_t i = 0; i < std::clamp(count, 0, max_records); ++i) {
            const TradeRecord& r = records[size_t(i)];
            records_.push_back({&r, date_of(r), false});
        }
    }

    // Marks an equal record not yet taken as taken; false when there is none.
    bool absorb(const TradeRow& row) {
        for (Stored& s : records_) {
            if (s.taken || s.date != row.date || s.record->shares != row.shares || s.record->price != row.price ||
                s.record->amount != row.amount)
                continue;
            s.taken = true;
            return true;
        }
        return false;
    }

private:
    struct Stored {
        const TradeRecord* record;
        std::optional<Date> date;
        bool taken;
    };
    std::vector<Stored> records_;
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
        // Sorted by date and side, then by the row: the file's order on one
        // date and side, as a stable sort keeps it.
        const std::vector<size_t> trades = classify();
        std::vector<std::pair<int64_t, size_t>> to_apply;
        to_apply.reserve(trades.size());
        for (const size_t r : trades) {
            const TradeRow& row = history_.rows[r];
            const int64_t day = (int64_t(row.date->year) * 100 + row.date->month) * 100 + row.date->day;
            to_apply.emplace_back(2 * day + (row.side == TradeSide::sell), r);
        }
        // Brokers list their trades in date order, often enough.
        if (!std::is_sorted(to_apply.begin(), to_apply.end())) std::sort(to_apply.begin(), to_apply.end());
        plan_.trades.reserve(to_apply.size());
        for (const auto& [order, r] : to_apply) apply(r);
        mark_oversold();
        count();
    }

private:
    // Every row's status but those of the trades to apply, which are returned.
    std::vector<size_t> classify() {
        std::vector<size_t> to_apply;
        for (size_t r = 0; r < history_.rows.size(); ++r) {
            const TradeRow& row = history_.rows[r];
            PlannedRow& planned = plan_.rows[r];
            if (row.status != RowStatus::trade) {
                planned.status = row.status == RowStatus::not_trade ? PlanStatus::not_trade : PlanStatus::unreadable;
                continue;
            }
            const int32_t entry = entries_.find(row.code, row.account);
            if (entry >= 0 && stored(entry, row.side).absorb(row)) {
                planned.status = PlanStatus::duplicate;
                planned.entry = entry;
                continue;
            }
            to_apply.push_back(r);
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
    int32_t entry_of(const TradeRow& row) {
        if (const int32_t entry = entries_.find(row.code, row.account); entry >= 0) return entry;
        if (portfolio_.stock_count() + int32_t(plan_.new_entries.size()) >= max_stocks) return -1;
        const int32_t entry = portfolio_.last_stock + 1 + int32_t(plan_.new_entries.size());
        plan_.new_entries.push_back({row.code, row.name, row.account});
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
        const int32_t entry = entry_of(row);
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
        plan_.trades.push_back({r, entry, row.side, row.record()});
    }

    // Replays each touched entry in date order, its records before the
    // imported trades of the same date and side.
    void mark_oversold() {
        struct Event {
            Date date;
            TradeSide side;
            int source;  // 0 a record, 1 a trade of the plan
            size_t order;
            int32_t shares;
            size_t row;
        };
        std::vector<std::vector<Event>> events(static_cast<size_t>(max_stocks));
        for (size_t t = 0; t < plan_.trades.size(); ++t) {
            const PlannedTrade& trade = plan_.trades[t];
            events[size_t(trade.entry)].push_back(
                {*history_.rows[trade.row].date, trade.side, 1, t, trade.record.shares, trade.row});
        }
        for (int32_t entry = 0; entry < max_stocks; ++entry) {
            std::vector<Event>& list = events[size_t(entry)];
            if (list.empty()) continue;
            if (entry <= portfolio_.last_stock) {
                const Stock& s = portfolio_.stocks[size_t(entry)];
                add_records(list, s.buys, s.buy_count, TradeSide::buy);
                add_records(list, s.sells, s.sell_count, TradeSide::sell);
                plan_.base_entries.push_back({entry, s.buy_count, s.sell_count});
            }
            std::sort(list.begin(), list.end(), [](const Event& a, const Event& b) {
                return std::tuple(a.date, a.side, a.source, a.order) < std::tuple(b.date, b.side, b.source, b.order);
            });
            int64_t held = 0;
            for (const Event& e : list) {
                if (e.side == TradeSide::buy) {
                    held += e.shares;
                    continue;
                }
                if (e.source == 1 && held < e.shares) plan_.rows[e.row].oversold = true;
                held -= e.shares;
            }
        }
    }

    template <typename Event>
    static void add_records(std::vector<Event>& list, const RecordTable& records, int32_t count, TradeSide side) {
        for (int32_t i = 0; i < std::clamp(count, 0, max_records); ++i) {
            const TradeRecord& r = records[size_t(i)];
            list.push_back({date_of(r).value_or(Date{}), side, 0, size_t(i), r.shares, 0});
        }
    }

    void count() {
        ImportCounts& c = plan_.counts;
        for (const PlannedRow& p : plan_.rows) {
            switch (p.status) {
            case PlanStatus::import:
                ++c.to_import;
                c.computed += p.computed;
                c.oversold += p.oversold;
                break;
            case PlanStatus::duplicate:
                ++c.duplicates;
                break;
            case PlanStatus::not_trade:
                ++c.not_trades;
                break;
            case PlanStatus::over_capacity:
                ++c.over_capacity;
                break;
            case PlanStatus::unreadable:
                ++c.unreadable;
                break;
            }
        }
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
    for (const PlannedTrade& t : plan.trades) records.push_back(t.record);
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

std::string plan_status_text(const PlannedRow& planned, const TradeRow& row) {
    switch (planned.status) {
    case PlanStatus::import:
        if (planned.computed && planned.oversold) return "計算・保有超過";
        if (planned.oversold) return "保有超過";
        return planned.computed ? "計算" : "取り込む";
    case PlanStatus::duplicate:
        return "重複";
    case PlanStatus::not_trade:
        return "対象外：" + row.reason;
    case PlanStatus::over_capacity:
        return "上限超過";
    case PlanStatus::unreadable:
        return "読めません：" + row.reason;
    }
    return {};
}

}  // namespace chomaru
