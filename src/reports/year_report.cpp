#include "reports/year_report.h"

#include <algorithm>
#include <deque>
#include <exception>
#include <initializer_list>
#include <map>
#include <tuple>
#include <utility>

#include "accounting/withholding.h"
#include "reports/portfolio_csv.h"
#include "reports/trade_replay.h"
#include "store/cp932.h"
#include "store/market_calendar.h"

namespace chomaru {

namespace {

// A sale with its place in the file's order: the stock's place, then the
// replay's order within the stock.
struct PlacedSale {
    SaleFigures figures;
    bool nisa = false;
};

// The sales of stock `index` in the replay's order, the average rounded up
// after each buy. Raises when the trades cannot be replayed.
std::vector<PlacedSale> sales_of(int32_t index, const Stock& stock) {
    std::vector<PlacedSale> sales;
    TradeReplay replay(stock, AverageRounding::up);
    while (replay.next()) {
        const ReplayStep& step = replay.step();
        if (step.side != TradeSide::sell) continue;
        SaleFigures s;
        s.stock = index;
        s.trade_date = step.date;
        s.settlement = settlement_date(step.date);
        s.shares = step.record->shares;
        s.proceeds = step.record->amount;
        s.cost = step.cost;
        s.profit = step.profit;
        // The shares held go below zero only by a sale of more than were held.
        s.oversold = step.shares < 0;
        sales.push_back({s, is_nisa(stock.account)});
    }
    return sales;
}

// The part of `dividends` a loss of `loss` (positive) offsets, and the
// withheld tax on that part, rounded down to the yen.
void offset_dividends(YearFigures& y, Currency loss) {
    if (loss <= Currency() || y.dividends <= Currency()) return;
    y.dividend_offset = std::min(loss, y.dividends);
    __extension__ using Wide = __int128;
    const Wide units = Wide(y.withheld.units()) * y.dividend_offset.units() / y.dividends.units();
    y.refund = int64_t(units / Currency::units_per_yen);
    if (units < 0 && units % Currency::units_per_yen != 0) y.refund -= 1;
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

// A row's last field when its sale or year sold more than was held.
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

// 年,約定日,受渡日,コード,銘柄名[,口座],売却株数,売却代金,取得費,損益
void put_sale_row(std::string& out, const Stock& stock, const SaleFigures& s, bool with_account) {
    out += std::to_string(s.settlement.year) + ',' + short_date_text(s.trade_date) + ',' +
           short_date_text(s.settlement) + ',';
    append_csv_field(out, stock.stock_code);
    out += ',';
    append_csv_field(out, stock.stock_name);
    if (with_account) out += ',' + utf8_to_cp932(std::string(account_name(stock.account)));
    NumberFields n;
    n.put(',');
    n.put_int(s.shares);
    n.put(',');
    n.put_currency(s.proceeds);
    n.put(',');
    n.put_currency(s.cost);
    n.put(',');
    n.put_int(s.profit);
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

YearReport year_report(const Portfolio& portfolio) {
    YearReport report;
    std::vector<PlacedSale> sales;
    std::map<int, std::pair<Currency, Currency>> dividends;  // before tax, withheld
    for (int32_t i = 0; i <= portfolio.last_stock; ++i) {
        const Stock& stock = portfolio.stocks.at(size_t(i));
        if (const std::optional<UnreadableDate> date = PositionReplay(stock).unreadable()) {
            report.left_out.push_back({i, date});
            continue;
        }
        // A stock's sales and dividends join the years only once all of
        // them are read.
        std::vector<PlacedSale> own;
        std::vector<std::pair<int, const DividendPayment*>> paid;
        try {
            own = sales_of(i, stock);
            if (!is_nisa(stock.account))
                for (const DividendPayment& p : stock.payments) paid.emplace_back(text_to_date(p.date).year, &p);
        } catch (const std::exception&) {
            report.left_out.push_back({i, std::nullopt});
            continue;
        }
        sales.insert(sales.end(), own.begin(), own.end());
        for (const auto& [year, p] : paid) {
            auto& [gross, withheld] = dividends[year];
            gross += p->gross;
            withheld += p->withheld;
        }
    }
    std::stable_sort(sales.begin(), sales.end(), [](const PlacedSale& a, const PlacedSale& b) {
        return a.figures.settlement < b.figures.settlement;
    });
    if (!sales.empty()) {
        report.first_sale_year = sales.front().figures.settlement.year;
        report.last_sale_year = sales.back().figures.settlement.year;
    }
    std::optional<int> first = report.first_sale_year;
    std::optional<int> last = report.last_sale_year;
    if (!dividends.empty()) {
        first = std::min(first.value_or(dividends.begin()->first), dividends.begin()->first);
        last = std::max(last.value_or(dividends.rbegin()->first), dividends.rbegin()->first);
    }
    if (!first) return report;

    LossCarry carry;
    auto sale = sales.begin();
    for (int year = *first; year <= *last; ++year) {
        YearFigures y;
        y.year = year;
        for (; sale != sales.end() && sale->figures.settlement.year == year; ++sale) {
            if (sale->nisa) {
                y.nisa_sales.push_back(sale->figures);
                continue;
            }
            y.sales.push_back(sale->figures);
            y.profit += Currency::from_yen(sale->figures.profit);
            y.oversold = y.oversold || sale->figures.oversold;
        }
        y.deducted = carry.apply(year, y.profit);
        y.after_deduction = y.profit - y.deducted;
        y.loss_left = carry.left_after(year);
        y.tax_estimate = estimated_tax(y.after_deduction);
        if (auto found = dividends.find(year); found != dividends.end()) {
            std::tie(y.dividends, y.withheld) = found->second;
            offset_dividends(y, -y.profit);
        }
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
    const auto stock = [&](const SaleFigures& s) -> const Stock& { return portfolio.stocks.at(size_t(s.stock)); };
    std::string out = utf8_to_cp932("年,約定日,受渡日,コード,銘柄名,売却株数,売却代金,取得費,損益\r\n");
    bool nisa = false;
    for (const YearFigures& y : report.years) {
        for (const SaleFigures& s : y.sales) put_sale_row(out, stock(s), s, false);
        nisa = nisa || !y.nisa_sales.empty();
    }
    out += utf8_to_cp932("\r\n年,損益合計,繰越控除,控除後損益,繰越損失残高,概算税額\r\n");
    for (const YearFigures& y : report.years)
        if (report.first_sale_year && y.year >= *report.first_sale_year && y.year <= *report.last_sale_year)
            put_year_row(out, y);
    if (nisa) {
        out += utf8_to_cp932("\r\n年,約定日,受渡日,コード,銘柄名,口座,売却株数,売却代金,取得費,損益\r\n");
        for (const YearFigures& y : report.years)
            for (const SaleFigures& s : y.nisa_sales) put_sale_row(out, stock(s), s, true);
    }
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
