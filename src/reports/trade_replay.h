#pragma once

#include <cstdint>
#include <vector>

#include "accounting/position.h"
#include "store/currency.h"
#include "store/date_text.h"
#include "store/portfolio.h"

namespace chomaru {

// One trade of a stock and the running figures after it.
struct ReplayStep {
    TradeSide side = TradeSide::buy;
    const TradeRecord* record = nullptr;
    Date date;
    // The running average unit price and share count; the shares go negative
    // after a sale made while none were held.
    int32_t average = 0;
    int32_t shares = 0;
    // A sale's shares at the running average, and its profit: the amount
    // received less that cost, in whole yen. Both 0 for a buy.
    Currency cost;
    int32_t profit = 0;
    // The profits of the sales so far.
    Currency cumulative;
};

// How the running average is made whole after a buy: to the nearest yen
// (ties to even), or up to the smallest whole yen not below the exact
// average, as a broker's 特定口座 carries its cost per share for tax.
enum class AverageRounding { nearest, up };

// A stock's buys and sells replayed in date order from its first trade, with
// the running average unit price, the shares held and each sale's profit,
// in the order of in_date_order. A buy averages its amount
// into the cost of the shares held; a sale is costed at the running average
// and leaves it unchanged; a split changes the shares and the average at its
// date (split_position), the cost of the shares held unchanged, and is no
// step of its own. Nothing of the stock is changed.
class TradeReplay {
public:
    // Reads every date of the stock; a date text that is not a date raises
    // ConversionError.
    explicit TradeReplay(const Stock& stock, AverageRounding rounding = AverageRounding::nearest);

    // Takes the next trade; false when every trade has been taken. A figure
    // out of range, or a buy that leaves no shares to average over, raises
    // OverflowError.
    bool next();
    const ReplayStep& step() const { return step_; }

private:
    void buy(const DatedRecord& trade);
    void sell(const DatedRecord& trade);
    void split(const Split& split);
    // The cost per share of `shares` made whole as `rounding_` says.
    int32_t average_of(Currency cost, int32_t shares) const;

    AverageRounding rounding_;
    std::vector<DatedEvent> trades_;
    size_t next_ = 0;
    ReplayStep step_;
};

}  // namespace chomaru
