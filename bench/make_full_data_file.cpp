// Writes a full-capacity data file (256 stocks, each with 256 buys and 256
// sells) to the path given, or one of STOCKS stocks with RECORDS buys and
// sells each.
#include <cstdio>
#include <cstdlib>

#include "full_portfolio.h"
#include "store/data_file.h"

int main(int argc, char* argv[]) {
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: %s FILE [STOCKS RECORDS]\n", argv[0]);
        return 2;
    }
    auto portfolio = argc == 4 ? chomaru::make_full_portfolio(std::atoi(argv[2]), std::atoi(argv[3]))
                               : chomaru::make_full_portfolio();
    chomaru::save_data_file(argv[1], *portfolio);
    return 0;
}
