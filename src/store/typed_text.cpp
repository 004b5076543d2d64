#include "store/typed_text.h"

#include <algorithm>
#include <span>

#include "store/cp932.h"

namespace chomaru {

namespace {

// The length of the UTF-8 sequence starting at `s[0]`; 1 for a byte that
// starts none, which is then passed on as it is.
size_t sequence_length(std::string_view s) {
    const auto lead = static_cast<unsigned char>(s[0]);
    const size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return std::min(n, s.size());
}

struct Replacement {
    std::string_view from;
    std::string_view to;
};

// Input method forms and the character code page 932 holds for each.
constexpr Replacement input_method_forms[] = {
    {"\u301C", "\uFF5E"},  // wave dash
    {"\u2016", "\u2225"},  // double vertical line
    {"\u2212", "\uFF0D"},  // minus sign
    {"\u00A2", "\uFFE0"},  // cent sign
    {"\u00A3", "\uFFE1"},  // pound sign
    {"\u00AC", "\uFFE2"},  // not sign
    {"\u2014", "\u2015"},  // em dash
};

constexpr Replacement yen_sign_form[] = {{"\u00A5", "\uFFE5"}};

constexpr Replacement half_width_forms[] = {
    {"\uFF10", "0"}, {"\uFF11", "1"},      {"\uFF12", "2"}, {"\uFF13", "3"}, {"\uFF14", "4"}, {"\uFF15", "5"},
    {"\uFF16", "6"}, {"\uFF17", "7"},      {"\uFF18", "8"}, {"\uFF19", "9"}, {"\uFF0D", "-"}, {"\uFF0C", ","},
    {"\uFF0E", "."}, {"\uFFE5", "\u00A5"}, {"\u3000", " "}, {"\uFF1A", ":"},
};

// `text` with each character found as `from` in one of the tables replaced.
std::string replaced(std::string_view text, std::span<const Replacement> table,
                     std::span<const Replacement> more = {}) {
    if (is_ascii(text)) return std::string(text);
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const std::string_view ch = text.substr(0, sequence_length(text));
        std::string_view to = ch;
        for (const std::span<const Replacement> t : {table, more})
            for (const Replacement& r : t)
                if (r.from == ch) to = r.to;
        out += to;
        text.remove_prefix(ch.size());
    }
    return out;
}

}  // namespace

std::string held_forms(std::string_view text) { return replaced(text, input_method_forms); }

std::string held_line_text(std::string_view text) { return replaced(text, input_method_forms, yen_sign_form); }

std::string half_width_number_text(std::string_view text) { return replaced(text, half_width_forms); }

std::string unheld_characters(std::string_view text) {
    std::string found;
    while (!text.empty()) {
        const std::string_view ch = text.substr(0, sequence_length(text));
        if (!cp932_can_hold(ch) && found.find(ch) == std::string::npos) found += ch;
        text.remove_prefix(ch.size());
    }
    return found;
}

}  // namespace chomaru
