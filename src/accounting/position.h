#pragma once

#include <optional>
#include <string>
#include <vector>

#include "store/currency.h"
#include "store/date_text.h"
#include "store/portfolio.h"

namespace chomaru {

// A record of a stock whose date text does not read as a date: its side,
// its 0-based index and the text as stored.
struct UnreadableDate {
    TradeSide side = TradeSide::buy;
    int32_t index = 0;
    std::string text;
};

// "買い記録 3 の日付「2026/-2147483648/00」": the record named for the user,
// numbered as the record grids number it.
std::string unreadable_date_text(const UnreadableDate& record);

// A record of a stock with its date read.
struct DatedRecord {
    Date date;
    TradeSide side = TradeSide::buy;
    int32_t index = 0;  // the record's index on its side
    const TradeRecord* record = nullptr;
};

// A stock's records in date order: the records of one date buys first, each
// side in its stored order. When a date does not read, nothing, and the
// first such record in `unreadable`.
std::vector<DatedRecord> in_date_order(const Stock& stock, std::optional<UnreadableDate>& unreadable);

// A split or consolidation among a stock's records, in the order the
// replays take them.
struct DatedEvent {
    DatedRecord trade;
    const Split* split = nullptr;  // a split instead of a record
};

// The stock's records in date order (in_date_order) with its splits among
// them: a split comes before every record of its date, so it applies to the
// records dated before it; splits of one date in their stored order. Both
// replays take a stock's history from here.
std::vector<DatedEvent> replay_order(const Stock& stock, std::optional<UnreadableDate>& unreadable);

// The position a split leaves. The records keep what the user typed; the
// split changes the position at its date instead: the shares held become
// held × after / before, a fraction of a share dropped (the company pays it
// in cash), and the cost of the holding stays whole, so the average is that
// cost per new share, rounded as a buy's is (ties to even). With no shares
// left the average follows the ratio, average × before / after, rounded the
// same way. Pre-split sales keep the profit they had: they were costed at
// the average of their day. Raises OverflowError beyond 32 bits.
struct SplitPosition {
    int32_t held = 0;
    int32_t average = 0;
};
SplitPosition split_position(const Split& split, int32_t held, Currency cost, int32_t average);
// The fraction of a share a split leaves of `held`, as its numerator over
// split.before: 0 for a split, or for a consolidation of a multiple of
// before shares.
int32_t split_fraction(const Split& split, int32_t held);

// One trade of a stock and the position after it.
struct PositionStep {
    TradeSide side = TradeSide::buy;
    int32_t index = 0;  // the record's index on its side
    const TradeRecord* record = nullptr;
    Date date;
    int32_t held_before = 0;
    int32_t held = 0;
    // The average buy unit price, 0 until a buy has set it; it keeps its
    // value while nothing is held.
    int32_t average = 0;
    bool averaged = false;  // whether a buy has set the average
    Currency invested;      // the cost still invested in the shares held
    Currency realized;      // the profit of the sales so far
    Currency profit;        // this sale's profit; 0 for a buy
    // A split's own step, which only a replay asked for them gives: no
    // record, the split's date and the position it left.
    const Split* split = nullptr;

    // A sale of more shares than were held just before it.
    bool oversold() const { return !split && side == TradeSide::sell && record->shares > held_before; }
};

// A stock's records replayed in date order (in_date_order), with the
// position after each. A buy adds its amount to the cost invested and, while shares are held,
// sets the average to that cost per share (rounded, ties to even). A sale
// adds its amount less the average times its shares to the profit, takes
// that cost from the cost invested and leaves the average as it was; a sale
// before any buy is costed at 0. Nothing of the stock is changed.
class PositionReplay {
public:
    // Reads every date first; when one does not read there are no steps and
    // unreadable() names the first such record. With `split_steps` each
    // split is a step of its own, for a chart of the position over time.
    explicit PositionReplay(const Stock& stock, bool split_steps = false);

    const std::optional<UnreadableDate>& unreadable() const { return unreadable_; }

    // Takes the next trade, and first the splits before it; false when
    // every trade has been taken, the splits after the last one too. A
    // split is no step of its own: the step after it shows the position it
    // left, and after the last trade step() shows the position after every
    // split. A figure out of range raises OverflowError.
    bool next();
    const PositionStep& step() const { return step_; }

    // Takes every trade dated before `date` and every split dated up to it,
    // and returns the shares then held: what a new split of that date
    // applies to.
    int32_t held_for_split(const Date& date);

private:
    void take(const DatedEvent& event);

    std::optional<UnreadableDate> unreadable_;
    std::vector<DatedEvent> trades_;
    bool split_steps_ = false;
    size_t next_ = 0;
    PositionStep step_;
};

// Recomputes held_shares, avg_buy_price, realized_profit and dividend_yield
// by replaying the stock's records (PositionReplay). A stock whose buys never
// set an average keeps its stored one; the yield is dividend / average while
// the average is positive and keeps its value otherwise. Every figure is
// worked out before any is stored: an OverflowError leaves the stock as it
// was. So does a record whose date does not read; that record is returned.
std::optional<UnreadableDate> recompute_figures(Stock& stock);

// The dividend yield, dividend / avg_buy_price as a float; it keeps its
// value while the average is not positive.
void update_dividend_yield(Stock& stock);

// The stock as it would be with one more record, or with record `index`
// (0-based) of a side replaced, its figures as they were: for asking about
// a change before it is made.
Stock with_record_added(const Stock& stock, TradeSide side, const TradeRecord& record);
Stock with_record_changed(const Stock& stock, TradeSide side, int32_t index, const TradeRecord& record);

// A sale that sells more shares than were held just before it, in date order.
struct Oversale {
    int32_t index = 0;  // the sale's index among the sell records
    std::string date;   // its date text
    int32_t held = 0;   // the shares held just before it
    int32_t shares = 0;
};

// How the reports mark a stock and a year that hold such a sale.
inline constexpr const char* oversold_mark = "保有株数を超える売却があります";

// Every such sale of the stock, in date order; none when a date does not read.
// Raises OverflowError.
std::vector<Oversale> oversales(const Stock& stock);

// The first sale of `after` that sells more than was held and did not in
// `before`: the same stock before a change that kept the indices of its
// sells (a sale appended is new). When `before` has a date that does not
// read, every sale left as it was counts as one it held before. Raises
// OverflowError.
std::optional<Oversale> new_oversale(const Stock& before, const Stock& after);

}  // namespace chomaru
