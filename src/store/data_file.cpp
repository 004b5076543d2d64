#include "store/data_file.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "store/cp932.h"
#include "store/numbers.h"
#include "store/regional_text.h"
#include "store/safe_file.h"

namespace chomaru {

namespace {

// The reader takes the blanks of a record line at character positions
// (1-based) of at most 254, 254 and 255.
constexpr size_t max_first_blank = 254;
constexpr size_t max_second_blank = 254;
constexpr size_t max_third_blank = 255;

struct Unreadable {};

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
        const std::string_view text = text_of(line(), decoded);
        try {
            return convert(text);
        } catch (const ConversionError&) {
            throw Unreadable{};
        } catch (const OverflowError&) {
            throw Unreadable{};
        }
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

// The tax rates follow fee_max only when one of them differs from its
// default, so a file with the default rates keeps the original layout.
struct TaxLine {
    const char* key;
    int32_t FeeTable::*rate;
    int32_t default_rate;
    int decimals;
};

const TaxLine tax_lines[] = {
    {"消費税率=", &FeeTable::consumption_tax, FeeTable::default_consumption_tax, FeeTable::consumption_tax_decimals},
    {"売却時の税率=", &FeeTable::sale_levy, FeeTable::default_sale_levy, FeeTable::sale_levy_decimals},
};

void put_tax_lines(std::string& out, const FeeTable& t) {
    bool defaults = true;
    for (const TaxLine& line : tax_lines) defaults = defaults && t.*line.rate == line.default_rate;
    if (defaults) return;
    for (const TaxLine& line : tax_lines)
        put_line(out, utf8_to_cp932(line.key) + steps_text(t.*line.rate, line.decimals));
}

// Reads the tax lines that may follow fee_max, in either order, into
// `table`. A known line whose rate does not read leaves that rate at its
// default; the first other line is left for the caller.
void read_tax_lines(LineReader& in, FeeTable& table) {
    bool seen[std::size(tax_lines)] = {};
    while (!in.at_end()) {
        LineReader ahead = in;
        const std::string_view text = ahead.raw();
        const TaxLine* line = nullptr;
        for (size_t i = 0; i < std::size(tax_lines); ++i) {
            if (seen[i] || !text.starts_with(utf8_to_cp932(tax_lines[i].key))) continue;
            seen[i] = true;
            line = &tax_lines[i];
        }
        if (!line) break;
        in = ahead;
        try {
            table.*line->rate = text_to_steps(text.substr(utf8_to_cp932(line->key).size()), line->decimals);
        } catch (const std::runtime_error&) {
            table.*line->rate = line->default_rate;
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
    try {
        const int32_t last_stock = in.integer();
        if (last_stock < 0 || last_stock >= max_stocks) throw Unreadable{};
        int32_t current_stock = in.integer();
        portfolio.reserved_line = in.text();
        for (int32_t j = 0; j <= last_stock; ++j) {
            Stock& s = portfolio.stocks[size_t(j)];
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
            read_tax_lines(in, portfolio.fees);
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
    put_tax_lines(out, t);
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
