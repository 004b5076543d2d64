#include "imports/trade_history.h"

#include <algorithm>
#include <array>
#include <limits>

#include "imports/cells.h"
#include "imports/csv_text.h"
#include "store/numbers.h"

namespace chomaru {

namespace {

// The header row is looked for in this many lines from the top.
constexpr size_t header_search_lines = 30;

enum class Role { date, settlement, code, name, side, quantity, price, amount, account, charge };
constexpr size_t role_count = size_t(Role::charge) + 1;

struct HeaderName {
    std::string_view key;  // as header_key leaves it
    Role role;
};

// The one table of the names a header gives its columns. Where a header has
// several names of one role, the one listed first is taken; every column of
// a charge (fees and taxes) is taken, for an amount the file leaves out.
constexpr HeaderName header_names[] = {
    {"約定日", Role::date},
    {"取引日", Role::date},
    {"日付", Role::date},
    {"受渡日", Role::settlement},
    {"銘柄コード", Role::code},
    {"コード", Role::code},
    {"銘柄名", Role::name},
    {"銘柄", Role::name},
    {"売買区分", Role::side},
    {"売買", Role::side},
    {"取引", Role::side},
    {"取引区分", Role::side},
    {"約定数量", Role::quantity},
    {"数量", Role::quantity},
    {"株数", Role::quantity},
    {"約定単価", Role::price},
    {"単価", Role::price},
    {"約定価格", Role::price},
    {"受渡金額", Role::amount},
    {"受渡金額/決済損益", Role::amount},
    {"約定代金", Role::amount},
    {"金額", Role::amount},
    {"口座区分", Role::account},
    {"口座", Role::account},
    {"預り", Role::account},
    {"手数料", Role::charge},
    {"手数料/諸経費等", Role::charge},
    {"諸経費", Role::charge},
    {"諸費用", Role::charge},
    {"税額", Role::charge},
    {"税金等", Role::charge},
    {"税金", Role::charge},
};

constexpr Role required_roles[] = {Role::date, Role::code, Role::side, Role::quantity, Role::price, Role::amount};

// What the reasons call each column.
constexpr std::string_view role_names[role_count] = {"約定日", "受渡日", "銘柄コード", "銘柄名",   "売買",
                                                     "数量",   "単価",   "受渡金額",   "口座区分", "手数料"};

enum class Broker { sbi, rakuten, generic };

constexpr std::string_view format_names[] = {"SBI証券 約定履歴", "楽天証券 取引履歴", "汎用CSV"};

constexpr size_t no_column = HeaderNames::none;

struct Columns {
    Broker broker = Broker::generic;
    std::array<size_t, role_count> at;
    std::vector<size_t> charges;
    std::vector<std::string> charge_names;
    std::vector<size_t> sides;      // every column named as a side, the one taken among them
    size_t trade_kind = no_column;  // 楽天's 取引区分
    size_t needed = 0;              // fields a row must have for every required column

