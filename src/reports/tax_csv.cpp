#include "reports/tax_csv.h"

#include <algorithm>
#include <exception>

#include "store/numbers.h"
#include "reports/portfolio_csv.h"
#include "store/cp932.h"
#include "store/date_text.h"

namespace chomaru {

namespace {

const std::string& heading_line() {
    static const std::string line = utf8_to_cp932(
        "買い日付,買い単価,買い株数,約定代金,売り日付,売り単価,売り株数,約定代金,平均単価,所有株数,損益,通算損益\r\n");
    return line;
}

void put_trade(NumberFields& n, const TradeRecord& t) {
    n.put(',');
    n.put_int(t.price);
    n.put(',');
    n.put_int(t.shares);
    n.put(',');
    n.put_currency(t.amount);
}

// The figures after each trade, worked out for the file only.
struct Running {
    int32_t shares = 0;
    int32_t average = 0;
    Currency cumulative;

    void put(NumberFields& n, int32_t profit) const {
        n.put(',');
        n.put_int(average);
        n.put(',');
        n.put_int(shares);
        n.put(',');
        n.put_int(profit);
        n.put(',');
        n.put_currency(cumulative);
        n.put("\r\n");
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
    // A record's date is read when the record becomes the next of its kind.
    Date buy_date;
    Date sell_date;
    if (b < s.buy_count) buy_date = text_to_date(s.buys.at(size_t(b)).date);
    if (k < s.sell_count) sell_date = text_to_date(s.sells.at(size_t(k)).date);
    for (;;) {
        const bool buy_pending = b < s.buy_count;
        const bool sell_pending = k < s.sell_count;
        if (!buy_pending && !sell_pending) break;

        if (!buy_pending || (sell_pending && buy_date > sell_date)) {
            const TradeRecord& t = s.sells.at(size_t(k));
            const Currency cost = Currency::from_yen(checked_mul(t.shares, run.average));
            const int32_t profit = round_to_int32((t.amount - cost).to_double());
            run.cumulative += Currency::from_yen(profit);
            run.shares = checked_sub(run.shares, t.shares);
            out += ",,,,";
            append_csv_field(out, t.date);
            NumberFields n;
            put_trade(n, t);
            run.put(n, profit);
            n.append_to(out);
            if (++k < s.sell_count) sell_date = text_to_date(s.sells.at(size_t(k)).date);
        } else {
            const TradeRecord& t = s.buys.at(size_t(b));
            const Currency cost = Currency::from_yen(checked_mul(run.average, run.shares)) + t.amount;
            run.shares = checked_add(run.shares, t.shares);
            if (run.shares == 0) throw OverflowError("division by zero: no shares after a buy");
            run.average = round_to_int32(cost.to_double() / double(run.shares));
            append_csv_field(out, t.date);
            NumberFields n;
            put_trade(n, t);
            n.put(",,,,");
            run.put(n, 0);
            n.append_to(out);
            if (++b < s.buy_count) buy_date = text_to_date(s.buys.at(size_t(b)).date);
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

std::string tax_error_message(const Portfolio& portfolio, int stock, const std::string& done_message) {
    const Stock& s = portfolio.stocks.at(size_t(stock));
    return s.stock_code + s.stock_name + "を処理中にエラーが発生しました\r\n\r\n" + done_message;
}

}  // namespace chomaru
