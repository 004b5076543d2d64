#include "store/data_file.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "store/cp932.h"
#include "store/date_text.h"
#include "store/numbers.h"
#include "store/regional_text.h"
#include "store/safe_file.h"
#include "store/typed_text.h"

namespace chomaru {

namespace {

// The reader takes the blanks of a record line at character positions
// (1-based) of at most 254, 254 and 255.
constexpr size_t max_first_blank = 254;
constexpr size_t max_second_blank = 254;
constexpr size_t max_third_blank = 255;

struct Unreadable {};

// Runs a conversion of text to a number; its errors become Failure, how the
// caller tells that the text does not read.
template <typename Failure, typename Convert>
auto converted_or(Convert convert, std::string_view text) {
    try {
        return convert(text);
    } catch (const ConversionError&) {
        throw Failure{};
    } catch (const OverflowError&) {
        throw Failure{};
    }
}

size_t decimal_length(int32_t value) {
    char buffer[16];
    return size_t(std::to_chars(buffer, buffer + sizeof buffer, value).ptr - buffer);
}

// Whether the written line of a record whose date has `date_chars`
// characters keeps its blanks where the reader looks for them.
bool blanks_within_reach(size_t date_chars, int32_t price, int32_t shares) {
    const size_t p1 = date_chars + 1;
    const size_t p2 = p1 + decimal_length(price) + 1;
    const size_t p3 = p2 + decimal_length(shares) + 1;
    return p1 <= max_first_blank && p2 <= max_second_blank && p3 <= max_third_blank;
}

// Counts characters of UTF-8 text: bytes that do not continue a sequence.
size_t char_count(std::string_view text) {
    size_t count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

std::string decode(std::string_view bytes) {
    try {
        return cp932_to_utf8(bytes);
    } catch (const EncodingError&) {
        throw Unreadable{};
    }
}

// The lines of the file one after another, read in place: a line ends at
// CR, LF or CR LF, and a last line without an end counts too. A copy of the
// reader is a bookmark to read ahead from.
class LineReader {
public:
    explicit LineReader(std::string_view bytes) : bytes_(bytes) {}

    bool at_end() const { return next_ >= bytes_.size(); }

    // A line's bytes, and whether they are plain ASCII, which every
    // encoding reads alike.
    struct Line {
        std::string_view bytes;
        bool ascii;
    };

    Line line() {
        if (at_end()) throw Unreadable{};
        // Lines are short: one pass over the bytes finds either end and
        // any byte outside ASCII.
        const size_t n = bytes_.size();
        size_t end = next_;
        unsigned char seen = 0;
        for (; end < n && bytes_[end] != '\r' && bytes_[end] != '\n'; ++end)
            seen |= static_cast<unsigned char>(bytes_[end]);
        const Line taken{bytes_.substr(next_, end - next_), seen < 0x80};
        if (end + 1 < n && bytes_[end] == '\r' && bytes_[end + 1] == '\n') ++end;
        next_ = std::min(end + 1, n);
        ++lines_taken_;
        return taken;
    }
    // A line's text: its bytes themselves when they are ASCII, else their
    // decoding, kept in `storage`.
    static std::string_view text_of(const Line& line, std::string& storage) {
        if (line.ascii) return line.bytes;
        storage = decode(line.bytes);
        return storage;
    }

    std::string_view raw() { return line().bytes; }
    std::string text() { return decode(raw()); }
    template <typename Convert>
    auto number(Convert convert) {
        // Numbers are nearly always plain ASCII and are read from the bytes.
        std::string decoded;
        return converted_or<Unreadable>(convert, text_of(line(), decoded));
    }
    int32_t integer() { return number(text_to_int32); }
    Currency currency() { return number(text_to_currency); }
    float single() { return number(text_to_float); }

    // Reads a record line into `r`: the date, the price, the shares and the
    // amount, each after a blank.
    void record(TradeRecord& r) {
        const Line taken = line();
        const bool ascii = taken.ascii;
        std::string decoded;
        const std::string_view view = text_of(taken, decoded);
        size_t blank[3];
        size_t found = 0;
        for (size_t i = 0; i < view.size() && found < 3; ++i)
            if (view[i] == ' ') blank[found++] = i;
        if (found < 3) throw Unreadable{};
        const auto [b1, b2, b3] = blank;
        // Positions count characters; in ASCII text they are the bytes.
        auto chars = [ascii](std::string_view text) { return ascii ? text.size() : char_count(text); };
        const size_t p1 = chars(view.substr(0, b1)) + 1;
        const size_t p2 = p1 + chars(view.substr(b1 + 1, b2 - b1 - 1)) + 1;
        const size_t p3 = p2 + chars(view.substr(b2 + 1, b3 - b2 - 1)) + 1;
        if (p1 > max_first_blank || p2 > max_second_blank || p3 > max_third_blank) throw Unreadable{};
        try {
            r.date.assign(view.substr(0, b1));
            r.price = text_to_int32(view.substr(b1 + 1, b2 - b1 - 1));
            r.shares = text_to_int32(view.substr(b2 + 1, b3 - b2 - 1));
            r.amount = text_to_currency(view.substr(b3 + 1));
        } catch (const ConversionError&) {
            throw Unreadable{};
        } catch (const OverflowError&) {
            throw Unreadable{};
        }
        // A number read from a longer text than its written form ("1E9")
        // could push the blanks of the written line out of reach, and then
        // no save of the run would succeed.
        if (!blanks_within_reach(p1 - 1, r.price, r.shares)) throw Unreadable{};
    }

    // How many lines were taken so far.
    size_t position() const { return lines_taken_; }

private:
    std::string_view bytes_;
    size_t next_ = 0;
    size_t lines_taken_ = 0;
};

int32_t read_count(LineReader& in, ReadGaps& gaps) {
    const int32_t count = in.integer();
    if (count > max_records) throw Unreadable{};
    // A count below zero stands for no records; keeping it negative would
    // make the next record land outside the table.
    if (count < 0) {
        ++gaps.clamped_counts;
        return 0;
    }
    return count;
}

void read_records(LineReader& in, RecordTable& records, int32_t count) {
    TradeRecord* slots = count > 0 ? records.data() : nullptr;
    for (int32_t i = 0; i < count; ++i) in.record(slots[i]);
}

void first_run_state(Portfolio& portfolio) { reset_to_first_stock(portfolio, "", ""); }

void put_line(std::string& out, std::string_view line) {
    out += line;
    out += "\r\n";
}

std::string encode_line(std::string_view text, const char* what) {
    if (text.find_first_of("\r\n") != std::string_view::npos)
        throw DataFileError(std::string(what) + "に改行が含まれています");
    try {
        return utf8_to_cp932(text);
    } catch (const EncodingError&) {
        throw DataFileError(std::string(what) + "にデータファイルに書けない文字が含まれています");
    }
}

void put_int64(std::string& out, int64_t value) {
    char buffer[24];
    out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

void put_int(std::string& out, int32_t value) {
    char buffer[16];
    out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// Any line the reader takes is written back: the limit is where the blanks
// fall, not a fixed length of the date, so a long date read from a file can
// be saved again.
void put_record(std::string& out, const TradeRecord& r) {
    if (r.date.find(' ') != std::string::npos) throw DataFileError("記録の日付に空白が含まれています");
    if (!blanks_within_reach(char_count(r.date), r.price, r.shares))
        throw DataFileError("記録の行がデータファイルには長すぎます");
    out += encode_line(r.date, "記録の日付");
    out += ' ';
    put_int(out, r.price);
    out += ' ';
    put_int(out, r.shares);
    out += ' ';
    if (r.amount.is_whole())
        put_int64(out, r.amount.units() / Currency::units_per_yen);
    else
        out += currency_text(r.amount);
    out += "\r\n";
}

// The extension section follows fee_max: key=value lines led by the version
// line, written only when some key differs from its default, so a file
// without extensions keeps the original layout and a reader that stops at
// fee_max ignores the section. Later versions only add keys: the keys of
// this version are read from a newer section too, and the lines of keys
// this version does not know are kept and written back as they were.
constexpr std::string_view version_key = "帳丸拡張";
constexpr int32_t section_version = 1;

// A value that does not read as its key's.
struct BadValue {};

// The comma-separated fields of a value.
std::vector<std::string_view> fields_of(std::string_view value, size_t count) {
    std::vector<std::string_view> fields;
    for (size_t start = 0;;) {
        const size_t comma = value.find(',', start);
        fields.push_back(value.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (fields.size() != count) throw BadValue{};
    return fields;
}

template <typename Convert>
auto converted(Convert convert, std::string_view text) {
    return converted_or<BadValue>(convert, text);
}

// A date as the program writes it: yyyy/mm/dd, a real date.
std::string date_field(std::string_view text) {
    const Date date = converted(text_to_date, text);
    if (short_date_text(date) != text) throw BadValue{};
    return std::string(text);
}

Stock& stock_field(std::string_view text, Portfolio& portfolio) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) throw BadValue{};
    const int32_t index = converted(text_to_int32, text);
    if (index < 0 || index > portfolio.last_stock) throw BadValue{};
    return portfolio.stocks[size_t(index)];
}

// A rate as typed in the commission dialog, full-width digits too.
int32_t rate_field(std::string_view text, int decimals) {
    return converted([decimals](std::string_view t) { return text_to_steps(t, decimals); },
                     half_width_number_text(text));
}

// One key of the section: how its value is read into the portfolio, and
// the values it writes (the whole text after "key="), none while it holds
// its default. A per-stock key writes its values for one stock; its values
// begin with the stock's index.
struct ExtensionKey {
    std::string_view key;
    bool per_stock;
    void (*read)(std::string_view value, Portfolio& portfolio);
    std::vector<std::string> (*written)(const Portfolio& portfolio, const Stock& stock);
};

template <int32_t FeeTable::*rate, int32_t default_rate, int decimals>
ExtensionKey rate_key(std::string_view key) {
    return {key, false, [](std::string_view value, Portfolio& p) { p.fees.*rate = rate_field(value, decimals); },
            [](const Portfolio& p, const Stock&) {
                return p.fees.*rate == default_rate ? std::vector<std::string>{}
                                                    : std::vector<std::string>{steps_text(p.fees.*rate, decimals)};
            }};
}

const ExtensionKey extension_keys[] = {
    rate_key<&FeeTable::consumption_tax, FeeTable::default_consumption_tax, FeeTable::consumption_tax_decimals>(
        "消費税率"),
    rate_key<&FeeTable::sale_levy, FeeTable::default_sale_levy, FeeTable::sale_levy_decimals>("売却時の税率"),
    // 口座区分=<stock>,<account>: only for an account other than 特定.
    {"口座区分", true,
     [](std::string_view value, Portfolio& p) {
         const auto f = fields_of(value, 2);
         Stock& stock = stock_field(f[0], p);
         const std::optional<AccountType> type = account_from_name(f[1]);
         if (!type) throw BadValue{};
         stock.account = *type;
     },
     [](const Portfolio&, const Stock& stock) {
         return stock.account == AccountType::tokutei
                    ? std::vector<std::string>{}
                    : std::vector<std::string>{std::string(account_name(stock.account))};
     }},
    // 現在値=<stock>,<price>,<date>
    {"現在値", true,
     [](std::string_view value, Portfolio& p) {
         const auto f = fields_of(value, 3);
         Stock& stock = stock_field(f[0], p);
         const Currency price = converted(text_to_currency, f[1]);
         stock.price = QuotedPrice{price, date_field(f[2])};
     },
     [](const Portfolio&, const Stock& stock) {
         return stock.price ? std::vector<std::string>{currency_text(stock.price->price) + "," + stock.price->date}
                            : std::vector<std::string>{};
     }},
    // 分割=<stock>,<date>,<before>:<after>, one line for each, in order.
    {"分割", true,
     [](std::string_view value, Portfolio& p) {
         const auto f = fields_of(value, 3);
         Stock& stock = stock_field(f[0], p);
         const std::string date = date_field(f[1]);
         const size_t colon = f[2].find(':');
         if (colon == std::string_view::npos) throw BadValue{};
         const int32_t before = converted(text_to_int32, f[2].substr(0, colon));
         const int32_t after = converted(text_to_int32, f[2].substr(colon + 1));
         if (!is_split_ratio(before, after)) throw BadValue{};
         stock.splits.push_back(Split{date, before, after});
     },
     [](const Portfolio&, const Stock& stock) {
         std::vector<std::string> values;
         for (const Split& split : stock.splits)
             values.push_back(split.date + "," + int_text(split.before) + ":" + int_text(split.after));
         return values;
     }},
    // 配当金=<stock>,<date>,<before tax>,<withheld>, one line for each, in order.
    {"配当金", true,
     [](std::string_view value, Portfolio& p) {
         const auto f = fields_of(value, 4);
         Stock& stock = stock_field(f[0], p);
         const std::string date = date_field(f[1]);
         stock.payments.push_back(
             DividendPayment{date, converted(text_to_currency, f[2]), converted(text_to_currency, f[3])});
     },
     [](const Portfolio&, const Stock& stock) {
         std::vector<std::string> values;
         for (const DividendPayment& payment : stock.payments)
             values.push_back(payment.date + "," + currency_text(payment.gross) + "," +
                              currency_text(payment.withheld));
         return values;
     }},
};

void put_extensions(std::string& out, const Portfolio& portfolio) {
    std::string section;
    for (const ExtensionKey& key : extension_keys) {
        const auto put = [&](const std::string& prefix, const Stock& stock) {
            for (const std::string& value : key.written(portfolio, stock))
                put_line(section, encode_line(std::string(key.key) + "=" + prefix + value, "拡張の行"));
        };
        if (!key.per_stock) put("", portfolio.stocks[0]);
        if (!key.per_stock) continue;
        for (int32_t j = 0; j <= portfolio.last_stock; ++j) put(int_text(j) + ",", portfolio.stocks[size_t(j)]);
    }
    for (const std::string& kept : portfolio.kept_lines) put_line(section, kept);
    if (section.empty()) return;
    put_line(out, utf8_to_cp932(std::string(version_key) + "=" +
                                int_text(std::max(section_version, portfolio.extension_version))));
    out += section;
}

// Reads the extension section from `in` into `portfolio`: its known keys,
// the lines of unknown keys (kept), and the number of every line whose value
// does not read (in `gaps`; such a value is left at its default). The
// section ends at the first line that is not key=value; what follows is
// left for the caller.
void read_extensions(LineReader& in, Portfolio& portfolio, ReadGaps& gaps) {
    bool seen_global[std::size(extension_keys)] = {};
    while (!in.at_end()) {
        LineReader ahead = in;
        const LineReader::Line line = ahead.line();
        std::string decoded;
        std::string_view text;
        try {
            text = LineReader::text_of(line, decoded);
        } catch (const Unreadable&) {
            break;
        }
        const size_t equals = text.find('=');
        if (equals == std::string_view::npos || equals == 0) break;
        in = ahead;
        const std::string_view key = text.substr(0, equals);
        const std::string_view value = text.substr(equals + 1);
        const size_t line_number = in.position();
        if (key == version_key) {
            try {
                const int32_t version = converted(text_to_int32, value);
                if (version < 1) throw BadValue{};
                portfolio.extension_version = std::max(portfolio.extension_version, version);
            } catch (const BadValue&) {
                gaps.unread_settings.push_back(line_number);
            }
            continue;
        }
        const auto known = std::find_if(std::begin(extension_keys), std::end(extension_keys),
                                        [key](const ExtensionKey& k) { return k.key == key; });
        if (known == std::end(extension_keys)) {
            portfolio.kept_lines.emplace_back(line.bytes);
            continue;
        }
        bool& seen = seen_global[size_t(known - std::begin(extension_keys))];
        try {
            // A setting of the whole portfolio given twice: the second is
            // not read.
            if (!known->per_stock && seen) throw BadValue{};
            known->read(value, portfolio);
            seen = !known->per_stock;
        } catch (const BadValue&) {
            gaps.unread_settings.push_back(line_number);
        }
    }
}

// The commission table, or nothing when its lines are missing or do not
// read; `in` moves past it only when it was read.
std::optional<FeeTable> read_fee_table(LineReader& in) {
    LineReader ahead = in;
    try {
        FeeTable t;
        for (size_t i = 0; i < fee_brackets; ++i) {
            t.fee_limit[i] = ahead.integer();
            t.fee_rate[i] = ahead.single();
            t.fee_add[i] = ahead.integer();
        }
        t.fee_min = ahead.integer();
        t.fee_max = ahead.integer();
        in = ahead;
        return t;
    } catch (const Unreadable&) {
        return std::nullopt;
    }
}

// Counts the lines from `in` to the last one that is not blank, and where
// they begin, in `gaps`.
void count_lines_left(LineReader in, ReadGaps& gaps) {
    const size_t taken = in.position();
    size_t last_written = taken;
    while (!in.at_end())
        if (in.raw().find_first_not_of(" \t") != std::string_view::npos) last_written = in.position();
    if (last_written > taken) {
        gaps.first_line_left = taken + 1;
        gaps.lines_left = last_written - taken;
    }
}

}  // namespace

bool is_storable_line(std::string_view text) {
    return text.find_first_of("\r\n") == std::string_view::npos && cp932_can_hold(text);
}

bool is_storable_date(std::string_view date) {
    return date.find(' ') == std::string_view::npos && char_count(date) <= max_date_length && is_storable_line(date);
}

LoadStatus parse_data_file(std::string_view bytes, Portfolio& portfolio) {
    ReadGaps ignored;
    return parse_data_file(bytes, portfolio, ignored);
}

LoadStatus parse_data_file(std::string_view bytes, Portfolio& portfolio, ReadGaps& gaps) {
    gaps = ReadGaps{};
    LineReader in(bytes);
    if (in.at_end()) {
        portfolio.reserved_line.clear();
        first_run_state(portfolio);
        return LoadStatus::empty;
    }
    portfolio.reserved_line.clear();
    portfolio.kept_lines.clear();
    portfolio.extension_version = 0;
    try {
        const int32_t last_stock = in.integer();
        if (last_stock < 0 || last_stock >= max_stocks) throw Unreadable{};
        int32_t current_stock = in.integer();
        portfolio.reserved_line = in.text();
        for (int32_t j = 0; j <= last_stock; ++j) {
            Stock& s = portfolio.stocks[size_t(j)];
            // What the extension section may add starts from nothing.
            static_cast<StockFigures&>(s) = StockFigures();
            s.stock_code = in.text();
            s.stock_name = in.text();
            s.dividend = in.integer();
            s.buy_count = read_count(in, gaps);
            s.sell_count = read_count(in, gaps);
            s.avg_buy_price = in.integer();
            s.held_shares = in.integer();
            s.realized_profit = in.currency();
            s.dividend_yield = in.single();
            read_records(in, s.buys, s.buy_count);
            read_records(in, s.sells, s.sell_count);
        }
        // A selection outside the stocks would show and change a stock that
        // is never saved; the first stock is shown instead.
        if (current_stock < 0 || current_stock > last_stock) {
            current_stock = 0;
            gaps.selection_clamped = true;
        }
        portfolio.last_stock = last_stock;
        portfolio.current_stock = current_stock;
        // The reader takes the commission table when it can and otherwise
        // falls back to the default one; either way the user is told what
        // was not read, so that a save never drops it unnoticed.
        if (std::optional<FeeTable> fees = read_fee_table(in)) {
            portfolio.fees = *fees;
            read_extensions(in, portfolio, gaps);
        } else {
            portfolio.fees = FeeTable::defaults();
            gaps.fee_table_unread = true;
        }
        count_lines_left(in, gaps);
        return LoadStatus::loaded;
    } catch (const Unreadable&) {
        first_run_state(portfolio);
        return LoadStatus::unreadable;
    }
}

std::string format_data_file(const Portfolio& portfolio) {
    std::string out;
    size_t records = 0;
    if (portfolio.last_stock < 0 || portfolio.last_stock >= max_stocks) throw DataFileError("銘柄の数が範囲外です");
    for (int32_t j = 0; j <= portfolio.last_stock; ++j)
        records += size_t(std::max(0, portfolio.stocks[size_t(j)].buy_count)) +
                   size_t(std::max(0, portfolio.stocks[size_t(j)].sell_count));
    out.reserve(records * 32 + size_t(portfolio.last_stock + 1) * 64 + 256);

    put_line(out, int_text(portfolio.last_stock));
    put_line(out, int_text(portfolio.current_stock));
    put_line(out, encode_line(portfolio.reserved_line, "予備の行"));
    for (int32_t j = 0; j <= portfolio.last_stock; ++j) {
        const Stock& s = portfolio.stocks[size_t(j)];
        if (s.buy_count < 0 || s.buy_count > max_records || s.sell_count < 0 || s.sell_count > max_records)
            throw DataFileError("記録の件数が範囲外です");
        put_line(out, encode_line(s.stock_code, "銘柄コード"));
        put_line(out, encode_line(s.stock_name, "銘柄名"));
        put_line(out, int_text(s.dividend));
        put_line(out, int_text(s.buy_count));
        put_line(out, int_text(s.sell_count));
        put_line(out, int_text(s.avg_buy_price));
        put_line(out, int_text(s.held_shares));
        put_line(out, currency_text(s.realized_profit));
        put_line(out, float_text(s.dividend_yield));
        for (int32_t i = 0; i < s.buy_count; ++i) put_record(out, s.buys[size_t(i)]);
        for (int32_t i = 0; i < s.sell_count; ++i) put_record(out, s.sells[size_t(i)]);
    }
    const FeeTable& t = portfolio.fees;
    for (size_t i = 0; i < fee_brackets; ++i) {
        // The top bracket has no upper limit; its place in the file holds 0.
        put_line(out, int_text(i + 1 < fee_brackets ? t.fee_limit[i] : 0));
        put_line(out, float_text(t.fee_rate[i]));
        put_line(out, int_text(t.fee_add[i]));
    }
    put_line(out, int_text(t.fee_min));
    put_line(out, int_text(t.fee_max));
    put_extensions(out, portfolio);
    return out;
}

DataFileRead read_data_file(const std::filesystem::path& file, Portfolio& portfolio) {
    DataFileRead read;
    try {
        read.bytes = read_whole_file(file);
    } catch (const std::runtime_error&) {
        first_run_state(portfolio);
        read.status = LoadStatus::unreadable;
        return read;
    }
    if (!read.bytes) {
        portfolio.reserved_line.clear();
        first_run_state(portfolio);
        read.status = LoadStatus::missing;
        return read;
    }
    read.status = parse_data_file(*read.bytes, portfolio, read.gaps);
    return read;
}

LoadStatus load_data_file(const std::filesystem::path& file, Portfolio& portfolio) {
    return read_data_file(file, portfolio).status;
}

void save_data_file(const std::filesystem::path& file, const Portfolio& portfolio, FileSystem& fs) {
    write_file_atomically(file, format_data_file(portfolio), fs);
}

}  // namespace chomaru
