#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "store/account_type.h"
#include "store/currency.h"

namespace chomaru {

inline constexpr int max_stocks = 256;
inline constexpr int max_records = 256;
inline constexpr int fee_brackets = 6;

// One buy or one sell: the trade date as text, the unit price, the share
// count and the amount actually paid or received.
enum class TradeSide { buy, sell };

struct TradeRecord {
    std::string date;
    int32_t price = 0;
    int32_t shares = 0;
    Currency amount;

    bool operator==(const TradeRecord&) const = default;
};

// The record slots of one side of a stock. The slots are made on the first
// write, so the stocks a portfolio does not use cost neither memory nor time
// at start-up; until then every slot reads as an empty record. Copies are
// deep; a move hands the slots over.
class RecordTable {
public:
    using Slots = std::array<TradeRecord, max_records>;

    RecordTable() = default;
    RecordTable(const RecordTable& other);
    RecordTable& operator=(const RecordTable& other);
    RecordTable(RecordTable&&) noexcept = default;
    RecordTable& operator=(RecordTable&&) noexcept = default;
    ~RecordTable() = default;

    static constexpr size_t size() { return max_records; }

    TradeRecord& operator[](size_t i) { return written()[i]; }
    const TradeRecord& operator[](size_t i) const { return read()[i]; }
    TradeRecord& at(size_t i) { return written().at(i); }
    const TradeRecord& at(size_t i) const { return read().at(i); }
    TradeRecord* data() { return written().data(); }
    const TradeRecord* data() const { return read().data(); }
    Slots::iterator begin() { return written().begin(); }
    Slots::iterator end() { return written().end(); }
    Slots::const_iterator begin() const { return read().begin(); }
    Slots::const_iterator end() const { return read().end(); }

    // Every slot, the unused ones too.
    bool operator==(const RecordTable& other) const { return read() == other.read(); }

private:
    // Gives slots back to where make_slots took them from.
    struct GiveBack {
        void operator()(Slots* slots) const;
    };
    using Owned = std::unique_ptr<Slots, GiveBack>;
    static Owned make_slots(const Slots* copy_of);

    Slots& written();
    const Slots& read() const;

    Owned slots_;
};

// The price a stock was last seen at, and the day it was set.
struct QuotedPrice {
    Currency price;
    std::string date;  // yyyy/mm/dd
    bool operator==(const QuotedPrice&) const = default;
};

// A split or a consolidation taking effect on `date`: `before` shares
// become `after` shares (1:2 splits one share into two, 5:1 consolidates
// five into one).
struct Split {
    std::string date;  // yyyy/mm/dd
    int32_t before = 1;
    int32_t after = 1;
    bool operator==(const Split&) const = default;
};
inline constexpr int32_t max_split_ratio = 1000;
// Whole numbers of shares from 1 to 1000 on either side.
inline bool is_split_ratio(int32_t before, int32_t after) {
    return before >= 1 && before <= max_split_ratio && after >= 1 && after <= max_split_ratio;
}
// The ratio of "1:2" or " 5 : 1 ": whole numbers of ASCII digits either side
// of one colon, blanks around them, each from 1 to 1000; nothing for any
// other text. The split's date is left empty.
std::optional<Split> split_ratio(std::string_view text);
// "分割 1:2" for a split, "併合 5:1" for a consolidation (fewer shares after).
std::string split_text(const Split& split);

// A dividend received: the payment date, the amount before tax and the tax
// withheld from it.
struct DividendPayment {
    std::string date;  // yyyy/mm/dd
    Currency gross;
    Currency withheld;
    bool operator==(const DividendPayment&) const = default;
};

// Everything of a stock but its trade records: what it is called, the
// account it is held in, what its records add up to, and what is kept
// beside them.
struct StockFigures {
    std::string stock_code;
    std::string stock_name;
    int32_t dividend = 0;
    int32_t avg_buy_price = 0;
    int32_t held_shares = 0;
    Currency realized_profit;
    float dividend_yield = 0.0f;
    AccountType account = AccountType::tokutei;
    std::optional<QuotedPrice> price;
    std::vector<Split> splits;
    std::vector<DividendPayment> payments;
};

// Every field of a stock's figures, for comparing, hashing and copying them
// in one place: the binding names each member, so a member added to
// StockFigures and not here does not compile.
template <typename Figures>
auto figure_fields(Figures& f) {
    auto& [code, name, dividend, average, held, profit, yield, account, price, splits, payments] = f;
    return std::tie(code, name, dividend, average, held, profit, yield, account, price, splits, payments);
}

// Equal in every field; floats compare by their bits, so that a stored NaN
// is the same as itself and 0 is not -0.
bool same_figures(const StockFigures& a, const StockFigures& b);
size_t hash_figures(const StockFigures& figures);
size_t hash_record(const TradeRecord& record);

struct Stock : StockFigures {
    int32_t buy_count = 0;
    int32_t sell_count = 0;
    // Records 0 .. count - 1 are in use; slots above may hold stale values
    // and are never shown or saved.
    RecordTable buys;
    RecordTable sells;
};
// The undo history keeps a stock as its figures and its records in use: a
// member added to Stock beside them must be kept there too.
static_assert(sizeof(Stock) == sizeof(StockFigures) + 2 * sizeof(int32_t) + 2 * sizeof(RecordTable),
              "a new member of Stock must be kept by the undo history");

struct FeeTable {
    std::array<int32_t, fee_brackets> fee_limit{};
    std::array<float, fee_brackets> fee_rate{};
    std::array<int32_t, fee_brackets> fee_add{};
    int32_t fee_min = 0;
    int32_t fee_max = 0;
    // The consumption tax on the commission and the levy on a sale's trade
    // value, in percent, as exact counts of their smallest steps: 5% and
    // 1.05% unless the user sets other rates.
    int32_t consumption_tax = default_consumption_tax;
    int32_t sale_levy = default_sale_levy;

