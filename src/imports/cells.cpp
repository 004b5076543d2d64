#include "imports/cells.h"

#include <limits>

#include "imports/csv_text.h"
#include "store/data_file.h"
#include "store/numbers.h"
#include "store/regional_text.h"
#include "store/typed_text.h"

namespace chomaru {

namespace {

struct AccountText {
    std::string_view text;
    AccountType type;
};

constexpr AccountText account_texts[] = {
    {"特定", AccountType::tokutei},
    {"一般", AccountType::ippan},
    {"NISA(成)", AccountType::nisa_growth},
    {"NISA (成長)", AccountType::nisa_growth},
    {"NISA成長投資枠", AccountType::nisa_growth},
    {"NISA(つ)", AccountType::nisa_tsumitate},
    {"NISA (つみたて)", AccountType::nisa_tsumitate},
    {"NISAつみたて投資枠", AccountType::nisa_tsumitate},
    {"旧NISA", AccountType::old_nisa},
    {"旧つみたてNISA", AccountType::old_nisa},
};

std::string number_text(std::string_view cell) { return half_width_number_text(trim_blanks(cell)); }

std::optional<std::string> storable_text(std::string_view cell, std::string& why) {
    std::string text = held_line_text(trim_blanks(cell));
    if (is_storable_line(text)) return text;
    if (text.find_first_of("\r\n") != std::string::npos)
        why = "改行があります";
    else
        why = "使えない文字があります: " + unheld_characters(text);
    return std::nullopt;
}

}  // namespace

bool is_no_value(std::string_view cell) {
    const std::string_view t = trim_blanks(cell);
    return t.empty() || t == "-" || t == "--";
}

std::optional<Currency> money_cell(std::string_view cell) {
    const std::string text = number_text(cell);
    if (text.empty() || text == "-") return std::nullopt;
    if (text == "--") return Currency();
    return text_to_currency(text);
}

std::optional<int32_t> shares_cell(std::string_view cell) {
    try {
        const std::optional<Currency> count = money_cell(cell);
        if (!count || !count->is_whole() || *count <= Currency()) return std::nullopt;
        const int64_t shares = count->units() / Currency::units_per_yen;
        if (shares > std::numeric_limits<int32_t>::max()) return std::nullopt;
        return int32_t(shares);
    } catch (const ConversionError&) {
        return std::nullopt;
    } catch (const OverflowError&) {
        return std::nullopt;
    }
}

std::optional<Date> date_cell(std::string_view cell) {
    std::string text = number_text(cell);
    for (size_t at; (at = text.find("／")) != std::string::npos;) text.replace(at, std::string_view("／").size(), "/");
    // A two-digit year is of this century.
    if (text.find_first_of("/-") == 2) text.insert(0, "20");
    try {
        return text_to_date(text);
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

std::optional<AccountType> broker_account(std::string_view cell) {
    const std::string_view text = trim_blanks(cell);
    for (const AccountText& a : account_texts)
        if (a.text == text) return a.type;
    return std::nullopt;
}

void unreadable_cell(std::string_view what, std::string_view cell) {
    throw UnreadableCell{std::string(what) + "が読めません: " + std::string(trim_blanks(cell))};
}

const std::string& StorableTexts::take(std::string_view cell, std::string_view what) {
    auto found = known_.find(cell);
    if (found == known_.end()) {
        Checked checked;
        checked.text = storable_text(cell, checked.why);
        found = known_.emplace(std::string(cell), std::move(checked)).first;
    }
    if (!found->second.text) throw UnreadableCell{std::string(what) + "に" + found->second.why};
    return *found->second.text;
}

}  // namespace chomaru
