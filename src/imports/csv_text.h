#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A broker's CSV file as text: its encoding, its records and fields, and the
// names of its header row as they are compared.
namespace chomaru {

// A file the import cannot take at all; what() is the message for the user.
struct ImportError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Raises ImportError for a plan made on other data than it is applied to.
[[noreturn]] void stale_import_plan();

// The largest file the import reads: 50 MB.
inline constexpr uint64_t max_import_file_bytes = uint64_t(50) * 1024 * 1024;

// Raises ImportError "ファイルが大きすぎます（50MBまで）" for a file of more
// than max_import_file_bytes, so a caller can refuse it before reading it.
void check_import_file_size(uint64_t bytes);

// A file's text as UTF-8, and the name of the encoding it was found in.
struct ImportText {
    std::string text;
    std::string encoding;  // "UTF-8" or "Shift_JIS"
};

// UTF-8 when the bytes are valid UTF-8 (a leading byte order mark is
// dropped), otherwise code page 932. Raises ImportError for a file over the
// size limit, and "テキストファイルではありません" for one holding a NUL byte
// or readable in neither encoding.
ImportText decode_import_text(std::string_view bytes);

// The records of CSV text, one at a time: fields separated by commas, records
// ended by LF or CR LF, fields in double quotes may hold commas, line breaks
// and doubled quotes. An unquoted field is taken as it stands, a quote in it
// included; text after a closing quote is added to the field; an unclosed
// quote runs to the end of the text.
class CsvReader {
public:
    explicit CsvReader(std::string_view text) : text_(text) {}

    // Reads the next record; false when the text is used up.
    bool next();
    // The 1-based line on which the record starts.
    size_t line() const { return line_; }
    // The fields, valid until the next call of next().
    std::span<const std::string_view> fields() const { return {fields_.data(), count_}; }
    // Whether field `i` holds only bytes below 0x80.
    bool ascii(size_t i) const { return ascii_[i] != 0; }
    // The text after the last record read.
    std::string_view rest() const { return text_.substr(position_); }
    // The last record's text as it stands, its line end included, and
    // whether it holds a quote: then a field may join bytes the quotes
    // kept apart.
    std::string_view record_text() const { return text_.substr(record_start_, position_ - record_start_); }
    bool quoted() const { return quoted_; }
    // A record of one empty field: an empty line.
    bool empty_line() const { return count_ == 1 && fields_[0].empty(); }

private:
    // The masks of one 64-byte block of the text: bit i for byte 64k + i.
    struct Block {
        size_t index = size_t(-1);
        uint64_t comma = 0;
        uint64_t quote = 0;
        uint64_t line_feed = 0;
        uint64_t high = 0;
    };

    const Block& block(size_t index);
    bool unquoted_record();
    void any_record();
    void room_for(size_t fields);
    void add(std::string_view field, bool ascii);
    std::string_view quoted_field(const char*& p, const char* end);

    std::string_view text_;
    size_t record_start_ = 0;
    bool quoted_ = false;
    Block block_;
    size_t position_ = 0;
    size_t line_ = 0;
    size_t next_line_ = 1;
    std::deque<std::string> built_;  // fields that are not a piece of the text as it stands
    // The record's fields are the first count_; the others are room kept
    // for the next records.
    std::vector<std::string_view> fields_;
    std::vector<uint32_t> ascii_;  // 1 where the field holds only ASCII
    size_t count_ = 0;
};

// The records of a file's bytes as CSV text in the encoding decode_import_text
// finds, and its fields as UTF-8. Code page 932 never uses the bytes of a
// comma, a quote or a line end within a character, so the records are split
// on the bytes themselves; a field is decoded only when it is asked for (or
// checked, see Check), and the same bytes in one column are decoded once for
// many records.
class ImportRecords {
public:
    // When a file that is not UTF-8 is found to be code page 932: all of it
    // before the first record, or each record as it is read, which skips
    // the texts a column repeats. A reader that checks as it reads and
    // stops before the end calls check_rest().
    enum class Check { first, as_read };

    // Raises ImportError as decode_import_text; `bytes` must outlive the
    // records.
    explicit ImportRecords(std::string_view bytes, Check check = Check::first);

