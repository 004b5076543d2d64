#pragma once

#include <optional>
#include <string>

#include "store/portfolio.h"

namespace chomaru {

struct TaxFile {
    // Code page 932 with CR LF line ends: every line written before a failure.
    std::string bytes;
    // The stock being processed when an error stopped the writing.
    std::optional<int> failed_stock;
};

// Every stock's buys and sells replayed in date order (TradeReplay), one row
// per trade with the running average unit price, the running share count,
// each sale's profit and the cumulative profit. A date text that is not a
// date, a value out of range or a division by zero stops the writing at that
// stock, before its rows when a date cannot be read; no exception leaves this
// function.
TaxFile tax_csv(const Portfolio& portfolio);

// The message shown when the writing stopped at `stock`, ending in the
// completion message of the file written.
std::string tax_error_message(const Portfolio& portfolio, int stock, const std::string& done_message);

}  // namespace chomaru
