// The memory 300 undo steps add from a fresh start: the data file given (a
// full-capacity one) read as the program reads it into a new document, then
// 300 corrections of a buy, one stock after another, each one undo step. The
// program's first step keeps an image of every stock, as a fresh start's
// does. Prints the peak resident memory before and after.
#include <cstdio>
#include <fstream>
#include <string>

#include "document/document.h"
#include "store/data_file.h"

namespace {

long peak_kb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace chomaru;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DATA_FILE\n", argv[0]);
        return 2;
    }
    constexpr int steps = 300;
    auto data = Portfolio::create();
    if (read_data_file(argv[1], *data).status != LoadStatus::loaded) {
        std::fprintf(stderr, "%s does not read\n", argv[1]);
        return 1;
    }
    const int stocks = data->last_stock + 1;
    Document document(std::move(data));
    const long before = peak_kb();
    for (int j = 0; j < steps; ++j) {
        document.select(j % stocks);
        TradeRecord changed = document.selected().buys[0];
        changed.price += 1;
        document.change_record(TradeSide::buy, 0, changed, Operation::buy_correction);
    }
    const long after = peak_kb();
    int undone = 0;
    while (document.undo()) ++undone;
    std::printf("undo: %d steps add %.1f MB to the peak resident memory (%.1f -> %.1f MB)   goal: within 20 MB\n",
                steps, double(after - before) / 1024.0, double(before) / 1024.0, double(after) / 1024.0);
    return undone == steps ? 0 : 1;
}
