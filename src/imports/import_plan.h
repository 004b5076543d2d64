#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "imports/trade_history.h"
#include "store/portfolio.h"

// What importing a trade history would do to a portfolio, row by row: the
// preview shows it, and apply_import carries it out unchanged.
namespace chomaru {

enum class PlanStatus {
    import,         // 取り込む (see PlannedRow::computed and ::oversold)
    duplicate,      // 重複: its entry already holds an equal record
    not_trade,      // 対象外: TradeRow::reason says why
    over_capacity,  // 上限超過: a 257th buy or sell of its entry, or a 257th stock
    unreadable,     // TradeRow::reason says what does not read
};

struct PlannedRow {
    PlanStatus status = PlanStatus::unreadable;
    // For a row to import: the amount was computed (計算), and the sale is
    // larger than the entry then holds (保有超過, imported all the same).
    bool computed = false;
    bool oversold = false;
    // The entry the row goes to (or, for a duplicate, is found in): an index
    // of the portfolio's stocks; from last_stock + 1 on, the new entry
    // new_entries[entry - last_stock - 1]. -1 when none.
    int32_t entry = -1;
};

// An entry the import creates: the row's code and account, the file's name,
// dividend 0.
struct NewEntry {
    std::string code;
    std::string name;
    AccountType account = AccountType::tokutei;
};

// One record to append, in the order applied.
struct PlannedTrade {
    size_t row = 0;  // index into TradeHistory::rows
    int32_t entry = 0;
    TradeSide side = TradeSide::buy;
    // The record's figures; its date text is made only when it is applied.
    Date date;
    int32_t price = 0;
    int32_t shares = 0;
    Currency amount;

    TradeRecord record() const;
};

struct ImportCounts {
    int to_import = 0;  // computed and oversold rows included
    int computed = 0;
    int oversold = 0;
    int duplicates = 0;
    int not_trades = 0;
    int over_capacity = 0;
    int unreadable = 0;
};

struct ImportPlan {
    std::vector<PlannedRow> rows;  // one for each TradeHistory row, in the file's order
    std::vector<PlannedTrade> trades;
    std::vector<NewEntry> new_entries;
    ImportCounts counts;

    // What the plan was made on, checked by apply_import.
    int32_t base_last_stock = 0;
    struct EntryState {
        int32_t entry;
        int32_t buy_count;
        int32_t sell_count;
    };
    std::vector<EntryState> base_entries;  // the existing entries the plan appends to
};

// The plan of importing `history` into `portfolio`:
// - a row goes to the entry of the same code (blanks at either end ignored)
//   and account, the first such; else to a new entry, made after the last
//   one in the order the rows are applied;
// - a trade equal to a record of its entry (side, date, shares, whole-yen
//   price, amount) is a duplicate; each record absorbs one equal row, so the
//   same file imported twice, or overlapping ranges, add each trade once;
// - the other trades are applied in date order, stably: the file's order on
//   one date, buys before sells;
// - a trade that would be the 257th buy or sell of its entry, or needs a
//   257th stock, is over capacity and not applied;
// - a sale larger than its entry then holds, replaying the entry's records
//   and the applied trades in date order (a record whose date does not read
//   counts first), is marked oversold and applied all the same.
ImportPlan plan_import(const Portfolio& portfolio, const TradeHistory& history);

// Appends the plan's records to the end of each entry's buys or sells, in
// the order planned, as if typed, after making the new entries. The touched
// entries' figures (average, held shares, profit, yield) are NOT recomputed;
// the caller does that. All or nothing: a plan that does not fit the
// portfolio as it is now (made on another state, or over capacity) raises
// ImportError and changes nothing. Returns the touched entries, ascending.
std::vector<int32_t> apply_import(Portfolio& portfolio, const ImportPlan& plan);

// The 状態 a preview shows: "取り込む", "計算", "保有超過", "計算・保有超過",
// "重複", "対象外：<reason>", "上限超過" or "読めません：<reason>".
std::string plan_status_text(const PlannedRow& planned, const TradeRow& row);

}  // namespace chomaru
