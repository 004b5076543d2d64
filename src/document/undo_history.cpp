#include "document/undo_history.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <unordered_map>

namespace chomaru {

namespace {

void mix(size_t& hash, size_t value) { hash ^= value + 0x9e3779b97f4a7c15ULL + (hash << 6) + (hash >> 2); }

void mix_records(size_t& hash, const TradeRecord* records, int32_t count) {
    for (int32_t i = 0; i < count; ++i) mix(hash, hash_record(records[i]));
}

size_t hash_of(const Stock& s) {
    size_t hash = hash_figures(s);
    mix(hash, size_t(uint32_t(s.buy_count)) << 32 | uint32_t(s.sell_count));
    mix_records(hash, s.buys.data(), s.buy_count);
    mix_records(hash, s.sells.data(), s.sell_count);
    return hash;
}

bool same_records(const std::vector<TradeRecord>& kept, const TradeRecord* records, int32_t count) {
    if (kept.size() != size_t(count)) return false;
    for (int32_t i = 0; i < count; ++i)
        if (kept[size_t(i)] != records[i]) return false;
    return true;
}

bool holds(const StockImage& image, const Stock& s) {
    return same_figures(image, s) && same_records(image.buys, s.buys.data(), s.buy_count) &&
           same_records(image.sells, s.sells.data(), s.sell_count);
}

std::shared_ptr<const StockImage> image_of(const Stock& s, size_t hash) {
    auto image = std::make_shared<StockImage>();
    StockFigures& figures = *image;
    figures = s;
    image->buys.assign(s.buys.begin(), s.buys.begin() + s.buy_count);
    image->sells.assign(s.sells.begin(), s.sells.begin() + s.sell_count);
    image->hash = hash;
    return image;
}

void restore_stock(const StockImage& image, Stock& s) {
    StockFigures& figures = s;
    figures = image;
    s.buy_count = int32_t(image.buys.size());
    s.sell_count = int32_t(image.sells.size());
    std::copy(image.buys.begin(), image.buys.end(), s.buys.begin());
    std::copy(image.sells.begin(), image.sells.end(), s.sells.begin());
}

bool same_state(const PortfolioImage& a, const PortfolioImage& b) {
    return static_cast<const PortfolioHead&>(a) == static_cast<const PortfolioHead&>(b) && a.stocks == b.stocks;
}

}  // namespace

void UndoHistory::reset(const Portfolio& portfolio) {
    done_.clear();
    undone_.clear();
    shown_.clear();
    capture(portfolio);
}

PortfolioImage UndoHistory::capture(const Portfolio& portfolio) {
    PortfolioImage image;
    static_cast<PortfolioHead&>(image) = portfolio;
    const size_t count = size_t(std::clamp(portfolio.last_stock + 1, 0, max_stocks));
    image.stocks.reserve(count);
    // Stocks that moved (a deletion, a new order) are found among the
    // images already held, by their hash.
    std::unordered_multimap<size_t, std::shared_ptr<const StockImage>> held;
    for (size_t i = 0; i < count; ++i) {
        const Stock& s = portfolio.stocks[i];
        if (i < shown_.size() && holds(*shown_[i], s)) {
            image.stocks.push_back(shown_[i]);
            continue;
        }
        if (held.empty())
            for (const auto& kept : shown_) held.emplace(kept->hash, kept);
        const size_t hash = hash_of(s);
        std::shared_ptr<const StockImage> found;
        for (auto [it, end] = held.equal_range(hash); it != end && !found; ++it)
            if (holds(*it->second, s)) found = it->second;
        image.stocks.push_back(found ? found : image_of(s, hash));
    }
    shown_ = image.stocks;
    return image;
}

void UndoHistory::record(const std::string& name, PortfolioImage before, const Portfolio& portfolio) {
    PortfolioImage after = capture(portfolio);
    if (same_state(before, after)) return;
    undone_.clear();
    done_.push_back(Step{name, std::move(before), std::move(after)});
    if (done_.size() > limit_) done_.pop_front();
}

const std::string& UndoHistory::undo_name() const {
    static const std::string none;
    return done_.empty() ? none : done_.back().name;
}

const std::string& UndoHistory::redo_name() const {
    static const std::string none;
    return undone_.empty() ? none : undone_.back().name;
}

void UndoHistory::restore(const PortfolioImage& image, Portfolio& portfolio) {
    capture(portfolio);  // what the portfolio holds now, whatever ran since
    for (size_t i = 0; i < image.stocks.size(); ++i)
        if (i >= shown_.size() || shown_[i] != image.stocks[i]) restore_stock(*image.stocks[i], portfolio.stocks[i]);
    static_cast<PortfolioHead&>(portfolio) = image;
    shown_ = image.stocks;
}

bool UndoHistory::undo(Portfolio& portfolio) { return pass_step(done_, undone_, &Step::before, portfolio); }

bool UndoHistory::redo(Portfolio& portfolio) { return pass_step(undone_, done_, &Step::after, portfolio); }

bool UndoHistory::pass_step(std::deque<Step>& from, std::deque<Step>& to, PortfolioImage Step::*state,
                            Portfolio& portfolio) {
    if (from.empty()) return false;
    restore(from.back().*state, portfolio);
    to.push_back(std::move(from.back()));
    from.pop_back();
    return true;
}

}  // namespace chomaru