    static constexpr int consumption_tax_decimals = 2;
    static constexpr int sale_levy_decimals = 4;
    static constexpr int32_t default_consumption_tax = 500;
    static constexpr int32_t default_sale_levy = 10500;

    static FeeTable defaults();
    bool operator==(const FeeTable&) const = default;
};

// Everything of the portfolio but its stocks.
struct PortfolioHead {
    int32_t last_stock = 0;
    int32_t current_stock = 0;
    // A line of the data file kept as read and written back unchanged.
    std::string reserved_line;
    FeeTable fees;
    // The extension lines a later version of the program wrote, which this
    // one does not know, kept as read (code page 932 bytes) and written back
    // unchanged; and the highest version of the extension section read.
    std::vector<std::string> kept_lines;
    int32_t extension_version = 0;

    bool operator==(const PortfolioHead&) const = default;
};

// The one data set of the program, of fixed capacity: 256 stocks with 256
// buy and 256 sell records each. Stocks 0 .. last_stock are in use.
struct Portfolio : PortfolioHead {
    std::array<Stock, max_stocks> stocks;

    static std::unique_ptr<Portfolio> create() { return std::make_unique<Portfolio>(); }

    Stock& current() { return stocks.at(size_t(current_stock)); }
    const Stock& current() const { return stocks.at(size_t(current_stock)); }
    int stock_count() const { return last_stock + 1; }
};

// The name a stock is listed under: its name, or "（名称なし）" for a stock
// with neither code nor name (a first run with both prompts cancelled), so
// that it is not taken for an empty row. The stock itself stays unnamed.
// An entry held in an account other than 特定 carries the account's tag,
// "トヨタ自動車 ［NISA成長］", so that two entries of one code are told apart.
std::string shown_name(const Stock& stock);
inline bool is_unnamed(const Stock& stock) { return stock.stock_code.empty() && stock.stock_name.empty(); }

// Resets the selected stock to an empty one: no code, no name, every figure
// and both record counts 0. The record slots themselves are left as they are.
void z_data_init(Portfolio& portfolio);

// Appends a record to one side of a stock. A full side raises
// OverflowError and changes nothing.
void append_record(RecordTable& records, int32_t& count, const TradeRecord& record);

// Removes record `index` (0-based) of one side of a stock: the later
// records move down one place and the count falls by one. An index outside
// 0 .. count - 1 raises std::out_of_range and changes nothing.
void remove_record(RecordTable& records, int32_t& count, int32_t index);

// Removes the selected stock with its records and figures: the stocks after
// it move down one place and the first stock becomes the selected one. The
// only stock is not removed but blanked with z_data_init.
void remove_current_stock(Portfolio& portfolio);

// The state of a first run: one stock with the given code and name, no
// records, the default commission table. reserved_line is kept.
void reset_to_first_stock(Portfolio& portfolio, std::string code, std::string name);

}  // namespace chomaru