    Columns() { at.fill(no_column); }
    size_t operator[](Role role) const { return at[size_t(role)]; }
};

std::optional<Columns> header_columns(const std::vector<std::string_view>& fields) {
    Columns c;
    std::array<size_t, role_count> rank;
    rank.fill(std::size(header_names));
    const HeaderNames names(fields);
    const std::vector<std::string>& keys = names.keys();
    for (size_t i = 0; i < keys.size(); ++i) {
        for (size_t n = 0; n < std::size(header_names); ++n) {
            const HeaderName& h = header_names[n];
            if (h.key != keys[i]) continue;
            if (h.role == Role::side) c.sides.push_back(i);
            if (h.role == Role::charge) {
                c.charges.push_back(i);
                c.charge_names.push_back(keys[i]);
            } else if (n < rank[size_t(h.role)]) {
                rank[size_t(h.role)] = n;
                c.at[size_t(h.role)] = i;
            }
        }
    }
    for (const Role role : required_roles) {
        if (c[role] == no_column) return std::nullopt;
        c.needed = std::max(c.needed, c[role] + 1);
    }
    const std::string& side_key = keys[c[Role::side]];
    if (side_key == "売買区分" && names.column("取引区分") != no_column && names.column("信用区分") != no_column) {
        c.broker = Broker::rakuten;
        c.trade_kind = names.column("取引区分");
        c.needed = std::max(c.needed, c.trade_kind + 1);
    } else if (side_key == "取引" && names.column("預り") != no_column && names.column("課税") != no_column) {
        c.broker = Broker::sbi;
    }
    return c;
}

// The header found within the first lines, and the reader just after it.
std::optional<Columns> find_header(ImportRecords& reader) {
    while (reader.next() && reader.line() <= header_search_lines)
        if (std::optional<Columns> columns = header_columns(reader.fields())) return columns;
    return std::nullopt;
}

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// The side of a cash equity trade, or nothing with the reason in `why`.
std::optional<TradeSide> trade_side(const Columns& c, ImportRecords& fields, std::string& why) {
    const std::string_view side = trim_blanks(fields[c[Role::side]]);
    switch (c.broker) {
    case Broker::sbi:
        if (side == "株式現物買") return TradeSide::buy;
        if (side == "株式現物売") return TradeSide::sell;
        why = side.empty() ? "取引がありません" : std::string(side);
        return std::nullopt;
    case Broker::rakuten: {
        const std::string kind = header_key(fields[c.trade_kind]);
        if (kind == "現物" || kind == "現物単元未満") {
            if (side == "買付") return TradeSide::buy;
            if (side == "売付") return TradeSide::sell;
        }
        why = std::string(trim_blanks(fields[c.trade_kind]));
        if (!side.empty()) why += (why.empty() ? "" : " ") + std::string(side);
        if (why.empty()) why = "売買区分がありません";
        return std::nullopt;
    }
    case Broker::generic:
        break;
    }
    // A margin trade may say so in another column than the side's.
    for (const size_t i : c.sides) {
        const std::string_view text = trim_blanks(fields[i]);
        if (i != c[Role::side] && contains(text, "信用")) {
            why = std::string(text);
            return std::nullopt;
        }
    }
    const bool buy = contains(side, "買");
    const bool sell = contains(side, "売");
    if (buy != sell && !contains(side, "信用")) return buy ? TradeSide::buy : TradeSide::sell;
    why = side.empty() ? "売買がありません" : std::string(side);
    return std::nullopt;
}

std::string_view name_of(Role role) { return role_names[size_t(role)]; }

std::string_view cell_of(const Columns& c, ImportRecords& fields, Role role) { return fields[c[role]]; }

// An amount that is not negative; "-" and an empty cell are 0 only where
// `none_is_zero`.
Currency money(std::string_view cell, std::string_view what, bool none_is_zero = false) {
    if (Currency value; plain_money(cell, value)) return value;
    try {
        const std::optional<Currency> value = money_cell_in_full(cell);
        if (!value && none_is_zero) return Currency();
        if (value && *value >= Currency()) return *value;
    } catch (const ConversionError&) {
    } catch (const OverflowError&) {
    }
    unreadable_cell(what, cell);
}

// What was made of a column's cell, made again only when the cell's bytes
// differ from the last ones: a broker's file repeats a side, an account or
// a date on line after line.
template <typename T>
class LastCell {
public:
    template <typename Make>
    const T& get(std::string_view bytes, Make make) {
        if (!known_ || !same_text(bytes, bytes_)) {
            value_ = make();
            bytes_.assign(bytes);
            known_ = true;
        }
        return value_;
    }

private:
    std::string bytes_;
    T value_{};
    bool known_ = false;
};

// What can be read of a row that is not a trade, for the preview.
void read_shown_fields(const Columns& c, ImportRecords& fields, StorableTexts& texts, TradeRow& row) {
    row.date = date_cell(cell_of(c, fields, Role::date));
    row.code = std::string(trim_blanks(cell_of(c, fields, Role::code)));
    row.name = texts.copy(trim_blanks(cell_of(c, fields, Role::name)));
    row.shares = shares_cell(cell_of(c, fields, Role::quantity)).value_or(0);
}

// The rows of one file, read with what was made of the cells before.
class RowReader {
public:
    explicit RowReader(const Columns& columns) : c_(columns) {}

    // The texts the rows' names are views of.
    std::shared_ptr<StorableTexts> texts() const { return texts_; }

    // Reads the record into `row`, a new one.
    void read(ImportRecords& fields, TradeRow& row) {
        row.line = fields.line();
        if (fields.size() < c_.needed) {
            read_shown_fields(c_, fields, *texts_, row);
            row.reason = "列が足りません";
            return;
        }
        const Side& side = side_of(fields);
        std::string unknown;
        std::string_view why = side.why;
        if (side.side) row.side = *side.side;
        if (const size_t column = c_[Role::account]; column != no_column) {
            const std::optional<AccountType>& type =
                account_.get(fields.bytes(column), [&] { return broker_account(fields[column]); });
            if (type) {
                row.account = *type;
            } else if (side.side) {
                unknown = unknown_account_reason(fields[column]);
                why = unknown;
                row.account_unknown = true;
            }
        }
        if (!why.empty()) {
            read_shown_fields(c_, fields, *texts_, row);
            row.status = RowStatus::not_trade;
            row.reason = texts_->copy(why);
            return;
        }
        try {
            read_trade(fields, row);
            row.status = RowStatus::trade;
        } catch (UnreadableCell& u) {
            row.status = RowStatus::unreadable;
            row.reason = texts_->copy(u.why);
        }
    }

private:
    struct Side {
        std::optional<TradeSide> side;
        std::string why;  // when not a trade
    };

    // The side depends on the side's column and, for some files, others.
    const Side& side_of(ImportRecords& fields) {
        std::string_view key = fields.bytes(c_[Role::side]);
        if (c_.broker != Broker::sbi) {
            key_.assign(key);
            if (c_.broker == Broker::rakuten) (key_ += '\0') += fields.bytes(c_.trade_kind);
            for (const size_t i : c_.sides) (key_ += '\0') += fields.bytes(i);
            key = key_;
        }
        return side_.get(key, [&] {
            Side s;
            s.side = trade_side(c_, fields, s.why);
            return s;
        });
    }

