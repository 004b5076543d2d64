#include "imports/csv_text.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <tuple>

// Sixteen bytes at a time on x86-64, whose processors all have SSE2; a byte
// at a time elsewhere.
#if defined(__SSE2__) && defined(__x86_64__)
#define CHOMARU_SSE2 1
#include <emmintrin.h>
#else
#define CHOMARU_SSE2 0
#endif

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

namespace {

// The text of a file without its byte order mark, and whether it is code
// page 932; raises ImportError for bytes that are neither encoding.
struct Encoded {
    std::string_view body;
    bool cp932 = false;
};

[[noreturn]] void not_text() { throw ImportError("テキストファイルではありません"); }

Encoded find_encoding(std::string_view bytes, bool check_cp932 = true) {
    check_import_file_size(bytes.size());
    if (bytes.find('\0') != std::string_view::npos) not_text();
    std::string_view body = bytes;
    if (consume(body, byte_order_mark)) {
        if (!is_utf8(body)) not_text();
        return {body, false};
    }
    if (is_utf8(bytes)) return {bytes, false};
    if (check_cp932 && !is_cp932(bytes)) not_text();
    return {bytes, true};
}

constexpr const char* encoding_names[] = {"UTF-8", "Shift_JIS"};

}  // namespace

ImportText decode_import_text(std::string_view bytes) {
    const Encoded encoded = find_encoding(bytes);
    return {encoded.cp932 ? cp932_to_utf8(encoded.body) : std::string(encoded.body), encoding_names[encoded.cp932]};
}

ImportRecords::ImportRecords(std::string_view bytes, Check check) : reader_({}) {
    const Encoded encoded = find_encoding(bytes, check == Check::first);
    cp932_ = encoded.cp932;
    unchecked_ = cp932_ && check == Check::as_read;
    encoding_ = encoding_names[cp932_];
    reader_ = CsvReader(encoded.body);
}

bool ImportRecords::next() {
    fields_.clear();
    if (!reader_.next()) return false;
    if (unchecked_) check_record();
    return true;
}

// Each field that is not ASCII is decoded, unless its column held the same
// text last time or has decoded it before: a broker's file repeats its
// names, markets and accounts on line after line. Every byte of a record
// without quotes but the commas and the line end is in a field, and none
// of those can end a character, so decoding every field checks the record.
void ImportRecords::check_record() {
    // Quotes taken out of a field may join bytes that were apart: such a
    // record is checked as it stands.
    if (reader_.quoted()) {
        if (!is_cp932(reader_.record_text())) not_text();
        return;
    }
    const std::span<const std::string_view> fields = reader_.fields();
    if (checked_.size() < fields.size()) checked_.resize(fields.size());
    for (size_t i = 0; i < fields.size(); ++i) {
        if (reader_.ascii(i) || same_text(fields[i], checked_[i])) continue;
        try {
            decoded(i);
        } catch (const EncodingError&) {
            not_text();
        }
        checked_[i].assign(fields[i]);
    }
}

void ImportRecords::check_rest() const {
    if (unchecked_ && !is_cp932(reader_.rest())) not_text();
}

std::string_view ImportRecords::decoded(size_t i) {
    const std::string_view field = reader_.fields()[i];
    if (memos_.size() <= i) memos_.resize(i + 1);
    if (!memos_[i]) memos_[i] = std::make_unique<ColumnMemo>();
    // A field of another record may take the slot over, never one of the
    // same record, which has one field in each column.
    Decoded& slot = (*memos_[i])[quick_hash(field) % std::tuple_size_v<ColumnMemo>];
    if (slot.bytes != field) {
        slot.bytes = field;
        slot.text = cp932_to_utf8(field);
    }
    return slot.text;
}

const std::vector<std::string_view>& ImportRecords::fields() {
    if (fields_.size() != size())
        for (size_t i = fields_.size(); i < size(); ++i) fields_.push_back((*this)[i]);
    return fields_;
}

