// Writes a full-capacity data file (256 stocks, each with 256 buys and 256
// sells) to the path given.
#include <cstdio>

#include "full_portfolio.h"
#include "store/data_file.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    auto portfolio = chomaru::make_full_portfolio();
    chomaru::save_data_file(argv[1], *portfolio);
    return 0;
}
