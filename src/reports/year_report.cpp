#include "reports/year_report.h"

#include <algorithm>
#include <deque>
#include <exception>
#include <initializer_list>
#include <map>

#include "reports/portfolio_csv.h"
#include "reports/trade_replay.h"
#include "store/cp932.h"

namespace chomaru {

namespace {

using SalesByYear = std::map<int, std::vector<StockSales>>;

// Adds the sales of stock `index`; stocks are added in the stored order, so
// a year's list holds each stock once, in that order. Raises when the trades
// cannot be replayed.
void add_sales(SalesByYear& by_year, int32_t index, const Stock& stock) {
    TradeReplay replay(stock);
    while (replay.next()) {
        const ReplayStep& step = replay.step();
        if (step.side != TradeSide::sell) continue;
        std::vector<StockSales>& sales = by_year[step.date.year];
        if (sales.empty() || sales.back().stock != index) sales.push_back(StockSales{index, 0, {}, {}, {}});
        StockSales& s = sales.back();
        s.shares += step.record->shares;
        s.proceeds += step.record->amount;
        s.cost += step.cost;
        s.profit += Currency::from_yen(step.profit);
        // The shares held go below zero only by a sale of more than were held.
        if (step.shares < 0) s.oversold = true;
    }
}

// The net losses of earlier years still deductible, oldest first.
class LossCarry {
public:
    // Deducts from a year's net gain what earlier losses allow; records a
    // net loss. Returns the amount deducted.
    Currency apply(int year, Currency profit) {
        while (!losses_.empty() && losses_.front().year < year - loss_carry_years) losses_.pop_front();
        Currency deducted;
        if (profit < Currency()) {
            losses_.push_back({year, -profit});
            return deducted;
        }
        for (Loss& loss : losses_) {
            const Currency take = std::min(profit - deducted, loss.left);
            loss.left -= take;
            deducted += take;
        }
        while (!losses_.empty() && losses_.front().left == Currency()) losses_.pop_front();
        return deducted;
    }

    // What is still deductible in the years after `year`.
    Currency left_after(int year) const {
        Currency left;
        for (const Loss& loss : losses_)
            if (loss.year >= year + 1 - loss_carry_years) left += loss.left;
        return left;
    }

private:
    struct Loss {
        int year;
        Currency left;
    };
    std::deque<Loss> losses_;
};

// Each amount after a comma, as currency text.
void put_amounts(NumberFields& n, std::initializer_list<Currency> amounts) {
    for (const Currency a : amounts) {
        n.put(',');
        n.put_currency(a);
    }
}

// A row's last field when its stock or year sold more than was held.
void end_row(std::string& out, bool oversold) {
    static const std::string mark = "," + utf8_to_cp932(oversold_mark);
    if (oversold) out += mark;
    out += "\r\n";
}

void put_year_row(std::string& out, const YearFigures& y) {
    NumberFields n;
    n.put_int(y.year);
    put_amounts(n, {y.profit, y.deducted, y.after_deduction, y.loss_left});
    n.put(',');
    n.put_int(y.tax_estimate);
    n.append_to(out);
    end_row(out, y.oversold);
}

void put_sales_row(std::string& out, int year, const Stock& stock, const StockSales& s) {
    out += std::to_string(year) + ',';
    append_csv_field(out, stock.stock_code);
    out += ',';
    append_csv_field(out, stock.stock_name);
    NumberFields n;
    n.put(',');
    n.put_int(s.shares);
    put_amounts(n, {s.proceeds, s.cost, s.profit});
    n.append_to(out);
    end_row(out, s.oversold);
}

std::string left_out_line(const Portfolio& portfolio, const LeftOut& left) {
    const Stock& s = portfolio.stocks.at(size_t(left.stock));
    return s.stock_code + s.stock_name +
           (left.date ? "：" + unreadable_date_text(*left.date) + "が読めないため、この銘柄を除いています"
                      : std::string("を処理中にエラーが発生しました（この銘柄を除いています）"));
}

}  // namespace

int64_t estimated_tax(Currency taxable) {
    if (taxable <= Currency()) return 0;
    // taxable × 20.315 / 100, rounded down to the yen, without leaving 64
    // bits: the units are split at 10^9 (20.315 / 100 per yen is 20315 per
    // 10^9 units).
    constexpr int64_t per = 1'000'000'000;
    const int64_t high = taxable.units() / per;
    const int64_t low = taxable.units() % per;
    return high * 20315 + low * 20315 / per;
}

YearReport year_report(const Portfolio& portfolio) {
    YearReport report;
    SalesByYear by_year;
    for (int32_t i = 0; i <= portfolio.last_stock; ++i) {
        const Stock& stock = portfolio.stocks.at(size_t(i));
        if (const std::optional<UnreadableDate> date = PositionReplay(stock).unreadable()) {
            report.left_out.push_back({i, date});
            continue;
        }
        // A stock's sales join the years only once all of them are replayed.
        SalesByYear own;
        try {
            add_sales(own, i, stock);
        } catch (const std::exception&) {
            report.left_out.push_back({i, std::nullopt});
            continue;
        }
        for (auto& [year, sales] : own) by_year[year].push_back(sales.front());
    }
    if (by_year.empty()) return report;

    LossCarry carry;
    for (int year = by_year.begin()->first; year <= by_year.rbegin()->first; ++year) {
        YearFigures y;
        y.year = year;
        if (auto found = by_year.find(year); found != by_year.end()) y.sales = std::move(found->second);
        for (const StockSales& s : y.sales) {
            y.profit += s.profit;
            y.oversold = y.oversold || s.oversold;
        }
        y.deducted = carry.apply(year, y.profit);
        y.after_deduction = y.profit - y.deducted;
        y.loss_left = carry.left_after(year);
        y.tax_estimate = estimated_tax(y.after_deduction);
        report.years.push_back(std::move(y));
    }
    return report;
}

std::string year_problems(const Portfolio& portfolio, const YearReport& report) {
    std::string lines;
    for (const LeftOut& left : report.left_out) {
        if (!lines.empty()) lines += "\r\n";
        lines += left_out_line(portfolio, left);
    }
    return lines;
}

std::string year_csv(const Portfolio& portfolio, const YearReport& report) {
    std::string out = utf8_to_cp932("年,コード,銘柄名,売却株数,売却代金,取得費,損益\r\n");
    for (const YearFigures& y : report.years)
        for (const StockSales& s : y.sales) put_sales_row(out, y.year, portfolio.stocks.at(size_t(s.stock)), s);
    out += utf8_to_cp932("\r\n年,損益合計,繰越控除,控除後損益,繰越損失残高,概算税額\r\n");
    for (const YearFigures& y : report.years) put_year_row(out, y);
    if (!report.left_out.empty()) {
        out += "\r\n";
        for (const LeftOut& left : report.left_out) {
            append_csv_field(out, left_out_line(portfolio, left));
            out += "\r\n";
        }
    }
    return out;
}

}  // namespace chomaru
