#include "store/data_file.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "store/numbers.h"
#include "store/cp932.h"
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

std::vector<std::string_view> split_lines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    lines.reserve(bytes.size() / 24 + 16);
    size_t start = 0;
    const size_t n = bytes.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') continue;
        lines.push_back(bytes.substr(start, i - start));
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.push_back(bytes.substr(start));
    return lines;
}

// Counts characters of UTF-8 text: bytes that do not continue a sequence.
size_t char_count(std::string_view text) {
    size_t count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

bool is_ascii(std::string_view bytes) {
    for (unsigned char c : bytes)
        if (c >= 0x80) return false;
    return true;
}

std::string decode(std::string_view bytes) {
    try {
        return cp932_to_utf8(bytes);
    } catch (const EncodingError&) {
        throw Unreadable{};
    }
}

class LineReader {
public:
    LineReader(const std::vector<std::string_view>& lines, size_t first) : lines_(lines), next_(first) {}

    std::string_view raw() {
        if (next_ >= lines_.size()) throw Unreadable{};
        return lines_[next_++];
    }
    std::string text() { return decode(raw()); }
    template <typename Convert>
    auto number(Convert convert) {
        // Numbers are nearly always plain ASCII and are read from the bytes.
        const std::string_view bytes = raw();
        const std::string decoded = is_ascii(bytes) ? std::string() : decode(bytes);
        try {
            return convert(is_ascii(bytes) ? bytes : std::string_view(decoded));
        } catch (const ConversionError&) {
            throw Unreadable{};
        } catch (const OverflowError&) {
            throw Unreadable{};
        }
    }
    int32_t integer() { return number(text_to_int32); }
    Currency currency() { return number(text_to_currency); }
    float single() { return number(text_to_float); }

    TradeRecord record() {
        const std::string_view bytes = raw();
        const std::string decoded = is_ascii(bytes) ? std::string() : decode(bytes);
        const std::string_view line = is_ascii(bytes) ? bytes : std::string_view(decoded);
        const size_t b1 = line.find(' ');
        const size_t b2 = b1 == std::string::npos ? b1 : line.find(' ', b1 + 1);
        const size_t b3 = b2 == std::string::npos ? b2 : line.find(' ', b2 + 1);
        if (b3 == std::string::npos) throw Unreadable{};
        const std::string_view view = line;
        const size_t p1 = char_count(view.substr(0, b1)) + 1;
        const size_t p2 = p1 + char_count(view.substr(b1 + 1, b2 - b1 - 1)) + 1;
        const size_t p3 = p2 + char_count(view.substr(b2 + 1, b3 - b2 - 1)) + 1;
        if (p1 > max_first_blank || p2 > max_second_blank || p3 > max_third_blank) throw Unreadable{};
        try {
            TradeRecord r;
            r.date = std::string(line.substr(0, b1));
            r.price = text_to_int32(view.substr(b1 + 1, b2 - b1 - 1));
            r.shares = text_to_int32(view.substr(b2 + 1, b3 - b2 - 1));
            r.amount = text_to_currency(view.substr(b3 + 1));
            return r;
        } catch (const ConversionError&) {
            throw Unreadable{};
        } catch (const OverflowError&) {
            throw Unreadable{};
        }
    }

    size_t position() const { return next_; }

private:
    const std::vector<std::string_view>& lines_;
    size_t next_;
};

int32_t read_count(LineReader& in) {
    const int32_t count = in.integer();
    if (count > max_records) throw Unreadable{};
    // A count below zero stands for no records; keeping it negative would
    // make the next record land outside the table.
    return count < 0 ? 0 : count;
}

void read_records(LineReader& in, std::array<TradeRecord, max_records>& records, int32_t count) {
    for (int32_t i = 0; i < count; ++i) records[size_t(i)] = in.record();
}

void first_run_state(Portfolio& portfolio) {
    reset_to_first_stock(portfolio, "", "");
}

void put_line(std::string& out, std::string_view line) {
    out += line;
    out += "\r\n";
}

std::string encode_line(std::string_view text, const char* what) {
    if (text.find_first_of("\r\n") != std::string_view::npos)
        throw DataFileError(std::string(what) + " contains a line break");
    try {
        return utf8_to_cp932(text);
    } catch (const EncodingError&) {
        throw DataFileError(std::string(what) + " cannot be written in code page 932");
    }
}

void put_int64(std::string& out, int64_t value) {
    char buffer[24];
    out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// Appends the decimal text of an integer; returns its length.
size_t put_int(std::string& out, int32_t value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
    return size_t(result.ptr - buffer);
}

// Any line the reader takes is written back: the limit is where the blanks
// fall, not a fixed length of the date, so a long date read from a file can
// be saved again.
void put_record(std::string& out, const TradeRecord& r) {
    if (r.date.find(' ') != std::string::npos) throw DataFileError("a record date contains a blank");
    const size_t p1 = char_count(r.date) + 1;
    out += encode_line(r.date, "a record date");
    out += ' ';
    const size_t p2 = p1 + put_int(out, r.price) + 1;
    out += ' ';
    const size_t p3 = p2 + put_int(out, r.shares) + 1;
    out += ' ';
    if (p1 > max_first_blank || p2 > max_second_blank || p3 > max_third_blank)
        throw DataFileError("a record line is too long for the data file");
    if (r.amount.is_whole())
        put_int64(out, r.amount.units() / Currency::units_per_yen);
    else
        out += currency_text(r.amount);
    out += "\r\n";
}

}  // namespace

bool is_storable_line(std::string_view text) {
    return text.find_first_of("\r\n") == std::string_view::npos && cp932_can_hold(text);
}

bool is_storable_date(std::string_view date) {
    return date.find(' ') == std::string_view::npos && char_count(date) <= max_date_length &&
           is_storable_line(date);
}

FeeTable load_fee_table(const std::vector<std::string_view>& lines, size_t first) {
    LineReader in(lines, first);
    try {
        FeeTable t;
        for (size_t i = 0; i < fee_brackets; ++i) {
            t.fee_limit[i] = in.integer();
            t.fee_rate[i] = in.single();
            t.fee_add[i] = in.integer();
        }
        t.fee_min = in.integer();
        t.fee_max = in.integer();
        return t;
    } catch (const Unreadable&) {
        return FeeTable::defaults();
    }
}

LoadStatus parse_data_file(std::string_view bytes, Portfolio& portfolio) {
    const std::vector<std::string_view> lines = split_lines(bytes);
    if (lines.empty()) {
        portfolio.reserved_line.clear();
        first_run_state(portfolio);
        return LoadStatus::empty;
    }
    LineReader in(lines, 0);
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
            s.buy_count = read_count(in);
            s.sell_count = read_count(in);
            s.avg_buy_price = in.integer();
            s.held_shares = in.integer();
            s.realized_profit = in.currency();
            s.dividend_yield = in.single();
            read_records(in, s.buys, s.buy_count);
            read_records(in, s.sells, s.sell_count);
        }
        // A selection outside the stocks would show and change a stock that
        // is never saved; the first stock is shown instead.
        if (current_stock < 0 || current_stock > last_stock) current_stock = 0;
        portfolio.last_stock = last_stock;
        portfolio.current_stock = current_stock;
        portfolio.fees = load_fee_table(lines, in.position());
        return LoadStatus::loaded;
    } catch (const Unreadable&) {
        first_run_state(portfolio);
        return LoadStatus::unreadable;
    }
}

