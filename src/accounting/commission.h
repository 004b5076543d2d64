#pragma once

#include <cstdint>

#include "store/currency.h"
#include "store/portfolio.h"

namespace chomaru {

// The bracket 0..5 of a trade value: the last limit of brackets 0..4 that the
// value exceeds decides; a value equal to a limit stays in its bracket.
int fee_bracket(const FeeTable& table, Currency value);

// The broker's charge on a trade value: the bracket's rate and addition,
// bounded by the minimum and then the maximum, times 1.05.
int32_t commission_charge(const FeeTable& table, Currency value);

// Trade value plus the charge. Raises OverflowError when price x shares or
// the commission leaves the 32-bit range.
Currency buy_total(const FeeTable& table, int32_t price, int32_t shares);

// Trade value less the charge and the levy of 1.05% on sales.
Currency sell_total(const FeeTable& table, int32_t price, int32_t shares);

}  // namespace chomaru
