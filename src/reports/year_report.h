#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "accounting/position.h"
#include "store/currency.h"
#include "store/portfolio.h"

namespace chomaru {

// One stock's sales in one calendar year, summed over its sell records.
struct StockSales {
    int32_t stock = 0;      // index in the stored order
    int64_t shares = 0;     // 売却株数
    Currency proceeds;      // 売却代金: the amounts received
    Currency cost;          // 取得費: each sale's shares at the running average
    Currency profit;        // 損益: the sales' profits as the tax file has them
    bool oversold = false;  // a sale of more shares than were held
};

// One calendar year of realised gains, after the losses of earlier years.
struct YearFigures {
    int year = 0;
    Currency profit;           // 損益合計
    Currency deducted;         // 繰越控除: earlier losses deducted this year
    Currency after_deduction;  // 控除後損益
    Currency loss_left;        // 繰越損失残高: losses still deductible in later years
    int64_t tax_estimate = 0;  // 概算税額, whole yen
    std::vector<StockSales> sales;
    bool oversold = false;  // a stock sold more shares than it held
};

// A stock whose trades could not be replayed: a date that does not read, or
// else a figure out of range or a buy that left no shares.
struct LeftOut {
    int32_t stock = 0;
    std::optional<UnreadableDate> date;
};

struct YearReport {
    // Ascending, every year from the first sale's to the last sale's.
    std::vector<YearFigures> years;
    // The stocks the years leave out, in the stored order.
    std::vector<LeftOut> left_out;
};

// A year's net loss is deducted from the net gains of the following three
// years, the oldest loss first; what is left after the third year lapses.
inline constexpr int loss_carry_years = 3;

// Income tax and inhabitants' tax on listed shares, 20.315%.
int64_t estimated_tax(Currency taxable);

// Every sale of every stock, from its date-ordered replay, by calendar year.
// A stock whose trades cannot be replayed is left out of every year and
// named. Nothing of the portfolio is changed; no exception leaves this
// function.
YearReport year_report(const Portfolio& portfolio);

// One line for each stock left out ("8411みずほを処理中にエラーが発生しました"),
// or empty.
std::string year_problems(const Portfolio& portfolio, const YearReport& report);

// The report as code page 932 bytes with CR LF line ends: a heading, one row
// per year and stock that sold that year, an empty line, then the year
// figures. A row of a stock or a year that sold more shares than were held
// ends in a field with oversold_mark. The stocks left out follow, after an
// empty line, one line each. Text that code page 932 cannot hold raises
// EncodingError.
std::string year_csv(const Portfolio& portfolio, const YearReport& report);

}  // namespace chomaru
