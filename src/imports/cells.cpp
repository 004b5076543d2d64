#include "imports/cells.h"

#include <limits>

#include "imports/csv_text.h"
#include "store/cp932.h"
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

// The cell without blanks, with full-width digits and signs as half-width
// ones; `changed` holds the text when it is not a piece of the cell.
std::string_view number_text(std::string_view cell, std::string& changed) {
    const std::string_view text = trim_blanks(cell);
    if (is_ascii(text)) return text;
    changed = half_width_number_text(text);
    return changed;
}

// find_first_of looks each character up in the set: two searches are quicker.
bool has_line_break(std::string_view text) { return text.find('\n') != text.npos || text.find('\r') != text.npos; }

bool is_date_separator(char c) { return c == '/' || c == '-'; }

std::optional<std::string> storable_text(std::string_view cell, std::string& why) {
    std::string text = held_line_text(trim_blanks(cell));
    if (is_storable_line(text)) return text;
    if (has_line_break(text))
        why = "改行があります";
    else
        why = "使えない文字があります: " + unheld_characters(text);
    return std::nullopt;
}

}  // namespace

bool is_no_value(std::string_view cell) {
    if (!cell.empty() && cell.front() >= '0' && cell.front() <= '9') return false;  // most cells
    const std::string_view t = trim_blanks(cell);
    return t.empty() || t == "-" || t == "--";
}

std::optional<Currency> money_cell_in_full(std::string_view cell) {
    std::string changed;
    const std::string_view text = number_text(cell, changed);
    if (text.empty() || text == "-") return std::nullopt;
    if (text == "--") return Currency();
    return text_to_currency(text);
}

std::optional<int32_t> shares_cell_in_full(std::string_view cell) {
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
    // yyyy/mm/dd, as most files write it, read at once.
    const auto digits = [&cell](size_t at, size_t n) {
        int value = 0;
        for (size_t i = at; i < at + n; ++i) {
            if (cell[i] < '0' || cell[i] > '9') return -1;
            value = value * 10 + (cell[i] - '0');
        }
        return value;
    };
    if (cell.size() == 10 && cell[4] == cell[7] && is_date_separator(cell[4])) {
        const Date date{digits(0, 4), digits(5, 2), digits(8, 2)};
        if (date.year >= 0 && date.month >= 0 && date.day >= 0)
            return is_valid_date(date) ? std::optional<Date>(date) : std::nullopt;
    }
    std::string changed;
    std::string_view text = number_text(cell, changed);
    if (!is_ascii(text)) {  // then `changed` holds it
        for (size_t at; (at = changed.find("／")) != std::string::npos;)
            changed.replace(at, std::string_view("／").size(), "/");
        text = changed;
    }
    // A two-digit year is of this century.
    if (text.size() > 2 && is_date_separator(text[2]) && !is_date_separator(text[0]) && !is_date_separator(text[1])) {
        changed = "20" + std::string(text);
        text = changed;
    }
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

std::string unknown_account_reason(std::string_view cell) {
    return "口座区分が不明: " + std::string(trim_blanks(cell));
}

void unreadable_cell(std::string_view what, std::string_view cell) {
    throw UnreadableCell{std::string(what) + "が読めません: " + std::string(trim_blanks(cell))};
}

std::optional<std::string_view> StorableTexts::plain_text(std::string_view bytes) {
    // ASCII is stored as it is, a line break aside. Codes are short: one
    // loop looks at each byte once.
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80 || c == '\n' || c == '\r') return std::nullopt;
    return trim_blanks(bytes);
}

const StorableTexts::Checked* StorableTexts::recent(std::string_view bytes) {
    const Known::value_type*& recent = recent_[quick_hash(bytes) % recent_.size()];
    if (recent == nullptr || recent->first != bytes) {
        const auto found = known_.find(bytes);
        if (found == known_.end()) return nullptr;
        recent = &*found;
    }
    return &recent->second;
}

const StorableTexts::Checked& StorableTexts::add(std::string_view bytes, std::string_view cell) {
    Checked checked;
    checked.text = storable_text(cell, checked.why);
    const Known::value_type& added = *known_.emplace(std::string(bytes), std::move(checked)).first;
    recent_[quick_hash(bytes) % recent_.size()] = &added;
    return added.second;
}

std::string_view StorableTexts::stored(const Checked& checked, std::string_view what) {
    if (!checked.text) throw UnreadableCell{std::string(what) + "に" + checked.why};
    return *checked.text;
}

}  // namespace chomaru
