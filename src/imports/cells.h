#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "imports/csv_text.h"
#include "store/account_type.h"
#include "store/currency.h"
#include "store/date_text.h"

// The cells of a broker's file as the import reads them. A cell is taken
// without blanks at either end; full-width digits, minus signs, commas and
// points read as their half-width forms.
namespace chomaru {

// A cell that says there is no value: empty, "-" or "--".
bool is_no_value(std::string_view cell);

// The value of a cell of 1 to 14 ASCII digits and nothing else, as the
// readers below read it; -1 for any other cell. Most cells of a file are
// such: the readers below take them here, inline, and any other cell in
// their `_in_full` forms.
inline int64_t plain_digits(std::string_view cell) {
    if (cell.empty() || cell.size() > 14) return -1;
    int64_t value = 0;
    for (const char c : cell) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<Currency> money_cell_in_full(std::string_view cell);
std::optional<int32_t> shares_cell_in_full(std::string_view cell);

// A cell of plain digits as a number of yen; false for any other cell.
inline bool plain_money(std::string_view cell, Currency& value) {
    const int64_t plain = plain_digits(cell);
    if (plain < 0) return false;
    value = Currency::from_units(plain * Currency::units_per_yen);
    return true;
}

// An amount or a price: thousands commas, a sign and a decimal fraction, read
// exactly. "--" (the brokers' none) is 0. Nothing for an empty cell or "-";
// anything else that does not read raises ConversionError or OverflowError.
inline std::optional<Currency> money_cell(std::string_view cell) {
    if (Currency value; plain_money(cell, value)) return value;
    return money_cell_in_full(cell);
}

// A whole positive count of shares, commas allowed; nothing for anything
// else (a fraction, zero, a negative count, more than 32 bits).
inline std::optional<int32_t> shares_cell(std::string_view cell) {
    if (const int64_t plain = plain_digits(cell); plain > 0 && plain <= std::numeric_limits<int32_t>::max())
        return int32_t(plain);
    return shares_cell_in_full(cell);
}

// A date: yyyy/m/d or yyyy-m-d (month and day with or without a leading
// zero), or yy/m/d, which is 20yy; nothing for anything else.
std::optional<Date> date_cell(std::string_view cell);

// The account a broker's 預り, 口座区分 or 口座 text names: 特定, 一般,
// NISA(成) / NISA (成長) / NISA成長投資枠, NISA(つ) / NISA (つみたて) /
// NISAつみたて投資枠, 旧NISA / 旧つみたてNISA. Nothing for any other text:
// an account is never guessed.
std::optional<AccountType> broker_account(std::string_view cell);

// Why a row naming an account broker_account does not know is not taken:
// "口座区分が不明: 外国株", the text without the blanks at its ends.
std::string unknown_account_reason(std::string_view cell);

// A cell of a row that does not read; `why` says which and why, in Japanese.
struct UnreadableCell {
    std::string why;
};

// Raises UnreadableCell "<what>が読めません: <the cell without blanks>".
[[noreturn]] void unreadable_cell(std::string_view what, std::string_view cell);

// Codes and names from a file, as typed ones are stored: blanks at either
// end removed and input method forms taken as code page 932 holds them
// (held_line_text). Each different text is checked once: a file names the
// same few stocks on many lines.
class StorableTexts {
public:
    // The stored form of the cell, valid while the cell and the texts are. A
    // text the data file could not hold
    // raises UnreadableCell "<what>に<why>": "銘柄名に改行があります",
    // "銘柄名に使えない文字があります: 삼성".
    std::string_view take(std::string_view cell, std::string_view what) {
        return take(cell, what, [cell] { return cell; });
    }

    // The same for a cell known by its bytes in the file: `cell()` gives
    // its text, and is asked for only when the bytes are new. ASCII bytes
    // are their own text.
    template <typename Cell>
    std::string_view take(std::string_view bytes, std::string_view what, Cell cell) {
        if (const std::optional<std::string_view> plain = plain_text(bytes)) return *plain;
        return keep(bytes, what, cell);
    }

    // The same, valid while the texts are, whatever becomes of the cell.
    template <typename Cell>
    std::string_view keep(std::string_view bytes, std::string_view what, Cell cell) {
        const Checked* checked = recent(bytes);
        if (checked == nullptr) checked = &add(bytes, cell());
        return stored(*checked, what);
    }

    // A copy of any text, valid while the texts are.
    std::string_view copy(std::string_view text) { return copies_.emplace_back(text); }

private:
    struct Checked {
        std::optional<std::string> text;
        std::string why;
    };
    using Known = std::unordered_map<std::string, Checked, TextHash, std::equal_to<>>;

    static std::optional<std::string_view> plain_text(std::string_view bytes);
    const Checked* recent(std::string_view bytes);
    const Checked& add(std::string_view bytes, std::string_view cell);
    static std::string_view stored(const Checked& checked, std::string_view what);

    Known known_;
    std::deque<std::string> copies_;
    // The texts met last, found again without hashing them whole.
    std::array<const Known::value_type*, 256> recent_{};
};

}  // namespace chomaru
