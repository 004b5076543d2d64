#include "reports/tax_csv.h"

#include <algorithm>
#include <exception>
#include <initializer_list>

#include "reports/portfolio_csv.h"
#include "reports/trade_replay.h"
#include "store/cp932.h"

namespace chomaru {

namespace {

const std::string& heading_line() {
    static const std::string line = utf8_to_cp932(
        "買い日付,買い単価,買い株数,約定代金,売り日付,売り単価,売り株数,約定代金,平均単価,所有株数,損益,通算損益\r\n");
    return line;
}

// The running figures after the row's trade, and the sale's profit ("0" on a
// buy row).
void put_running(NumberFields& n, const ReplayStep& step) {
    for (const int32_t figure : {step.average, step.shares, step.profit}) {
        n.put(',');
        n.put_int(figure);
    }
    n.put(',');
    n.put_currency(step.cumulative);
    n.put("\r\n");
}

// Each row is worked out completely before anything of it is written, so a
// failure leaves only whole lines behind. A stock whose dates cannot all be
// read gets its heading and no rows.
void append_tax_block(std::string& out, const Stock& s, bool rows) {
    std::string first_line;
    append_csv_field(first_line, s.stock_code);
    first_line += ',';
    append_csv_field(first_line, s.stock_name);
    first_line += "\r\n";
    out += first_line;
    out += heading_line();
    if (!rows) {
        out += "\r\n";
        return;
    }

    TradeReplay replay(s);
    while (replay.next()) {
        const ReplayStep& step = replay.step();
        const TradeRecord& t = *step.record;
        NumberFields n;
        if (step.side == TradeSide::sell) {
            out += ",,,,";
            append_csv_field(out, t.date);
            n.put_record(t);
        } else {
            append_csv_field(out, t.date);
            n.put_record(t);
            n.put(",,,,");
        }
        put_running(n, step);
        n.append_to(out);
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
            const Stock& stock = portfolio.stocks.at(size_t(i));
            const std::optional<UnreadableDate> unreadable = PositionReplay(stock).unreadable();
            if (unreadable) file.unreadable.emplace_back(i, *unreadable);
            append_tax_block(file.bytes, stock, !unreadable);
        } catch (const std::exception&) {
            file.failed_stock = i;
            break;
        }
    }
    return file;
}

std::string tax_problems(const Portfolio& portfolio, const TaxFile& file) {
    std::string lines;
    for (const auto& [i, record] : file.unreadable) {
        const Stock& s = portfolio.stocks.at(size_t(i));
        if (!lines.empty()) lines += "\r\n";
        lines +=
            s.stock_code + s.stock_name + "：" + unreadable_date_text(record) + "が読めないため、売買を書いていません";
    }
    if (file.failed_stock) {
        const Stock& s = portfolio.stocks.at(size_t(*file.failed_stock));
        if (!lines.empty()) lines += "\r\n";
        lines += s.stock_code + s.stock_name + "を処理中にエラーが発生しました";
    }
    return lines;
}

}  // namespace chomaru