    std::optional<Date> date(ImportRecords& fields, Role role, LastCell<std::optional<Date>>& last) {
        const size_t column = c_[role];
        const std::optional<Date>& date = last.get(fields.bytes(column), [&] { return date_cell(fields[column]); });
        if (!date) unreadable_cell(name_of(role), fields[column]);
        return date;
    }

    std::string_view text(ImportRecords& fields, Role role) {
        const size_t column = c_[role];
        return texts_->take(fields.bytes(column), name_of(role), [&] { return fields[column]; });
    }

    // Reads every field of a trade; raises UnreadableCell for the first
    // that does not read.
    void read_trade(ImportRecords& fields, TradeRow& row) {
        row.date = date(fields, Role::date, dates_);
        if (c_[Role::settlement] != no_column && !is_no_value(cell_of(c_, fields, Role::settlement)))
            row.settlement = date(fields, Role::settlement, settlements_);
        row.code = text(fields, Role::code);
        if (row.code.empty()) throw UnreadableCell{"銘柄コードがありません"};
        if (const size_t column = c_[Role::name]; column != no_column)
            row.name = texts_->keep(fields.bytes(column), name_of(Role::name), [&] { return fields[column]; });

        const std::string_view quantity = cell_of(c_, fields, Role::quantity);
        const std::optional<int32_t> shares = shares_cell(quantity);
        if (!shares) unreadable_cell(name_of(Role::quantity), quantity);
        row.shares = *shares;
        const std::string_view price = cell_of(c_, fields, Role::price);
        if (is_no_value(price)) unreadable_cell(name_of(Role::price), price);
        row.unit_price = money(price, name_of(Role::price));
        try {
            // A whole number of yen is its own rounding.
            const int64_t yen = row.unit_price.units() / Currency::units_per_yen;
            row.price = row.unit_price.is_whole() && yen <= std::numeric_limits<int32_t>::max()
                            ? int32_t(yen)
                            : round_to_int32(row.unit_price.to_double());
        } catch (const OverflowError&) {
            unreadable_cell(name_of(Role::price), price);
        }

        const std::string_view amount = cell_of(c_, fields, Role::amount);
        if (!is_no_value(amount)) {
            row.amount = money(amount, name_of(Role::amount));
            return;
        }
        // Not settled yet: the trade value with the fees and taxes paid on a
        // buy and kept back from a sale.
        int64_t value;
        if (__builtin_mul_overflow(row.unit_price.units(), int64_t(row.shares), &value))
            unreadable_cell(name_of(Role::amount), amount);
        Currency charges;
        try {
            for (size_t k = 0; k < c_.charges.size(); ++k)
                charges += money(fields[c_.charges[k]], c_.charge_names[k], true);
            row.amount = row.side == TradeSide::buy ? Currency::from_units(value) + charges
                                                    : Currency::from_units(value) - charges;
        } catch (const OverflowError&) {
            unreadable_cell(name_of(Role::amount), amount);
        }
        if (row.amount < Currency())
            throw UnreadableCell{"受渡金額を計算できません（手数料・税が約定代金を超えています）"};
        row.amount_computed = true;
    }

    const Columns& c_;
    std::shared_ptr<StorableTexts> texts_ = std::make_shared<StorableTexts>();
    std::string key_;
    LastCell<Side> side_;
    LastCell<std::optional<AccountType>> account_;
    LastCell<std::optional<Date>> dates_;
    LastCell<std::optional<Date>> settlements_;
};

bool all_blank(ImportRecords& fields) {
    for (size_t i = 0; i < fields.size(); ++i)
        if (!trim_blanks(fields[i]).empty()) return false;
    return true;
}

}  // namespace

TradeRecord TradeRow::record() const {
    return TradeRecord{date ? short_date_text(*date) : std::string(), price, shares, amount};
}

bool has_trade_history_header(std::string_view bytes) {
    ImportRecords reader(bytes);
    return find_header(reader).has_value();
}

TradeHistory read_trade_history(std::string_view bytes) {
    ImportRecords reader(bytes, ImportRecords::Check::as_read);
    const std::optional<Columns> columns = find_header(reader);
    if (!columns) {
        reader.check_rest();
        throw ImportError("取引履歴の見出し行が見つかりません（約定日・銘柄コード・売買・数量・単価・受渡金額）");
    }
    TradeHistory history;
    history.format = format_names[size_t(columns->broker)];
    history.encoding = reader.encoding();
    history.header_line = reader.line();
    RowReader rows(*columns);
    history.rows.reserve(count_line_feeds(bytes) + 1 - reader.line());
    while (reader.next())
        if (!all_blank(reader)) {
            // Made here, not in the vector: zeroing a row in place takes a
            // slow string instruction.
            TradeRow row;
            rows.read(reader, row);
            history.rows.push_back(std::move(row));
        }
    history.texts = rows.texts();
    return history;
}

}  // namespace chomaru
