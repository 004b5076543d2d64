#pragma once

#include <memory>

#include "store/portfolio.h"

namespace chomaru {

// A portfolio at full capacity: 256 stocks, each with 256 buys and 256 sells,
// with Japanese names and realistic figures.
std::unique_ptr<Portfolio> make_full_portfolio();

}  // namespace chomaru
