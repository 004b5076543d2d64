#include "reports/portfolio_csv.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <type_traits>

#include "store/cp932.h"
#include "store/numbers.h"
#include "store/regional_text.h"

namespace chomaru {

namespace {

std::string dated_name(const Date& today, std::string_view suffix) {
    if (!is_valid_date(today)) throw ConversionError("not a date");
    return "stc_" + int_text(today.year) + "_" + int_text(today.month) + "_" + int_text(today.day) +
           std::string(suffix);
}

// The fixed lines of a block, encoded once.
struct Headings {
    std::string average = utf8_to_cp932("平均買い単価,");
    std::string shares = utf8_to_cp932("株数,");
    std::string profit = utf8_to_cp932("損益,");
    std::string dividend = utf8_to_cp932("配当,");
    std::string yield = utf8_to_cp932("配当利回り,");
    std::string buys = utf8_to_cp932("買い記録\r\n日付,買い単価,買い株数,約定代金\r\n");
    std::string sells = utf8_to_cp932("売り記録\r\n日付,売り単価,売り株数,約定代金\r\n");
};

const Headings& headings() {
    static const Headings h;
    return h;
}

void end_line(std::string& out) { out += "\r\n"; }

void append_records(std::string& out, const RecordTable& records, int32_t count) {
    for (int32_t r = 0; r < count; ++r) {
        const TradeRecord& t = records.at(size_t(r));
        append_csv_field(out, t.date);
        NumberFields n;
        n.put_record(t);
        n.put("\r\n");
        n.append_to(out);
    }
}

// One "heading,figure" line of a block; the figure is a whole number, an
// amount or text.
template <typename Figure>
void put_figure_line(NumberFields& n, std::string_view heading, const Figure& figure) {
    n.put(heading);
    if constexpr (std::is_same_v<Figure, Currency>)
        n.put_currency(figure);
    else if constexpr (std::is_integral_v<Figure>)
        n.put_int(figure);
    else
        n.put(std::string_view(figure));
    n.put("\r\n");
}

void append_block(std::string& out, const Stock& s) {
    const Headings& h = headings();
    append_csv_field(out, s.stock_code);
    out += ',';
    append_csv_field(out, s.stock_name);
    end_line(out);
    NumberFields n;
    put_figure_line(n, h.average, s.avg_buy_price);
    put_figure_line(n, h.shares, s.held_shares);
    put_figure_line(n, h.profit, s.realized_profit);
    put_figure_line(n, h.dividend, s.dividend);
    put_figure_line(n, h.yield, format_percent(double(s.dividend_yield)));
    n.append_to(out);
    if (s.buy_count > 0) {
        out += h.buys;
        append_records(out, s.buys, s.buy_count);
    }
    if (s.sell_count > 0) {
        out += h.sells;
        append_records(out, s.sells, s.sell_count);
    }
    end_line(out);
}

}  // namespace

std::string export_file_name(const Date& today) { return dated_name(today, ".csv"); }

std::string tax_file_name(const Date& today) { return dated_name(today, "_tax.csv"); }

std::string year_file_name(const Date& today) { return dated_name(today, "_year.csv"); }

std::string report_done_message(const std::string& folder, const std::string& file_name, bool replaced) {
    const char* done = replaced ? " を上書きしました" : " を作成しました";
    return folder + "に " + file_name + done + "\r\nEXCELで読めます";
}

void NumberFields::put(char c) {
    if (size_ == buffer_.size()) throw std::length_error("line too long");
    buffer_[size_++] = c;
}

void NumberFields::put(std::string_view text) {
    if (text.size() > buffer_.size() - size_) throw std::length_error("line too long");
    for (const char c : text) buffer_[size_++] = c;
}

void NumberFields::put_int(int64_t value) {
    const auto [end, error] = std::to_chars(buffer_.data() + size_, buffer_.data() + buffer_.size(), value);
    if (error != std::errc()) throw std::length_error("line too long");
    size_ = size_t(end - buffer_.data());
}

void NumberFields::put_currency(Currency value) {
    if (buffer_.size() - size_ < steps_chars_room) throw std::length_error("line too long");
    size_ = size_t(steps_chars(buffer_.data() + size_, value.units(), 4) - buffer_.data());
}

void NumberFields::put_record(const TradeRecord& record) {
    put(',');
    put_int(record.price);
    put(',');
    put_int(record.shares);
    put(',');
    put_currency(record.amount);
}

void append_csv_field(std::string& out, std::string_view text) {
    bool needs_quotes = false;
    for (const char c : text) needs_quotes |= c == ',' || c == '"' || c == '\r' || c == '\n';
    if (!needs_quotes) {
        append_cp932(out, text);
        return;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    append_cp932(out, quoted);
}

std::string portfolio_csv(const Portfolio& portfolio) {
    std::string out;
    size_t records = 0;
    for (int32_t i = 0; i <= portfolio.last_stock; ++i) {
        const Stock& s = portfolio.stocks.at(size_t(i));
        records += size_t(std::max(0, s.buy_count)) + size_t(std::max(0, s.sell_count));
    }
    out.reserve(records * 40 + size_t(portfolio.last_stock + 1) * 160);
    for (int32_t i = 0; i <= portfolio.last_stock; ++i) append_block(out, portfolio.stocks.at(size_t(i)));
    return out;
}

}  // namespace chomaru
