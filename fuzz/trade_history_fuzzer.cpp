// Arbitrary bytes as a broker's trade history: the reader either refuses the
// file with a message or reads every data line into a row; the plan accounts
// for every row, and applying it stays within the tables, saves, and leaves
// nothing for the same file to import a second time. A file of code page 932
// reads as its text in UTF-8.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "imports/csv_text.h"
#include "imports/import_plan.h"
#include "store/data_file.h"

namespace chomaru {
namespace {

// Two entries of one code in two accounts, one with records, and a third
// that is nearly full.
std::unique_ptr<Portfolio> base_portfolio() {
    auto p = Portfolio::create();
    p->last_stock = 2;
    p->stocks[0].stock_code = "7203";
    p->stocks[0].stock_name = "トヨタ自動車";
    p->stocks[0].buys[0] = TradeRecord{"2025/03/03", 2850, 100, Currency::from_yen(285000)};
    p->stocks[0].buy_count = 1;
    p->stocks[1].stock_code = "7203";
    p->stocks[1].account = AccountType::nisa_growth;
    p->stocks[2].stock_code = "6622";
    for (int32_t i = 0; i < max_records - 1; ++i)
        p->stocks[2].sells[size_t(i)] = TradeRecord{"2020/01/01", 1, 1, Currency::from_yen(1)};
    p->stocks[2].sell_count = max_records - 1;
    return p;
}

void check_history(const TradeHistory& h) {
    require(!h.format.empty() && !h.encoding.empty(), "a history names its format and encoding");
    size_t line = h.header_line;
    for (const TradeRow& row : h.rows) {
        require(row.line > line, "rows follow the header in the file's order");
        line = row.line;
        require((row.status == RowStatus::trade) == row.reason.empty(), "a row that is not a trade says why");
        if (row.status != RowStatus::trade) continue;
        require(row.date.has_value() && is_valid_date(*row.date), "a trade has a date");
        require(!row.code.empty() && is_storable_line(row.code) && is_storable_line(row.name),
                "a trade's code and name can be stored");
        require(row.shares > 0 && row.price >= 0 && row.amount >= Currency(), "a trade's figures are not negative");
        require(is_storable_date(row.record().date), "a trade's date can be stored");
    }
}

// A file of code page 932 reads as the same file decoded whole into UTF-8:
// its fields are split on the bytes and decoded one by one.
void check_as_utf8(std::string_view bytes, const TradeHistory& h) {
    if (h.encoding != "Shift_JIS") return;
    const TradeHistory u = read_trade_history("\xEF\xBB\xBF" + decode_import_text(bytes).text);
    require(u.header_line == h.header_line && u.rows.size() == h.rows.size(), "the UTF-8 text has the same rows");
    for (size_t i = 0; i < h.rows.size(); ++i) {
        const TradeRow& a = h.rows[i];
        const TradeRow& b = u.rows[i];
        require(a.line == b.line && a.status == b.status && a.reason == b.reason && a.date == b.date &&
                    a.settlement == b.settlement && a.code == b.code && a.name == b.name && a.account == b.account &&
                    a.side == b.side && a.shares == b.shares && a.unit_price == b.unit_price && a.amount == b.amount &&
                    a.amount_computed == b.amount_computed && a.account_unknown == b.account_unknown,
                "a row of code page 932 reads as its UTF-8 text");
    }
}

void check_plan(const Portfolio& p, const TradeHistory& h, const ImportPlan& plan) {
    require(plan.rows.size() == h.rows.size(), "the plan has a row for every row");
    const ImportCounts& c = plan.counts;
    require(size_t(c.to_import + c.duplicates + c.not_trades + c.over_capacity + c.unreadable) == h.rows.size(),
            "the counts add up to the rows");
    require(size_t(c.to_import) == plan.trades.size(), "every row to import is one trade");
    require(p.stock_count() + int32_t(plan.new_entries.size()) <= max_stocks, "new entries fit");
    for (const PlannedTrade& t : plan.trades)
        require(plan.rows[t.row].status == PlanStatus::import && plan.rows[t.row].entry == t.entry,
                "a trade is a row to import");
}

}  // namespace
}  // namespace chomaru

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace chomaru;
    static const std::unique_ptr<Portfolio> base = base_portfolio();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TradeHistory history;
    try {
        history = read_trade_history(bytes);
    } catch (const ImportError& e) {
        require(std::string_view(e.what()).size() > 0, "a refusal has a message");
        return 0;
    }
    check_history(history);
    check_as_utf8(bytes, history);

    const auto portfolio = std::make_unique<Portfolio>(*base);
    const ImportPlan plan = plan_import(*portfolio, history);
    check_plan(*portfolio, history, plan);
    apply_import(*portfolio, plan);
    require(portfolio->last_stock < max_stocks, "the stocks stay within the table");
    for (int32_t i = 0; i <= portfolio->last_stock; ++i) {
        const Stock& s = portfolio->stocks[size_t(i)];
        require(s.buy_count <= max_records && s.sell_count <= max_records, "the records stay within the tables");
    }
    try {
        format_data_file(*portfolio);
    } catch (const DataFileError&) {
        require(false, "what is imported can be saved");
    }
    require(plan_import(*portfolio, history).counts.to_import == 0, "the same file a second time adds nothing");
    return 0;
}
