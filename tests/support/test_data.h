#pragma once

#include <memory>
#include <string>

#include "store/portfolio.h"

namespace chomaru {

// A byte-exact file of tests/data.
std::string read_golden(const char* name);

// The portfolio the golden report files were made from: five stocks with
// records out of date order, a buy and a sell on one date, fractions of a
// yen, no records, only sells, a sale before the first buy and a name with a
// comma and double quotes.
std::unique_ptr<Portfolio> report_test_portfolio();

}  // namespace chomaru