    const std::string& encoding() const { return encoding_; }

    // Reads the next record; false when the text is used up. Raises
    // ImportError "テキストファイルではありません" for a record that is
    // not code page 932 when checking as read.
    bool next();
    // Raises that ImportError when the text not read yet is not code page
    // 932.
    void check_rest() const;
    // The 1-based line on which the record starts.
    size_t line() const { return reader_.line(); }
    size_t size() const { return reader_.fields().size(); }
    // Field `i` as UTF-8 text, empty beyond the last; valid until the next
    // call of next().
    std::string_view operator[](size_t i) {
        if (i >= size()) return {};
        if (!cp932_ || reader_.ascii(i)) return reader_.fields()[i];
        return decoded(i);
    }
    // Field `i` as it stands in the file, not decoded; empty beyond the last.
    std::string_view bytes(size_t i) const { return i < size() ? reader_.fields()[i] : std::string_view(); }
    // Every field as UTF-8 text.
    const std::vector<std::string_view>& fields();

private:
    struct Decoded {
        std::string bytes;
        std::string text;
    };
    using ColumnMemo = std::array<Decoded, 256>;

    std::string_view decoded(size_t i);
    void check_record();

    bool cp932_ = false;
    bool unchecked_ = false;            // code page 932, checked as read
    std::vector<std::string> checked_;  // each column's text checked last
    std::string encoding_;
    CsvReader reader_;
    std::vector<std::unique_ptr<ColumnMemo>> memos_;
    std::vector<std::string_view> fields_;
};

// The number of line feeds in `text`.
size_t count_line_feeds(std::string_view text);

// The bytes of a text of at most eight bytes as one number, read from the
// text itself (two overlapping words, or three bytes): two texts of one
// length are equal when their numbers are.
inline uint64_t short_text_word(std::string_view text) {
    const size_t n = text.size();
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    if (n >= 4) {
        uint32_t first;
        uint32_t last;
        std::memcpy(&first, p, 4);
        std::memcpy(&last, p + n - 4, 4);
        return uint64_t(first) << 32 | last;
    }
    return n == 0 ? 0 : uint64_t(p[0]) << 16 | uint64_t(p[n / 2]) << 8 | p[n - 1];
}

// Whether two texts are the same; those of up to 16 bytes are compared as
// numbers, without a call.
[[gnu::always_inline]] inline bool same_text(std::string_view a, std::string_view b) {
    const size_t n = a.size();
    if (n != b.size()) return false;
    if (n <= 8) return short_text_word(a) == short_text_word(b);
    if (n <= 16)
        return short_text_word(a.substr(0, 8)) == short_text_word(b.substr(0, 8)) &&
               short_text_word(a.substr(n - 8)) == short_text_word(b.substr(n - 8));
    return a == b;
}

// The hash of a text for a map keyed by strings that is searched with
// string views.
struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const {
        if (text.size() > 8) return std::hash<std::string_view>()(text);
        // A stock code: its bytes and length as one number, mixed.
        const uint64_t word = (short_text_word(text) ^ uint64_t(text.size()) << 59) * 0x9E3779B97F4A7C15;
        return size_t(word ^ (word >> 29));
    }
};

// A quick hash of a short text from its length and a few of its bytes, for
// small caches that compare the text itself.
size_t quick_hash(std::string_view text);

// `text` without blanks (half-width, tab and the ideographic space) at
// either end.
std::string_view trim_blanks(std::string_view text);

// A header name as it is compared: without blanks, without a bracketed unit
// ("数量［株］" is "数量", "評価損益[％]" is "評価損益") and without the
// brackets ［］ 〔〕 [] 【】 （） () themselves ("銘柄（コード）" is
// "銘柄コード"). The same for a value such as "現物(単元未満)".
std::string header_key(std::string_view name);

// The names of a header row as header_key leaves them.
class HeaderNames {
public:
    static constexpr size_t none = size_t(-1);

    explicit HeaderNames(const std::vector<std::string_view>& fields);
    const std::vector<std::string>& keys() const { return keys_; }
    // The first column of that name, or `none`.
    size_t column(std::string_view key) const;

private:
    std::vector<std::string> keys_;
};

}  // namespace chomaru
