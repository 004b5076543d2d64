#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "accounting/position.h"
#include "store/currency.h"
#include "store/date_text.h"
#include "store/portfolio.h"

namespace chomaru {

// One sale as a broker's yearly report counts it.
struct SaleFigures {
    int32_t stock = 0;   // index in the stored order
    Date trade_date;     // 約定日
    Date settlement;     // 受渡日, whose calendar year the sale belongs to
    int32_t shares = 0;  // 売却株数
    Currency proceeds;   // 売却代金: the amount received
    // 取得費: the shares at the running average, which each buy leaves
    // rounded up to the whole yen.
    Currency cost;
    int32_t profit = 0;     // 損益: the amount received less the cost, in whole yen
    bool oversold = false;  // more shares sold than were held
};

// One calendar year of the taxable accounts (特定 and 一般, offset against
// each other), after the losses of earlier years; the sales of NISA
// accounts are listed beside them and count in none of the figures.
struct YearFigures {
    int year = 0;
    Currency profit;           // 損益合計
    Currency deducted;         // 繰越控除: earlier losses deducted this year
    Currency after_deduction;  // 控除後損益
    Currency loss_left;        // 繰越損失残高: losses still deductible in later years
    int64_t tax_estimate = 0;  // 概算税額, whole yen
    // In settlement date order, then the stocks' stored order, then each
    // stock's date order.
    std::vector<SaleFigures> sales;
    std::vector<SaleFigures> nisa_sales;  // 非課税（NISA）
    bool oversold = false;                // a taxable sale of more shares than were held

    // The dividends the taxable accounts received this year, before tax,
    // and the tax withheld from them.
    Currency dividends;
    Currency withheld;
    // In a year of a net loss: the part of the dividends that declaring
    // them 申告分離課税 would offset against it, and the withheld tax on that
    // part (還付見込み), whole yen.
    Currency dividend_offset;
    int64_t refund = 0;
};

// A stock whose trades could not be replayed: a date that does not read, or
// else a figure out of range or a buy that left no shares.
struct LeftOut {
    int32_t stock = 0;
    std::optional<UnreadableDate> date;
};

struct YearReport {
    // Ascending, every year from the first sale's or dividend's to the last.
    std::vector<YearFigures> years;
    // The years of the first and the last sale's settlement, when there
    // was a sale.
    std::optional<int> first_sale_year;
    std::optional<int> last_sale_year;
    // The stocks the years leave out, in the stored order.
    std::vector<LeftOut> left_out;
};

// A year's net loss is deducted from the net gains of the following three
// years, the oldest loss first; what is left after the third year lapses.
inline constexpr int loss_carry_years = 3;

// Every sale of every stock, from its date-ordered replay with the average
// rounded up, in the calendar year of its settlement date; the dividends
// received, in the year of their payment. A stock whose trades cannot be
// replayed is left out of every year and named. Nothing of the portfolio is
// changed; no exception leaves this function.
YearReport year_report(const Portfolio& portfolio);

// One line for each stock left out ("8411みずほを処理中にエラーが発生しました"),
// or empty.
std::string year_problems(const Portfolio& portfolio, const YearReport& report);

// The report as code page 932 bytes with CR LF line ends: a heading and one
// row per taxable sale; an empty line and the year figures from the first
// to the last sale's year; when NISA accounts sold, an empty line, a
// heading and one row per such sale. A row of a sale or a year that sold
// more shares than were held ends in a field with oversold_mark. The stocks
// left out follow, after an empty line, one line each. Text that code page
// 932 cannot hold raises EncodingError.
std::string year_csv(const Portfolio& portfolio, const YearReport& report);

}  // namespace chomaru
