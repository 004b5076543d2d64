#include "full_portfolio.h"

#include <string>

#include "store/date_text.h"

namespace chomaru {

std::unique_ptr<Portfolio> make_full_portfolio(int stocks, int records) {
    auto p = Portfolio::create();
    p->last_stock = stocks - 1;
    p->current_stock = 17 % stocks;
    p->fees = FeeTable::defaults();
    for (int s = 0; s < stocks; ++s) {
        Stock& stock = p->stocks[size_t(s)];
        stock.stock_code = std::to_string(1000 + s * 7);
        stock.stock_name = "銘柄" + std::to_string(s) + "ホールディングス";
        stock.dividend = 10 + s % 50;
        stock.buy_count = records;
        stock.sell_count = records;
        stock.avg_buy_price = 1000 + s;
        stock.held_shares = 25600;
        stock.realized_profit = Currency::from_units(123456789 + s);
        stock.dividend_yield = float(stock.dividend) / float(stock.avg_buy_price);
        for (int r = 0; r < records; ++r) {
            const Date d{2000 + r / 12, r % 12 + 1, r % 28 + 1};
            stock.buys[size_t(r)] =
                TradeRecord{short_date_text(d), 1000 + r, 200, Currency::from_units(2006250000 + r * 10000)};
            stock.sells[size_t(r)] =
                TradeRecord{short_date_text(d), 1100 + r, 100, Currency::from_units(1092345678 + r)};
        }
    }
    return p;
}

}  // namespace chomaru
