#include "reports/trade_replay.h"

#include <algorithm>

#include "store/numbers.h"

namespace chomaru {

TradeReplay::TradeReplay(const Stock& stock)
    : buys_(in_date_order(stock.buys, stock.buy_count)), sells_(in_date_order(stock.sells, stock.sell_count)) {}

std::vector<TradeReplay::Dated> TradeReplay::in_date_order(const RecordTable& records, int32_t count) {
    std::vector<Dated> dated;
    dated.reserve(size_t(std::clamp(count, 0, max_records)));
    for (int32_t r = 0; r < count; ++r) {
        const TradeRecord& t = records.at(size_t(r));
        dated.push_back({text_to_date(t.date), &t});
    }
    std::stable_sort(dated.begin(), dated.end(), [](const Dated& a, const Dated& b) { return a.date < b.date; });
    return dated;
}

bool TradeReplay::next() {
    const bool buy_pending = next_buy_ < buys_.size();
    const bool sell_pending = next_sell_ < sells_.size();
    if (!buy_pending && !sell_pending) return false;
    if (!buy_pending || (sell_pending && buys_[next_buy_].date > sells_[next_sell_].date))
        sell(sells_[next_sell_++]);
    else
        buy(buys_[next_buy_++]);
    return true;
}

// The products of a price and a share count are formed in 64 bits: a
// holding of 50,000 shares at ¥50,000 is worth more than 32 bits hold.
void TradeReplay::buy(const Dated& trade) {
    const TradeRecord& t = *trade.record;
    const Currency held_cost = Currency::from_yen(int64_t(step_.average) * step_.shares) + t.amount;
    const int32_t shares = checked_add(step_.shares, t.shares);
    if (shares == 0) throw OverflowError("division by zero: no shares after a buy");
    step_.average = round_to_int32(held_cost.to_double() / double(shares));
    step_.shares = shares;
    step_.side = TradeSide::buy;
    step_.record = &t;
    step_.date = trade.date;
    step_.cost = Currency();
    step_.profit = 0;
}

void TradeReplay::sell(const Dated& trade) {
    const TradeRecord& t = *trade.record;
    const Currency cost = Currency::from_yen(int64_t(t.shares) * step_.average);
    const int32_t profit = round_to_int32((t.amount - cost).to_double());
    const Currency cumulative = step_.cumulative + Currency::from_yen(profit);
    step_.shares = checked_sub(step_.shares, t.shares);
    step_.cumulative = cumulative;
    step_.side = TradeSide::sell;
    step_.record = &t;
    step_.date = trade.date;
    step_.cost = cost;
    step_.profit = profit;
}

}  // namespace chomaru
