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

// Stocks coded 1000, 1001, ... named 銘柄, each with `buys` equal buys of 10
// shares at ¥10 for ¥100: a data file of 3 + stocks × (9 + buys) + 20 lines.
std::unique_ptr<Portfolio> numbered_portfolio(int32_t stocks, int32_t buys);

// Two stocks whose sales span 2020 to 2024 (2022 without a sale): 甲 loses
// ¥20,000 in 2020 and uses ¥5,000 of it in 2021 and ¥2,000 in 2023; the
// other ¥13,000 lapses after 2023, so its gain of 2024 is taxed whole. In
// 2024 乙 sells too, a sale dated before its buy, costed at no average at
// all. The sells of 甲 are stored out of date order.
std::unique_ptr<Portfolio> carried_loss_portfolio();

}  // namespace chomaru
