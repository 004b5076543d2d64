#include "support/test_data.h"

#include <fstream>
#include <initializer_list>
#include <sstream>

namespace chomaru {

std::string read_golden(const char* name) {
    std::ifstream in(std::string(CHOMARU_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

namespace {

TradeRecord rec(const char* date, int32_t price, int32_t shares, int64_t units) {
    return TradeRecord{date, price, shares, Currency::from_units(units)};
}

Stock& add_stock(Portfolio& p, const char* code, const char* name, int32_t dividend, int32_t average, int32_t held,
                 int64_t profit_units, float yield) {
    Stock& s = p.stocks[size_t(++p.last_stock)];
    s.stock_code = code;
    s.stock_name = name;
    s.dividend = dividend;
    s.avg_buy_price = average;
    s.held_shares = held;
    s.realized_profit = Currency::from_units(profit_units);
    s.dividend_yield = yield;
    return s;
}

Stock& add_trades(Portfolio& p, const char* code, const char* name, std::initializer_list<TradeRecord> buys,
                  std::initializer_list<TradeRecord> sells) {
    Stock& s = p.stocks[size_t(++p.last_stock)];
    s.stock_code = code;
    s.stock_name = name;
    for (const TradeRecord& r : buys) s.buys[size_t(s.buy_count++)] = r;
    for (const TradeRecord& r : sells) s.sells[size_t(s.sell_count++)] = r;
    return s;
}

constexpr int64_t yen = Currency::units_per_yen;

}  // namespace

std::unique_ptr<Portfolio> carried_loss_portfolio() {
    auto p = Portfolio::create();
    p->last_stock = -1;
    add_trades(*p, "1111", "甲", {rec("2020/01/10", 1000, 100, 100000 * yen)},
               {rec("2021/03/01", 1500, 10, 15000 * yen), rec("2020/06/01", 600, 50, 30000 * yen),
                rec("2024/02/01", 2000, 10, 20000 * yen), rec("2023/05/01", 1200, 10, 12000 * yen)});
    add_trades(*p, "2222", "乙", {rec("2024/02/01", 800, 10, 8000 * yen)}, {rec("2024/01/05", 1000, 5, 50005000)});
    return p;
}

std::unique_ptr<Portfolio> report_test_portfolio() {
    auto p = Portfolio::create();
    p->last_stock = -1;
    Stock& a = add_stock(*p, "1234", "新日鉄", 3, 11, 10, 480625, 3.0f / 11.0f);
    a.buys[0] = rec("2003/01/10", 10, 10, 1050000);
    a.buys[1] = rec("2003/03/01", 12, 10, 1205000);
    a.buy_count = 2;
    a.sells[0] = rec("2003/02/01", 16, 5, 800625);
    a.sells[1] = rec("2003/03/01", 15, 5, 735000);
    a.sell_count = 2;

    add_stock(*p, "9999", "空銘柄", 0, 0, 0, 0, 0.0f);

    Stock& c = add_stock(*p, "7203", "トヨタ自動車", 20, 1500, -300, -125000, 20.0f / 1500.0f);
    c.sells[0] = rec("2004/1/5", 1500, 100, 1490000000);
    c.sells[1] = rec("2004/01/20", 1450, 200, 2890125000);
    c.sell_count = 2;

    Stock& d = add_stock(*p, "8411", "みずほ,FG \"本店\"", 5, 200, 100, 10000000, 0.025f);
    d.buys[0] = rec("2003/05/10", 200, 200, 400000000);
    d.buy_count = 1;
    d.sells[0] = rec("2003/04/01", 210, 100, 210000000);
    d.sell_count = 1;

    Stock& e = add_stock(*p, "6758", "ソニー", 25, 147, 15, 6000000, 25.0f / 147.0f);
    e.buys[0] = rec("2003/06/01", 100, 10, 10000000);
    e.buys[1] = rec("2003/05/01", 120, 10, 12000000);
    e.buy_count = 2;
    e.sells[0] = rec("2003/05/15", 120, 5, 6000000);
    e.sell_count = 1;
    return p;
}

std::unique_ptr<Portfolio> numbered_portfolio(int32_t stocks, int32_t buys) {
    auto p = Portfolio::create();
    p->fees = FeeTable::defaults();
    p->last_stock = stocks - 1;
    for (int32_t j = 0; j < stocks; ++j) {
        Stock& s = p->stocks[size_t(j)];
        s.stock_code = std::to_string(1000 + j);
        s.stock_name = "銘柄";
        s.buy_count = buys;
        for (int32_t i = 0; i < buys; ++i)
            s.buys[size_t(i)] = TradeRecord{"2003/08/01", 10, 10, Currency::from_yen(100)};
    }
    return p;
}

}  // namespace chomaru