std::string format_data_file(Portfolio& portfolio) {
    portfolio.fees.fee_limit[5] = 0;
    std::string out;
    size_t records = 0;
    if (portfolio.last_stock < 0 || portfolio.last_stock >= max_stocks)
        throw DataFileError("the number of stocks is outside the table");
    for (int32_t j = 0; j <= portfolio.last_stock; ++j)
        records += size_t(std::max(0, portfolio.stocks[size_t(j)].buy_count)) +
                   size_t(std::max(0, portfolio.stocks[size_t(j)].sell_count));
    out.reserve(records * 32 + size_t(portfolio.last_stock + 1) * 64 + 256);

    put_line(out, int_text(portfolio.last_stock));
    put_line(out, int_text(portfolio.current_stock));
    put_line(out, encode_line(portfolio.reserved_line, "the reserved line"));
    for (int32_t j = 0; j <= portfolio.last_stock; ++j) {
        const Stock& s = portfolio.stocks[size_t(j)];
        if (s.buy_count < 0 || s.buy_count > max_records || s.sell_count < 0 || s.sell_count > max_records)
            throw DataFileError("a record count is outside the table");
        put_line(out, encode_line(s.stock_code, "a stock code"));
        put_line(out, encode_line(s.stock_name, "a stock name"));
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
        put_line(out, int_text(t.fee_limit[i]));
        put_line(out, float_text(t.fee_rate[i]));
        put_line(out, int_text(t.fee_add[i]));
    }
    put_line(out, int_text(t.fee_min));
    put_line(out, int_text(t.fee_max));
    return out;
}

LoadStatus load_data_file(const std::filesystem::path& file, Portfolio& portfolio) {
    std::optional<std::string> bytes;
    try {
        bytes = read_whole_file(file);
    } catch (const std::runtime_error&) {
        first_run_state(portfolio);
        return LoadStatus::unreadable;
    }
    if (!bytes) {
        portfolio.reserved_line.clear();
        first_run_state(portfolio);
        return LoadStatus::missing;
    }
    return parse_data_file(*bytes, portfolio);
}

void save_data_file(const std::filesystem::path& file, Portfolio& portfolio) {
    write_file_atomically(file, format_data_file(portfolio));
}

}  // namespace chomaru
