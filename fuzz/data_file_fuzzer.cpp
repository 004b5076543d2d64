// Arbitrary bytes as a data file: the reader never fails other than by
// saying `unreadable`, and whatever it loads saves, is read whole and reads
// back unchanged.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "store/data_file.h"
#include "store/regional_text.h"

namespace chomaru {
namespace {

bool is_first_run_state(const Portfolio& p) {
    const Stock& s = p.stocks[0];
    return p.last_stock == 0 && p.current_stock == 0 && s.stock_code.empty() && s.stock_name.empty() &&
           s.dividend == 0 && s.buy_count == 0 && s.sell_count == 0 && s.avg_buy_price == 0 && s.held_shares == 0 &&
           s.realized_profit == Currency() && s.dividend_yield == 0.0f && p.fees == FeeTable::defaults();
}

bool holds_a_line_break(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

bool is_within_the_tables(const Portfolio& p) {
    if (p.last_stock < 0 || p.last_stock >= max_stocks) return false;
    if (p.current_stock < 0 || p.current_stock > p.last_stock) return false;
    if (holds_a_line_break(p.reserved_line)) return false;
    for (int32_t j = 0; j <= p.last_stock; ++j) {
        const Stock& s = p.stocks[size_t(j)];
        if (s.buy_count < 0 || s.buy_count > max_records || s.sell_count < 0 || s.sell_count > max_records)
            return false;
        if (holds_a_line_break(s.stock_code) || holds_a_line_break(s.stock_name)) return false;
        for (int32_t i = 0; i < s.buy_count; ++i)
            if (s.buys[size_t(i)].date.find_first_of(" \r\n") != std::string::npos) return false;
        for (int32_t i = 0; i < s.sell_count; ++i)
            if (s.sells[size_t(i)].date.find_first_of(" \r\n") != std::string::npos) return false;
    }
    return true;
}

float as_written(float value) { return text_to_float(float_text(value)); }

bool same_records(const Stock& a, const Stock& b) {
    for (int32_t i = 0; i < a.buy_count; ++i)
        if (a.buys[size_t(i)] != b.buys[size_t(i)]) return false;
    for (int32_t i = 0; i < a.sell_count; ++i)
        if (a.sells[size_t(i)] != b.sells[size_t(i)]) return false;
    return true;
}

// `back` is `saved` after a save and a load: equal, with floats as written.
bool reads_back_as(const Portfolio& saved, const Portfolio& back) {
    if (back.last_stock != saved.last_stock || back.current_stock != saved.current_stock ||
        back.reserved_line != saved.reserved_line)
        return false;
    for (int32_t j = 0; j <= saved.last_stock; ++j) {
        const Stock& a = saved.stocks[size_t(j)];
        const Stock& b = back.stocks[size_t(j)];
        if (a.stock_code != b.stock_code || a.stock_name != b.stock_name || a.dividend != b.dividend ||
            a.buy_count != b.buy_count || a.sell_count != b.sell_count || a.avg_buy_price != b.avg_buy_price ||
            a.held_shares != b.held_shares || a.realized_profit != b.realized_profit ||
            as_written(a.dividend_yield) != b.dividend_yield || !same_records(a, b) || a.account != b.account ||
            a.price != b.price || a.splits != b.splits || a.payments != b.payments)
            return false;
    }
    if (back.kept_lines != saved.kept_lines) return false;
    // The top bracket's limit is never used and is always written as 0.
    FeeTable fees = saved.fees;
    for (float& rate : fees.fee_rate) rate = as_written(rate);
    fees.fee_limit[fee_brackets - 1] = 0;
    return fees == back.fees;
}

}  // namespace
}  // namespace chomaru

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace chomaru;
    // Each portfolio is several megabytes: allocate them once.
    static const std::unique_ptr<Portfolio> loaded = Portfolio::create();
    static const std::unique_ptr<Portfolio> back = Portfolio::create();

    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const LoadStatus status = parse_data_file(bytes, *loaded);
    require(status != LoadStatus::missing, "parsing bytes never reports a missing file");
    require((status == LoadStatus::empty) == bytes.empty(), "only a file without bytes is empty");
    if (status != LoadStatus::loaded) {
        require(is_first_run_state(*loaded), "a file that is not loaded leaves a first run's state");
        return 0;
    }
    require(is_within_the_tables(*loaded), "a loaded portfolio stays within its tables");

    // Whatever loads can be saved: a run that could never save would lose
    // all its work at the exit.
    std::string saved;
    try {
        saved = format_data_file(*loaded);
    } catch (const DataFileError&) {
        require(false, "a loaded file saves");
    }
    ReadGaps gaps;
    require(parse_data_file(saved, *back, gaps) == LoadStatus::loaded, "a saved file loads");
    require(gaps.whole(), "a saved file is read whole");
    require(reads_back_as(*loaded, *back), "a saved file reads back to the same portfolio");
    require(format_data_file(*back) == saved, "save, load and save give the same bytes");
    return 0;
}
