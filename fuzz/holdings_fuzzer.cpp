// Arbitrary bytes as a broker's holdings list: the reader either refuses the
// file with a message or reads rows whose prices and shares are usable, and
// the price plan matches only entries that exist.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "fuzz_check.h"
#include "imports/csv_text.h"
#include "imports/holdings.h"
#include "store/data_file.h"

namespace chomaru {
namespace {

// A code stored with blanks, which still matches, and one in NISA成長.
std::unique_ptr<Portfolio> base_portfolio() {
    auto p = Portfolio::create();
    p->last_stock = 1;
    p->stocks[0].stock_code = " 7203 ";
    p->stocks[0].held_shares = 100;
    p->stocks[1].stock_code = "8306";
    p->stocks[1].account = AccountType::nisa_growth;
    return p;
}

}  // namespace
}  // namespace chomaru

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace chomaru;
    static const std::unique_ptr<Portfolio> portfolio = base_portfolio();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ImportFileKind kind = classify_import_file(bytes);
    Holdings holdings;
    try {
        holdings = read_holdings(bytes, Date{2026, 12, 8});
    } catch (const ImportError& e) {
        require(std::string_view(e.what()).size() > 0, "a refusal has a message");
        require(kind != ImportFileKind::holdings, "a file told to be holdings reads as holdings");
        return 0;
    }
    for (const HoldingRow& row : holdings.rows) {
        require((row.status == RowStatus::trade) == row.reason.empty(), "a row that is not used says why");
        if (row.status != RowStatus::trade) continue;
        require(!row.code.empty() && is_storable_line(row.code) && is_storable_line(row.name),
                "a stock's code and name can be stored");
        require(row.shares > 0 && row.price > Currency(), "a stock's shares and price are positive");
        require(is_valid_date(row.price_date), "a price has a date");
    }
    const PricePlan plan = plan_prices(*portfolio, holdings);
    require(plan.rows.size() == holdings.rows.size(), "the plan has a row for every row");
    require(size_t(plan.matched + plan.unmatched + plan.not_stocks + plan.unreadable) == holdings.rows.size(),
            "the counts add up to the rows");
    for (const EntryPrice& price : plan.prices)
        require(price.entry >= 0 && price.entry <= portfolio->last_stock && price.price > Currency(),
                "a new price is for an entry");
    return 0;
}
