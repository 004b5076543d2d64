#include "imports/csv_text.h"

#include <algorithm>
#include <cstring>

#include "store/cp932.h"

namespace chomaru {

namespace {

constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";
constexpr std::string_view ideographic_space = "\u3000";

bool consume(std::string_view& s, std::string_view prefix) {
    if (!s.starts_with(prefix)) return false;
    s.remove_prefix(prefix.size());
    return true;
}

struct Brackets {
    std::string_view open;
    std::string_view close;
};

constexpr Brackets bracket_pairs[] = {{"［", "］"}, {"〔", "〕"}, {"[", "]"}, {"【", "】"}, {"（", "）"}, {"(", ")"}};

// What a bracket holds when it gives a column's unit.
constexpr std::string_view units[] = {"円", "株", "口", "％", "%", "外貨"};

bool is_unit(std::string_view text) {
    for (const std::string_view unit : units)
        if (text == unit) return true;
    return false;
}

}  // namespace

void stale_import_plan() { throw ImportError("取り込みの内容が今のデータと合いません。もう一度取り込んで下さい"); }

void check_import_file_size(uint64_t bytes) {
    if (bytes > max_import_file_bytes) throw ImportError("ファイルが大きすぎます（50MBまで）");
}

ImportText decode_import_text(std::string_view bytes) {
    check_import_file_size(bytes.size());
    const ImportError not_text("テキストファイルではありません");
    if (bytes.find('\0') != std::string_view::npos) throw not_text;
    std::string_view body = bytes;
    if (consume(body, byte_order_mark)) {
        if (!is_utf8(body)) throw not_text;
        return {std::string(body), "UTF-8"};
    }
    if (is_utf8(bytes)) return {std::string(bytes), "UTF-8"};
    try {
        return {cp932_to_utf8(bytes), "Shift_JIS"};
    } catch (const EncodingError&) {
        throw not_text;
    }
}

bool CsvReader::next() {
    if (position_ >= text_.size()) return false;
    line_ = next_line_;
    fields_.clear();
    built_.clear();
    const char* p = text_.data() + position_;
    const char* const end = text_.data() + text_.size();
    for (;;) {
        std::string_view field;
        if (p < end && *p == '"') {
            field = quoted_field(p, end);
        } else {
            const char* start = p;
            while (p < end && *p != ',' && *p != '\n') ++p;
            field = std::string_view(start, size_t(p - start));
            if (p < end && *p == '\n' && field.ends_with('\r')) field.remove_suffix(1);
        }
        fields_.push_back(field);
        if (p == end) break;
        if (*p++ == '\n') {
            ++next_line_;
            break;
        }
    }
    position_ = size_t(p - text_.data());
    return true;
}

// A quoted field from its opening quote at `p`; leaves `p` at the comma or
// line end after it, or at the end of the text.
std::string_view CsvReader::quoted_field(const char*& p, const char* end) {
    const char* start = ++p;
    const char* quote = static_cast<const char*>(std::memchr(p, '"', size_t(end - p)));
    if (quote == nullptr) quote = end;
    next_line_ += size_t(std::count(start, quote, '\n'));
    p = quote == end ? end : quote + 1;
    if (p < end && *p == '\r' && p + 1 < end && p[1] == '\n') ++p;
    if (p == end || *p == ',' || *p == '\n') return std::string_view(start, size_t(quote - start));

    // Doubled quotes, or text after the closing quote: the field is built.
    std::string& field = built_.emplace_back(start, size_t(quote - start));
    while (p < end && *p == '"') {
        field += '"';
        start = ++p;
        quote = static_cast<const char*>(std::memchr(p, '"', size_t(end - p)));
        if (quote == nullptr) quote = end;
        next_line_ += size_t(std::count(start, quote, '\n'));
        field.append(start, size_t(quote - start));
        p = quote == end ? end : quote + 1;
    }
    const char* tail = p;
    while (p < end && *p != ',' && *p != '\n') ++p;
    field.append(tail, size_t(p - tail));
    if (p < end && *p == '\n' && field.ends_with('\r')) field.pop_back();
    return field;
}

std::string_view trim_blanks(std::string_view text) {
    for (;;) {
        if (consume(text, " ") || consume(text, "\t") || consume(text, ideographic_space)) continue;
        if (text.ends_with(' ') || text.ends_with('\t')) {
            text.remove_suffix(1);
        } else if (text.ends_with(ideographic_space)) {
            text.remove_suffix(ideographic_space.size());
        } else {
            return text;
        }
    }
}

std::string header_key(std::string_view name) {
    std::string key;
    key.reserve(name.size());
    while (!name.empty()) {
        if (consume(name, " ") || consume(name, "\t") || consume(name, ideographic_space)) continue;
        bool bracket = false;
        for (const Brackets& b : bracket_pairs) {
            if (!name.starts_with(b.open)) continue;
            bracket = true;
            const size_t close = name.find(b.close, b.open.size());
            if (close != std::string_view::npos &&
                is_unit(trim_blanks(name.substr(b.open.size(), close - b.open.size())))) {
                name.remove_prefix(close + b.close.size());
            } else {
                name.remove_prefix(b.open.size());
            }
            break;
        }
        if (!bracket) {
            for (const Brackets& b : bracket_pairs) bracket = bracket || consume(name, b.close);
            if (bracket) continue;
            key += name.front();
            name.remove_prefix(1);
        }
    }
    return key;
}

HeaderNames::HeaderNames(const std::vector<std::string_view>& fields) {
    keys_.reserve(fields.size());
    for (const std::string_view field : fields) keys_.push_back(header_key(field));
}

size_t HeaderNames::column(std::string_view key) const {
    for (size_t i = 0; i < keys_.size(); ++i)
        if (keys_[i] == key) return i;
    return none;
}

}  // namespace chomaru
