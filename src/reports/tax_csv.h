#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "accounting/position.h"
#include "store/portfolio.h"

namespace chomaru {

struct TaxFile {
    // Code page 932 with CR LF line ends: every line written before a failure.
    std::string bytes;
    // The stock being processed when an error stopped the writing.
    std::optional<int> failed_stock;
    // The stocks written without rows, each with its first record whose
    // date does not read.
    std::vector<std::pair<int, UnreadableDate>> unreadable;
};

// Every stock's buys and sells replayed in date order (TradeReplay), one row
// per trade with the running average unit price, the running share count,
// each sale's profit and the cumulative profit. A stock with a date text that
// is not a date gets no rows; the writing goes on with the next stock. A
// value out of range or a division by zero stops the writing at that stock;
// no exception leaves this function.
TaxFile tax_csv(const Portfolio& portfolio);

// The lines that tell what the file lacks, one for each stock without rows
// and one for the stock the writing stopped at ("8411みずほを処理中にエラーが
// 発生しました"); empty when nothing is missing.
std::string tax_problems(const Portfolio& portfolio, const TaxFile& file);

}  // namespace chomaru
