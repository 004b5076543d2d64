#include "accounting/position.h"

#include "store/numbers.h"

namespace chomaru {

void recalc_position(Stock& stock) {
    stock.held_shares = 0;
    Currency cost;
    for (int32_t i = 0; i < stock.buy_count; ++i) {
        const TradeRecord& r = stock.buys.at(size_t(i));
        stock.held_shares = checked_add(stock.held_shares, r.shares);
        cost += r.amount;
    }
    if (stock.sell_count == 0) {
        if (stock.held_shares > 0) stock.avg_buy_price = round_to_int32(cost.to_double() / double(stock.held_shares));
        stock.realized_profit = Currency();
    } else {
        for (int32_t i = 0; i < stock.sell_count; ++i) {
            const TradeRecord& r = stock.sells.at(size_t(i));
            stock.held_shares = checked_sub(stock.held_shares, r.shares);
            cost -= r.amount;
        }
        // Each sale added (amount - average x shares) to the profit, so cost
        // plus profit is what is still invested in the shares held.
        if (stock.held_shares > 0)
            stock.avg_buy_price =
                round_to_int32((cost + stock.realized_profit).to_double() / double(stock.held_shares));
    }
    update_dividend_yield(stock);
}

void update_dividend_yield(Stock& stock) {
    if (stock.avg_buy_price > 0)
        stock.dividend_yield = static_cast<float>(double(stock.dividend) / double(stock.avg_buy_price));
}

void record_sale(Stock& stock, const TradeRecord& sale) {
    if (stock.sell_count < 0 || stock.sell_count >= max_records) throw OverflowError("the sell records are full");
    const int32_t held = checked_sub(stock.held_shares, sale.shares);
    const Currency cost = Currency::from_yen(int64_t(stock.avg_buy_price) * int64_t(sale.shares));
    const Currency profit = stock.realized_profit + (sale.amount - cost);
    stock.sells[size_t(stock.sell_count)] = sale;
    ++stock.sell_count;
    stock.held_shares = held;
    stock.realized_profit = profit;
}

}  // namespace chomaru
