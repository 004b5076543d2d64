#pragma once

#include <memory>

#include "store/portfolio.h"

namespace chomaru {

// A portfolio at full capacity: 256 stocks, each with 256 buys and 256 sells,
// with Japanese names and realistic figures; or a smaller one of `stocks`
// stocks with `records` buys and sells each.
std::unique_ptr<Portfolio> make_full_portfolio(int stocks = max_stocks, int records = max_records);

}  // namespace chomaru
