#pragma once

#include "store/portfolio.h"

namespace chomaru {

// Recomputes held_shares, avg_buy_price, dividend_yield and, for a stock
// without sales, realized_profit, from the stock's records. The average
// keeps its value while no shares are held, the yield while the average is
// not positive. Raises OverflowError; held_shares is then already written.
void recalc_position(Stock& stock);

// The dividend yield, dividend / avg_buy_price as a float; it keeps its
// value while the average is not positive.
void update_dividend_yield(Stock& stock);

// Appends one sale and applies it in place: held_shares falls by the shares
// sold and realized_profit grows by amount - avg_buy_price x shares (formed
// in 64 bits). Everything is computed before anything is stored, so a sale
// that cannot be applied raises OverflowError and changes nothing.
void record_sale(Stock& stock, const TradeRecord& sale);

}  // namespace chomaru
