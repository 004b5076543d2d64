#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "imports/trade_history.h"
#include "store/account_type.h"
#include "store/currency.h"
#include "store/date_text.h"
#include "store/portfolio.h"

// A broker's list of holdings (保有一覧) read from the bytes of its CSV file,
// for the current price of each stock entry it matches.
namespace chomaru {

struct HoldingRow {
    size_t line = 0;  // 1-based line of the file
    // trade: a domestic stock, read whole; not_trade: another kind of
    // holding (funds, foreign stocks) or an unknown account; unreadable: a
    // number or date that does not read. `reason` says which, in Japanese.
    RowStatus status = RowStatus::unreadable;
    std::string reason;

    std::string code;  // blanks at either end removed
    std::string name;
    AccountType account = AccountType::tokutei;
    int32_t shares = 0;  // held, as the file says
    Currency price;      // 現在値, exact
    Date price_date;     // 現在値(更新日) where the file gives it, else the file's date
};

struct Holdings {
    std::string format;    // "SBI証券 ポートフォリオ" or "楽天証券 保有商品一覧"
    std::string encoding;  // "UTF-8" or "Shift_JIS"
    std::vector<HoldingRow> rows;
};

// Reads SBI証券's ポートフォリオ (sections titled like
// "株式（現物/特定預り）", each with its header 銘柄（コード）,買付日,数量,
// 取得単価,現在値,...; the title gives the account, the first cell the code
// and the name: "7203 トヨタ自動車") or 楽天証券's assetbalance(all) (the
// header 種別,銘柄コード・ティッカー,銘柄,口座,保有数量,...,現在値,...,
// 現在値(更新日),...; only 国内株式 rows are stocks). `file_date` is the
// date of the prices where the file gives none (its modification date).
// Raises ImportError for a file that is not text or too large, and
// "保有一覧の見出し行が見つかりません（銘柄コード・口座・保有数量・現在値）"
// when neither header is found.
Holdings read_holdings(std::string_view bytes, const Date& file_date);

// Whether a file's bytes hold a header of a holdings list; raises
// ImportError as read_holdings.
bool has_holdings_header(std::string_view bytes);

// One row of a holdings list against the portfolio.
struct PricedRow {
    // The entry of the same code (blanks at either end ignored) and account,
    // the first such; -1 for 一致なし, and for a row that is not a stock.
    int32_t entry = -1;
    // The shares of every stock row of the file for that entry, and those
    // the entry holds: a difference is shown, nothing else is changed.
    int64_t file_shares = 0;
    int32_t held_shares = 0;
    bool shares_differ = false;
    // The entry's price before the import, for the preview.
    std::optional<QuotedPrice> old_price;
};

// The new price of an entry: the first matching row's.
struct EntryPrice {
    int32_t entry = 0;
    Currency price;
    Date date;
};

struct PricePlan {
    std::vector<PricedRow> rows;  // one for each Holdings row
    std::vector<EntryPrice> prices;
    int matched = 0;    // stock rows with an entry
    int unmatched = 0;  // stock rows without one
    int not_stocks = 0;
    int unreadable = 0;
};

PricePlan plan_prices(const Portfolio& portfolio, const Holdings& holdings);

// The kind of file given to the program: a trade history, a holdings list
// (by their headers) or neither, also for bytes that are not text.
enum class ImportFileKind { trade_history, holdings, neither };
ImportFileKind classify_import_file(std::string_view bytes);

}  // namespace chomaru
