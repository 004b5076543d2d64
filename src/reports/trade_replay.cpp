#include "reports/trade_replay.h"

#include <cstdint>

#include "store/numbers.h"

namespace chomaru {

namespace {

// The smallest whole yen not below `cost` / `shares`, exactly; a negative
// average (left by a sale made while none were held) rounds up towards 0.
int32_t average_rounded_up(Currency cost, int32_t shares) {
    int64_t n = cost.units();
    int64_t d = int64_t(shares) * Currency::units_per_yen;
    if (d < 0) {
        if (n == INT64_MIN) throw OverflowError("average out of range");
        n = -n;
        d = -d;
    }
    int64_t q = n / d;
    if (n % d != 0 && n > 0) q += 1;
    if (q < INT32_MIN || q > INT32_MAX) throw OverflowError("average out of range");
    return int32_t(q);
}

}  // namespace

TradeReplay::TradeReplay(const Stock& stock, AverageRounding rounding) : rounding_(rounding) {
    std::optional<UnreadableDate> unreadable;
    trades_ = replay_order(stock, unreadable);
    if (unreadable) throw ConversionError("a record's date is not a date");
}

bool TradeReplay::next() {
    while (next_ < trades_.size() && trades_[next_].split) split(*trades_[next_++].split);
    if (next_ >= trades_.size()) return false;
    const DatedRecord& trade = trades_[next_++].trade;
    if (trade.side == TradeSide::buy)
        buy(trade);
    else
        sell(trade);
    return true;
}

// The products of a price and a share count are formed in 64 bits: a
// holding of 50,000 shares at ¥50,000 is worth more than 32 bits hold.
void TradeReplay::buy(const DatedRecord& trade) {
    const TradeRecord& t = *trade.record;
    const Currency held_cost = Currency::from_yen(int64_t(step_.average) * step_.shares) + t.amount;
    const int32_t shares = checked_add(step_.shares, t.shares);
    if (shares == 0) throw OverflowError("division by zero: no shares after a buy");
    step_.average = average_of(held_cost, shares);
    step_.shares = shares;
    step_.side = TradeSide::buy;
    step_.record = &t;
    step_.date = trade.date;
    step_.cost = Currency();
    step_.profit = 0;
}

void TradeReplay::split(const Split& split) {
    const Currency held_cost = Currency::from_yen(int64_t(step_.average) * step_.shares);
    const SplitPosition p = split_position(split, step_.shares, held_cost, step_.average);
    step_.shares = p.held;
    step_.average = p.held > 0 ? average_of(held_cost, p.held) : p.average;
}

int32_t TradeReplay::average_of(Currency cost, int32_t shares) const {
    return rounding_ == AverageRounding::up ? average_rounded_up(cost, shares)
                                            : round_to_int32(cost.to_double() / double(shares));
}

void TradeReplay::sell(const DatedRecord& trade) {
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
