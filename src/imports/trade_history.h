#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "imports/cells.h"
#include "store/account_type.h"
#include "store/currency.h"
#include "store/date_text.h"
#include "store/portfolio.h"

// A broker's trade history (約定履歴) read from the bytes of its CSV file:
// one row for each data line, each with what it says and whether it is a
// trade to import. Nothing here looks at the portfolio; plan_import does.
namespace chomaru {

enum class RowStatus {
    trade,       // a cash equity buy or sell, read whole
    not_trade,   // 対象外: anything else (margin, funds, transfers...), or an unknown account
    unreadable,  // a date, a number or a text that does not read
};

// A row of the file. Its texts are views of the history's texts (or of
// constant ones): a row lives as long as its history. Twenty thousand of
// them are read for a preview, so they are kept small.
struct TradeRow {
    size_t line = 0;  // 1-based line of the file
    RowStatus status = RowStatus::unreadable;
    // Why the row is not a trade or does not read, in Japanese: "信用新規買",
    // "口座区分が不明: 外国株", "約定日が読めません: 2025/13/01".
    std::string_view reason;

    // What the row says, as far as it was read (every field for a trade).
    AccountType account = AccountType::tokutei;  // 特定 when the file has no account column or names none known
    TradeSide side = TradeSide::buy;
    bool account_unknown = false;  // a trade in an account not known, which is not imported
    // 受渡金額 is missing ("-", "--" or empty): `amount` is the unit price ×
    // shares plus (buy) or minus (sell) the fee and tax columns.
    bool amount_computed = false;
    int32_t shares = 0;
    int32_t price = 0;               // the unit price rounded to a whole yen, ties to even
    std::optional<Date> date;        // 約定日
    std::optional<Date> settlement;  // 受渡日, when the file has it
    std::string code;                // blanks at either end removed
    std::string_view name;           // as a typed name is stored
    Currency unit_price;             // exact, as the file gives it
    Currency amount;                 // 受渡金額 as given, or computed (above)

    // The record a trade becomes: the date as yyyy/mm/dd, the whole-yen
    // price, the shares and the amount.
    TradeRecord record() const;
};

struct TradeHistory {
    std::string format;    // "SBI証券 約定履歴", "楽天証券 取引履歴" or "汎用CSV"
    std::string encoding;  // "UTF-8" or "Shift_JIS"
    size_t header_line = 0;
    std::vector<TradeRow> rows;  // the data lines after the header, empty lines left out
    // The rows' names, each different one once; copies of the history
    // share them.
    std::shared_ptr<const StorableTexts> texts;
};

// The header row is found by its names within the first 30 lines, whatever
// comes before it:
// - SBI証券's 約定履歴 (its columns 取引, 預り and 課税): a trade is a 取引 of
//   株式現物買 or 株式現物売;
// - 楽天証券's tradehistory(JP) (取引区分, 売買区分 and 信用区分): a trade is
//   a 売買区分 of 買付 or 売付 with a 取引区分 of 現物 or 現物(単元未満);
// - any other file whose header names a date, a code, a side, a quantity, a
//   unit price and an amount (see the synonyms in trade_history.cpp): a
//   trade is a side holding 買 or 売 but not both, nor 信用 (margin).
// Raises ImportError for a file that is not text or too large (see
// decode_import_text) and "取引履歴の見出し行が見つかりません（約定日・
// 銘柄コード・売買・数量・単価・受渡金額）" when no header is found.
TradeHistory read_trade_history(std::string_view bytes);

// Whether a header of the trade history lies within the first 30 lines of
// a file's bytes; raises ImportError as read_trade_history.
bool has_trade_history_header(std::string_view bytes);

}  // namespace chomaru