namespace {

static_assert(std::endian::native == std::endian::little, "the field scan reads eight bytes at a time, lowest first");

constexpr uint64_t byte_ones = 0x0101010101010101;
constexpr uint64_t byte_highs = 0x8080808080808080;

// The high bit of each byte of `word` that equals `c`; from the lowest such
// byte up a byte above may be marked too, the lowest is exact.
uint64_t bytes_equal(uint64_t word, char c) {
    const uint64_t x = word ^ (byte_ones * static_cast<unsigned char>(c));
    return (x - byte_ones) & ~x & byte_highs;
}

// The end of an unquoted field from `p`: the first comma or line feed, or
// the end of the text. `high` gathers the high bits of the bytes before it.
const char* unquoted_end(const char* p, const char* end, uint64_t& high) {
    for (uint64_t word; end - p >= 8; p += 8) {
        std::memcpy(&word, p, 8);
        if (const uint64_t found = bytes_equal(word, ',') | bytes_equal(word, '\n')) {
            const int before = std::countr_zero(found) / 8;
            high |= word & byte_highs & (before == 0 ? 0 : ~uint64_t(0) >> (64 - 8 * before));
            return p + before;
        }
        high |= word & byte_highs;
    }
    for (; p < end && *p != ',' && *p != '\n'; ++p) high |= static_cast<unsigned char>(*p) & 0x80;
    return p;
}

}  // namespace

bool CsvReader::next() {
    if (position_ >= text_.size()) return false;
    line_ = next_line_;
    count_ = 0;
    built_.clear();
    record_start_ = position_;
    quoted_ = !unquoted_record();
    if (quoted_) any_record();
    return true;
}

namespace {

// The lowest `n` bits.
uint64_t low_bits(size_t n) { return n >= 64 ? ~uint64_t(0) : (uint64_t(1) << n) - 1; }

}  // namespace

namespace {

// The masks of the 64 bytes from `p`.
template <typename Block>
void classify(const char* p, Block& b) {
#if CHOMARU_SSE2
    b.comma = b.quote = b.line_feed = b.high = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        const auto bits = [k](__m128i marks) { return uint64_t(uint16_t(_mm_movemask_epi8(marks))) << (16 * k); };
        b.comma |= bits(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(',')));
        b.quote |= bits(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')));
        b.line_feed |= bits(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')));
        b.high |= bits(bytes);
    }
#else
    b.comma = b.quote = b.line_feed = b.high = 0;
    for (size_t i = 0; i < 64; ++i) {
        const uint64_t bit = uint64_t(1) << i;
        b.comma |= p[i] == ',' ? bit : 0;
        b.quote |= p[i] == '"' ? bit : 0;
        b.line_feed |= p[i] == '\n' ? bit : 0;
        b.high |= static_cast<unsigned char>(p[i]) >= 0x80 ? bit : 0;
    }
#endif
}

}  // namespace

// Blocks are classified whole, sixteen bytes at a time where the processor
// can: a record's fields are then found from its separators' bits without a
// branch for each byte.
const CsvReader::Block& CsvReader::block(size_t index) {
    if (block_.index == index) return block_;
    const size_t at = 64 * index;
    if (text_.size() - at >= 64) {
        classify(text_.data() + at, block_);
    } else {
        std::array<char, 64> padded{};  // zeros after the text
        std::memcpy(padded.data(), text_.data() + at, text_.size() - at);
        classify(padded.data(), block_);
    }
    block_.index = index;
    return block_;
}

// Reads the record at the position when it holds no quote, as most records
// do; false, with nothing moved, when it holds one.
bool CsvReader::unquoted_record() {
    const char* const text = text_.data();
    size_t n = 0;              // fields read
    size_t start = position_;  // of the field being read
    bool high = false;         // a byte of the field in an earlier block is not ASCII
    for (size_t index = position_ / 64;; ++index) {
        const Block& b = block(index);
        const size_t base = 64 * index;
        const uint64_t record = ~low_bits(position_ > base ? position_ - base : 0);
        const uint64_t line_feed = b.line_feed & record & (~(b.line_feed & record) + 1);  // the first one
        const uint64_t before = line_feed != 0 ? line_feed - 1 : ~uint64_t(0);
        if ((b.quote & record & before) != 0) return false;
        // At most 64 fields end in a block.
        if (fields_.size() < n + 64) room_for(n + 64);
        for (uint64_t ends = ((b.comma & before) | line_feed) & record; ends != 0; ends &= ends - 1) {
            const size_t end = size_t(std::countr_zero(ends));
            const size_t from = start > base ? start - base : 0;
            fields_[n] = std::string_view(text + start, base + end - start);
            // The field's bytes in this block: bits from..end-1.
            ascii_[n] = !high && (b.high & ((uint64_t(1) << end) - (uint64_t(1) << from))) == 0;
            ++n;
            high = false;
            start = base + end + 1;
        }
        if (line_feed != 0) {
            if (fields_[n - 1].ends_with('\r')) fields_[n - 1].remove_suffix(1);
            position_ = start;
            ++next_line_;
            count_ = n;
            return true;
        }
        const uint64_t rest = start > base ? ~low_bits(start - base) : ~uint64_t(0);
        if (base + 64 >= text_.size()) {  // the record ends with the text
            fields_[n] = text_.substr(start);
            ascii_[n] = !high && (b.high & rest) == 0;
            position_ = text_.size();
            count_ = n + 1;
            return true;
        }
        high = high || (b.high & rest) != 0;
    }
}

