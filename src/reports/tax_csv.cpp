#include "reports/tax_csv.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "accounting/numbers.h"
#include "reports/portfolio_csv.h"
#include "store/cp932.h"
#include "store/date_text.h"
#include "store/regional_text.h"

namespace chomaru {

namespace {

const std::string& heading_line() {
    static const std::string line = utf8_to_cp932(
        "買い日付,買い単価,買い株数,約定代金,売り日付,売り単価,売り株数,約定代金,平均単価,所有株数,損益,通算損益\r\n");
    return line;
}

void append_trade(std::string& out, const TradeRecord& t) {
    append_csv_field(out, t.date);
    out += ',';
    out += int_text(t.price);
    out += ',';
    out += int_text(t.shares);
    out += ',';
    out += currency_text(t.amount);
}

// The figures after each trade, worked out for the file only.
struct Running {
    int32_t shares = 0;
    int32_t average = 0;
    Currency cumulative;

    void append(std::string& out, int32_t profit) const {
        out += ',';
        out += int_text(average);
        out += ',';
        out += int_text(shares);
        out += ',';
        out += int_text(profit);
        out += ',';
        out += currency_text(cumulative);
        out += "\r\n";
    }
};

// Each row is worked out completely before anything of it is written, so a
// failure leaves only whole lines behind.
void append_tax_block(std::string& out, const Stock& s) {
    std::string first_line;
    append_csv_field(first_line, s.stock_code);
    first_line += ',';
    append_csv_field(first_line, s.stock_name);
    first_line += "\r\n";
    out += first_line;
    out += heading_line();

    Running run;
    int32_t b = 0;
    int32_t k = 0;
    std::optional<Date> buy_date;
    std::optional<Date> sell_date;
    for (;;) {
        // A record's date is read when the record becomes the next of its kind.
        if (!buy_date && b < s.buy_count) buy_date = text_to_date(s.buys.at(size_t(b)).date);
        if (!sell_date && k < s.sell_count) sell_date = text_to_date(s.sells.at(size_t(k)).date);
        if (!buy_date && !sell_date) break;

        if (!buy_date || (sell_date && *buy_date > *sell_date)) {
            const TradeRecord& t = s.sells.at(size_t(k));
            const Currency cost = Currency::from_yen(checked_mul(t.shares, run.average));
            const int32_t profit = round_to_int32((t.amount - cost).to_double());
            run.cumulative += Currency::from_yen(profit);
            run.shares = checked_sub(run.shares, t.shares);
            out += ",,,,";
            append_trade(out, t);
            run.append(out, profit);
            sell_date.reset();
            ++k;
        } else {
            const TradeRecord& t = s.buys.at(size_t(b));
            const Currency cost = Currency::from_yen(checked_mul(run.average, run.shares)) + t.amount;
            run.shares = checked_add(run.shares, t.shares);
            if (run.shares == 0) throw OverflowError("division by zero: no shares after a buy");
            run.average = round_to_int32(cost.to_double() / double(run.shares));
            append_trade(out, t);
            out += ",,,,";
            run.append(out, 0);
            buy_date.reset();
            ++b;
        }
    }
    out += "\r\n";
}

}  // namespace

TaxFile tax_csv(const Portfolio& portfolio) {
    TaxFile file;
    size_t records = 0;
    for (int32_t i = 0; i <= portfolio.last_stock && i < max_stocks; ++i) {
        const Stock& s = portfolio.stocks[size_t(i)];
        records += size_t(std::max(0, s.buy_count)) + size_t(std::max(0, s.sell_count));
    }
    file.bytes.reserve(records * 64 + size_t(std::max(0, portfolio.last_stock) + 1) * 160);
    for (int32_t i = 0; i <= portfolio.last_stock; ++i) {
        try {
            append_tax_block(file.bytes, portfolio.stocks.at(size_t(i)));
        } catch (const std::exception&) {
            file.failed_stock = i;
            break;
        }
    }
    return file;
}

std::string tax_error_message(const Portfolio& portfolio, int stock, const std::string& file_name) {
    const Stock& s = portfolio.stocks.at(size_t(stock));
    return s.stock_code + s.stock_name + "を処理中にエラーが発生しました\r\n\r\n" + report_done_message(file_name);
}

}  // namespace chomaru
