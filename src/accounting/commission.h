#pragma once

#include <cstdint>
#include <optional>

#include "store/currency.h"
#include "store/portfolio.h"

namespace chomaru {

// The bracket 0..5 of a trade value: the last limit of brackets 0..4 that the
// value exceeds decides; a value equal to a limit stays in its bracket.
int fee_bracket(const FeeTable& table, Currency value);

// 1 + the consumption tax rate, and the sale levy as a fraction of the trade
// value: each the double nearest to the exact decimal (5% gives 1.05, 1.05%
// gives 0.0105).
double surcharge_factor(const FeeTable& table);
double sale_levy_rate(const FeeTable& table);

// The broker's charge on a trade value: the bracket's rate and addition,
// bounded by the minimum and then the maximum, times the surcharge factor.
// Formed in 64 bits; raises OverflowError beyond them.
int64_t commission_charge(const FeeTable& table, Currency value);

// A unit price times a share count, exactly: a typed price may hold a
// fraction of a yen (0.1 yen steps are common). Raises OverflowError when the
// value in whole yen leaves the 32-bit range.
Currency trade_value(Currency price, int32_t shares);

// A trade value plus the charge. Raises OverflowError when the charge leaves
// the 32-bit range.
Currency buy_total(const FeeTable& table, Currency value);
Currency buy_total(const FeeTable& table, int32_t price, int32_t shares);

// A trade value less the charge and the sale levy.
Currency sell_total(const FeeTable& table, Currency value);
Currency sell_total(const FeeTable& table, int32_t price, int32_t shares);

// The lowest whole unit price p at which selling every held share brings in
// at least what the shares cost at the average buy price, at p and at every
// higher price: just above a bracket limit a sale can bring in less than
// just below it. Formed in 64 bits. None when nothing is held, or when no
// such price exists (a table whose charge and levy take a whole yen or more
// of each further yen, or a cost beyond every price).
std::optional<int32_t> break_even_price(const FeeTable& table, int32_t avg_buy_price, int32_t held_shares);

}  // namespace chomaru
