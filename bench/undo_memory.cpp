// The memory 200 undo steps add: a full-capacity portfolio in which 200
// stocks have room for one more buy, then a buy on each of them recorded as
// an undo step. Prints the peak resident memory before and after.
#include <cstdio>
#include <fstream>
#include <string>

#include "document/undo_history.h"
#include "full_portfolio.h"

namespace {

long peak_kb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

}  // namespace

int main() {
    using namespace chomaru;
    constexpr int steps = 200;
    auto portfolio = make_full_portfolio();
    for (int j = 0; j < steps; ++j) --portfolio->stocks[size_t(j)].buy_count;
    UndoHistory history;
    history.reset(*portfolio);
    const long before = peak_kb();
    for (int j = 0; j < steps; ++j) {
        portfolio->current_stock = j;
        PortfolioImage image = history.before(*portfolio);
        Stock& s = portfolio->current();
        s.buys[size_t(s.buy_count++)] = TradeRecord{"2026/12/07", 1000, 100, Currency::from_yen(100000)};
        s.held_shares += 100;
        history.record("買い", std::move(image), *portfolio);
    }
    const long after = peak_kb();
    std::printf("undo: %d steps of buys add %.1f MB to the peak resident memory (%.1f -> %.1f MB)   goal: < 20 MB\n",
                int(history.steps()), double(after - before) / 1024.0, double(before) / 1024.0, double(after) / 1024.0);
    return history.steps() == steps ? 0 : 1;
}
