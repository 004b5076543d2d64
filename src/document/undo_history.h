#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "store/portfolio.h"

namespace chomaru {

// One stock as it stood at some moment, holding only the records in use.
// Images are shared between the states that hold the same stock, so a step
// costs only the stocks it changed.
struct StockImage : StockFigures {
    std::vector<TradeRecord> buys;
    std::vector<TradeRecord> sells;
    size_t hash = 0;
};

// The whole portfolio at one moment: its head by value, each stock by a
// shared image.
struct PortfolioImage : PortfolioHead {
    std::vector<std::shared_ptr<const StockImage>> stocks;
};

// Undo and redo of the commands that change the portfolio. Before such a
// command the caller takes `before()`, after it `record()` with the step's
// name: the history compares the portfolio with the images it keeps and
// stores only what changed, so a step of one stock costs that stock, and
// moved stocks (a deletion, a new order) cost nothing but their places.
class UndoHistory {
public:
    static constexpr size_t default_limit = 300;

    explicit UndoHistory(size_t limit = default_limit) : limit_(limit) {}

    // Starts the history over for the portfolio as it stands now.
    void reset(const Portfolio& portfolio);

    // The state before a command.
    PortfolioImage before(const Portfolio& portfolio) { return capture(portfolio); }

    // Records the command that led from `before` to the portfolio as it
    // stands now, unless it changed nothing. A new step drops what could be
    // redone; past the limit the oldest step is dropped.
    void record(const std::string& name, PortfolioImage before, const Portfolio& portfolio);

    bool can_undo() const { return !done_.empty(); }
    bool can_redo() const { return !undone_.empty(); }
    // The name of the step undo or redo would take.
    const std::string& undo_name() const;
    const std::string& redo_name() const;

    // Puts the portfolio back as it was before the last step, or as it was
    // after the last undone one. False when there is nothing to do.
    bool undo(Portfolio& portfolio);
    bool redo(Portfolio& portfolio);

    size_t steps() const { return done_.size(); }

    // Puts the portfolio back in a state taken with `before()`, as after a
    // change that failed part-way.
    void restore(const PortfolioImage& image, Portfolio& portfolio);

private:
    struct Step {
        std::string name;
        PortfolioImage before;
        PortfolioImage after;
    };

    PortfolioImage capture(const Portfolio& portfolio);
    // Puts the portfolio in `state` of the newest step of `from` and moves
    // that step over to `to`.
    bool pass_step(std::deque<Step>& from, std::deque<Step>& to, PortfolioImage Step::*state, Portfolio& portfolio);

    size_t limit_;
    // The image of each stock as the portfolio holds it now.
    std::vector<std::shared_ptr<const StockImage>> shown_;
    std::deque<Step> done_;
    std::deque<Step> undone_;
};

}  // namespace chomaru
