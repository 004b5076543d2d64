#include "accounting/withholding.h"

namespace chomaru {

namespace {

// floor(amount × numerator / denominator) for a positive amount, where the
// denominator holds the 10^4 units of a yen: exact, without leaving 64 bits,
// since the units are split at the denominator.
int64_t yen_share(Currency amount, int64_t numerator, int64_t denominator) {
    const int64_t high = amount.units() / denominator;
    const int64_t low = amount.units() % denominator;
    return high * numerator + low * numerator / denominator;
}

}  // namespace

// Per unit of 1/10000 yen, x% of a yen is x / 10^6 units' worth.
int64_t estimated_tax(Currency taxable) {
    if (taxable <= Currency()) return 0;
    return yen_share(taxable, 15315, 1'000'000'000) + yen_share(taxable, 5, 1'000'000);
}

Currency default_withholding(Currency gross, AccountType account) {
    if (is_nisa(account) || gross <= Currency()) return Currency();
    return Currency::from_yen(yen_share(gross, 20315, 1'000'000'000));
}

}  // namespace chomaru
