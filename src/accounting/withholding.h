#pragma once

#include <cstdint>

#include "store/account_type.h"
#include "store/currency.h"

namespace chomaru {

// The taxes a broker withholds on listed shares.

// On a gain of `taxable`: 15.315% income tax (with the reconstruction
// surtax) and 5% inhabitants' tax, each rounded down to the yen on its own,
// in whole yen. Nothing on a loss.
int64_t estimated_tax(Currency taxable);

// On a dividend of `gross` before tax, as offered before the user corrects
// it: 20.315% rounded down to the yen, and nothing in a NISA account.
Currency default_withholding(Currency gross, AccountType account);

}  // namespace chomaru
