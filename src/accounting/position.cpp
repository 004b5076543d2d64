#include "accounting/position.h"

#include <stdexcept>

#include <algorithm>
#include <limits>

#include "store/numbers.h"

namespace chomaru {

std::string unreadable_date_text(const UnreadableDate& record) {
    return std::string(record.side == TradeSide::buy ? "買い" : "売り") + "記録 " + std::to_string(record.index + 1) +
           " の日付「" + record.text + "」";
}

std::vector<DatedRecord> in_date_order(const Stock& stock, std::optional<UnreadableDate>& unreadable) {
    std::vector<DatedRecord> dated;
    const auto add = [&](const RecordTable& records, int32_t count, TradeSide side) {
        for (int32_t i = 0; i < count && !unreadable; ++i) {
            const TradeRecord& r = records.at(size_t(i));
            try {
                dated.push_back({text_to_date(r.date), side, i, &r});
            } catch (const ConversionError&) {
                unreadable = UnreadableDate{side, i, r.date};
            }
        }
    };
    dated.reserve(size_t(std::clamp(stock.buy_count, 0, max_records) + std::clamp(stock.sell_count, 0, max_records)));
    add(stock.buys, stock.buy_count, TradeSide::buy);
    add(stock.sells, stock.sell_count, TradeSide::sell);
    if (unreadable) return {};
    // Buys come before sells in the list, each in stored order, so a stable
    // sort on the date and the side keeps that order within a date and side.
    std::stable_sort(dated.begin(), dated.end(), [](const DatedRecord& a, const DatedRecord& b) {
        if (a.date != b.date) return a.date < b.date;
        return a.side == TradeSide::buy && b.side == TradeSide::sell;
    });
    return dated;
}

std::vector<DatedEvent> replay_order(const Stock& stock, std::optional<UnreadableDate>& unreadable) {
    std::vector<DatedEvent> events;
    for (const DatedRecord& record : in_date_order(stock, unreadable)) events.push_back({record});
    if (unreadable || stock.splits.empty()) return events;
    // The splits' dates were checked when they were stored or read.
    std::vector<DatedEvent> splits;
    for (const Split& split : stock.splits) splits.push_back({DatedRecord{text_to_date(split.date)}, &split});
    std::stable_sort(splits.begin(), splits.end(),
                     [](const DatedEvent& a, const DatedEvent& b) { return a.trade.date < b.trade.date; });
    std::vector<DatedEvent> merged(events.size() + splits.size());
    std::merge(splits.begin(), splits.end(), events.begin(), events.end(), merged.begin(),
               [](const DatedEvent& a, const DatedEvent& b) { return a.trade.date < b.trade.date; });
    return merged;
}

SplitPosition split_position(const Split& split, int32_t held, Currency cost, int32_t average) {
    // Toward zero: the shares of a sale made while none were held follow
    // the ratio as held ones do.
    const int64_t shares = int64_t(held) * split.after / split.before;
    if (shares < std::numeric_limits<int32_t>::min() || shares > std::numeric_limits<int32_t>::max())
        throw OverflowError("shares beyond 32 bits after a split");
    SplitPosition p{int32_t(shares), 0};
    p.average = p.held > 0 ? round_to_int32(cost.to_double() / double(p.held))
                           : round_to_int32(double(int64_t(average) * split.before) / double(split.after));
    return p;
}

int32_t split_fraction(const Split& split, int32_t held) { return int32_t(int64_t(held) * split.after % split.before); }

PositionReplay::PositionReplay(const Stock& stock, bool split_steps)
    : trades_(replay_order(stock, unreadable_)), split_steps_(split_steps) {}

bool PositionReplay::next() {
    while (!split_steps_ && next_ < trades_.size() && trades_[next_].split) take(trades_[next_++]);
    if (next_ >= trades_.size()) return false;
    take(trades_[next_++]);
    return true;
}

int32_t PositionReplay::held_for_split(const Date& date) {
    while (next_ < trades_.size() &&
           (trades_[next_].trade.date < date || (trades_[next_].split && trades_[next_].trade.date == date)))
        take(trades_[next_++]);
    return step_.held;
}

void PositionReplay::take(const DatedEvent& event) {
    if (event.split) {
        const SplitPosition p = split_position(*event.split, step_.held, step_.invested, step_.average);
        if (split_steps_) {
            step_.held_before = step_.held;
            step_.record = nullptr;
            step_.date = event.trade.date;
            step_.profit = Currency();
            step_.split = event.split;
        }
        step_.held = p.held;
        if (step_.averaged) step_.average = p.average;
        return;
    }
    const DatedRecord& trade = event.trade;
    const TradeRecord& t = *trade.record;
    PositionStep s = step_;
    s.side = trade.side;
    s.index = trade.index;
    s.record = &t;
    s.date = trade.date;
    s.split = nullptr;
    s.held_before = step_.held;
    if (trade.side == TradeSide::buy) {
        s.held = checked_add(step_.held, t.shares);
        s.invested = step_.invested + t.amount;
        s.profit = Currency();
        if (s.held > 0) {
            s.average = round_to_int32(s.invested.to_double() / double(s.held));
            s.averaged = true;
        }
    } else {
        // Formed in 64 bits: 50,000 shares at ¥50,000 are worth more than 32
        // bits hold.
        const Currency cost = Currency::from_yen(int64_t(step_.average) * int64_t(t.shares));
        s.held = checked_sub(step_.held, t.shares);
        s.invested = step_.invested - cost;
        s.profit = t.amount - cost;
        s.realized = step_.realized + s.profit;
    }
    step_ = s;
}

std::optional<UnreadableDate> recompute_figures(Stock& stock) {
    PositionReplay replay(stock);
    if (replay.unreadable()) return replay.unreadable();
    while (replay.next()) {
    }
    const PositionStep& last = replay.step();
    const int32_t average = last.averaged ? last.average : stock.avg_buy_price;
    stock.held_shares = last.held;
    stock.avg_buy_price = average;
    stock.realized_profit = last.realized;
    update_dividend_yield(stock);
    return std::nullopt;
}

void update_dividend_yield(Stock& stock) {
    if (stock.avg_buy_price > 0)
        stock.dividend_yield = static_cast<float>(double(stock.dividend) / double(stock.avg_buy_price));
}

std::vector<Oversale> oversales(const Stock& stock) {
    std::vector<Oversale> found;
    PositionReplay replay(stock);
    while (replay.next()) {
        const PositionStep& s = replay.step();
        if (s.oversold()) found.push_back({s.index, s.record->date, s.held_before, s.record->shares});
    }
    return found;
}

std::optional<Oversale> new_oversale(const Stock& before, const Stock& after) {
    const std::vector<Oversale> old = oversales(before);
    // When `before` cannot be replayed, a sale left as it was counts as known.
    const bool replayed = !PositionReplay(before).unreadable();
    for (const Oversale& sale : oversales(after)) {
        const size_t i = size_t(sale.index);
        const bool known =
            replayed ? std::any_of(old.begin(), old.end(), [&](const Oversale& o) { return o.index == sale.index; })
                     : sale.index < before.sell_count && before.sells.at(i) == after.sells.at(i);
        if (!known) return sale;
    }
    return std::nullopt;
}

Stock with_record_added(const Stock& stock, TradeSide side, const TradeRecord& record) {
    Stock after = stock;
    if (side == TradeSide::buy)
        append_record(after.buys, after.buy_count, record);
    else
        append_record(after.sells, after.sell_count, record);
    return after;
}

Stock with_record_changed(const Stock& stock, TradeSide side, int32_t index, const TradeRecord& record) {
    Stock after = stock;
    const int32_t count = side == TradeSide::buy ? after.buy_count : after.sell_count;
    if (index < 0 || index >= count) throw std::out_of_range("no such record");
    (side == TradeSide::buy ? after.buys : after.sells)[size_t(index)] = record;
    return after;
}

}  // namespace chomaru