void CsvReader::room_for(size_t fields) {
    fields_.resize(std::max(fields, 2 * fields_.size()));
    ascii_.resize(fields_.size());
}

void CsvReader::add(std::string_view field, bool ascii) {
    if (count_ == fields_.size()) room_for(count_ + 1);
    fields_[count_] = field;
    ascii_[count_] = ascii;
    ++count_;
}

void CsvReader::any_record() {
    const char* p = text_.data() + position_;
    const char* const end = text_.data() + text_.size();
    for (;;) {
        std::string_view field;
        if (p < end && *p == '"') {
            field = quoted_field(p, end);
            add(field, is_ascii(field));
        } else {
            const char* start = p;
            uint64_t high = 0;
            p = unquoted_end(p, end, high);
            field = std::string_view(start, size_t(p - start));
            if (p < end && *p == '\n' && field.ends_with('\r')) field.remove_suffix(1);
            add(field, high == 0);
        }
        if (p == end) break;
        if (*p++ == '\n') {
            ++next_line_;
            break;
        }
    }
    position_ = size_t(p - text_.data());
}

// A quoted field from its opening quote at `p`; leaves `p` at the comma or
// line end after it, or at the end of the text.
std::string_view CsvReader::quoted_field(const char*& p, const char* end) {
    const char* start = ++p;
    const char* quote = static_cast<const char*>(std::memchr(p, '"', size_t(end - p)));
    if (quote == nullptr) quote = end;
    next_line_ += count_line_feeds(std::string_view(start, size_t(quote - start)));
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
        next_line_ += count_line_feeds(std::string_view(start, size_t(quote - start)));
        field.append(start, size_t(quote - start));
        p = quote == end ? end : quote + 1;
    }
    const char* tail = p;
    while (p < end && *p != ',' && *p != '\n') ++p;
    field.append(tail, size_t(p - tail));
    if (p < end && *p == '\n' && field.ends_with('\r')) field.pop_back();
    return field;
}

size_t count_line_feeds(std::string_view text) {
    size_t count = 0;
    size_t i = 0;
#if CHOMARU_SSE2
    // Sixteen bytes at a time: each byte of `counts` counts the line feeds in
    // its lane, up to 255; then the lanes are summed.
    const __m128i line_feed = _mm_set1_epi8('\n');
    while (text.size() - i >= 16) {
        __m128i counts = _mm_setzero_si128();
        for (int k = 0; k < 255 && text.size() - i >= 16; ++k, i += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
            counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(bytes, line_feed));
        }
        const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
        count += size_t(_mm_cvtsi128_si64(sums)) + size_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
    }
#endif
    return count + size_t(std::count(text.begin() + ptrdiff_t(i), text.end(), '\n'));
}

size_t quick_hash(std::string_view text) {
    size_t h = text.size();
    if (!text.empty())
        for (const size_t at : {size_t(0), size_t(1), text.size() / 2, text.size() - 2, text.size() - 1})
            h = h * 31 + static_cast<unsigned char>(text[std::min(at, text.size() - 1)]);
    return h ^ (h >> 7);
}

std::string_view trim_blanks(std::string_view text) {
    // Most cells neither start nor end with a blank, nor with the first or
    // the last byte of the ideographic space.
    const auto blank_edge = [](char c, char wide) { return c == ' ' || c == '\t' || c == wide; };
    if (text.empty() ||
        (!blank_edge(text.front(), ideographic_space.front()) && !blank_edge(text.back(), ideographic_space.back())))
        return text;
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
