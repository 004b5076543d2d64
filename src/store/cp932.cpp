#include "store/cp932.h"

#include <array>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <vector>

namespace chomaru {

namespace {

static_assert(std::endian::native == std::endian::little, "a run's end is found from the lowest byte of a word");

// The length of the run of bytes below 0x80 at the start of `s`, eight
// bytes at a time where it can.
size_t ascii_run(std::string_view s) {
    size_t i = 0;
    for (uint64_t word; s.size() - i >= 8; i += 8) {
        std::memcpy(&word, s.data() + i, 8);
        if (const uint64_t high = word & 0x8080808080808080) return i + size_t(std::countr_zero(high) / 8);
    }
    while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;
    return i;
}

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) throw EncodingError("iconv cannot convert code page 932");
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    std::string convert(std::string_view input) {
        std::string output;
        if (!try_convert(input, output)) throw EncodingError("text is not valid code page 932");
        return output;
    }

    // Replaces `output` with the converted input; false for input that is
    // not valid in the encoding it comes from.
    bool try_convert(std::string_view input, std::string& output) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        output.assign(input.size() * 2 + 8, '\0');
        char* in = const_cast<char*>(input.data());
        size_t in_left = input.size();
        char* out = output.data();
        size_t out_left = output.size();
        while (in_left > 0) {
            if (iconv(cd_, &in, &in_left, &out, &out_left) != size_t(-1)) continue;
            if (errno != E2BIG) return false;
            const size_t used = size_t(out - output.data());
            output.resize(output.size() * 2);
            out = output.data() + used;
            out_left = output.size() - used;
        }
        // Flush any shift state; code page 932 has none, but check the result.
        if (iconv(cd_, nullptr, nullptr, &out, &out_left) == size_t(-1)) return false;
        output.resize(size_t(out - output.data()));
        return true;
    }

private:
    iconv_t cd_;
};

// One encoder for each thread: a converter keeps state while it works, and
// the data file is read on another thread than the windows'.
Converter& encoder() {
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

// What iconv makes of each byte and each byte pair of code page 932, asked
// once (about half a millisecond) and then looked up: the mapping is
// iconv's, the table spares a call for every text. Code page 932 keeps no
// state from one character to the next, so a text decodes as its
// characters do one by one. An entry holds the UTF-8 bytes of the one
// character, the first in the lowest byte; 0 where iconv refuses the bytes.
class DecodeTable {
public:
    DecodeTable() : pairs_(size_t(0x80) * 0x100) {
        Converter iconv_decoder("UTF-8", "CP932");
        std::string out;
        const auto entry = [&](std::string_view in) -> uint32_t {
            if (!iconv_decoder.try_convert(in, out)) return 0;
            // Never seen: bytes that make more than one character.
            if (out.empty() || out.size() != utf8_size(out[0])) {
                complete_ = false;
                return 0;
            }
            uint32_t packed = 0;
            for (size_t i = out.size(); i-- > 0;) packed = packed << 8 | static_cast<unsigned char>(out[i]);
            return packed;
        };
        for (int first = 0x80; first <= 0xFF; ++first) {
            const char one[] = {char(first)};
            single_[size_t(first)] = entry(std::string_view(one, 1));
            if (single_[size_t(first)] != 0) continue;
            // Code page 932's second bytes lie from 0x40 on.
            for (int second = 0x40; second <= 0xFF; ++second) {
                const char two[] = {char(first), char(second)};
                const size_t at = pair_index(first, second);
                pairs_[at] = entry(std::string_view(two, 2));
                if (pairs_[at] != 0) valid_pairs_[at / 64] |= uint64_t(1) << (at % 64);
            }
        }
    }

    // False when iconv made more than one character of some bytes: the
    // table cannot say what, and every text goes through iconv.
    bool complete() const { return complete_; }

    // Appends the text of `bytes` to `out`; false at bytes that are not
    // code page 932.
    bool decode(std::string_view bytes, std::string& out) const {
        // The first pass checks the bytes and measures the text, the second
        // writes it.
        size_t size = 0;
        const bool valid = walk(
            bytes, [&size](const char*, size_t n) { size += n; },
            [&size](uint32_t packed) { size += utf8_size(char(packed & 0xFF)); });
        if (!valid) return false;
        const size_t start = out.size();
        out.resize(start + size);
        char* to = out.data() + start;
        walk(
            bytes,
            [&to](const char* ascii, size_t n) {
                std::memcpy(to, ascii, n);
                to += n;
            },
            [&to](uint32_t packed) {
                for (; packed != 0; packed >>= 8) *to++ = char(packed & 0xFF);
            });
        return true;
    }

    // Whether the bytes are code page 932: walk's check alone, on a bit for
    // each pair, which stays in the cache where the table would not.
    bool valid(std::string_view bytes) const {
        const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
        const auto* const end = in + bytes.size();
        while (in < end) {
            in += ascii_run(std::string_view(reinterpret_cast<const char*>(in), size_t(end - in)));
            // Then character by character to the next ASCII byte: Japanese
            // text comes in runs.
            while (in < end && *in >= 0x80) {
                if (single_[*in] != 0) {
                    ++in;
                } else if (end - in >= 2 && valid_pair(in[0], in[1])) {
                    in += 2;
                } else {
                    return false;
                }
            }
        }
        return true;
    }

private:
    // Calls `ascii` with each run of ASCII bytes and `character` with each
    // other character, its UTF-8 bytes packed as in the table; false at
    // bytes that are not code page 932.
    template <typename Ascii, typename Character>
    bool walk(std::string_view bytes, Ascii ascii, Character character) const {
        const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
        const auto* const end = in + bytes.size();
        while (in < end) {
            const auto* run = in;
            in += ascii_run(std::string_view(reinterpret_cast<const char*>(in), size_t(end - in)));
            if (in > run) ascii(reinterpret_cast<const char*>(run), size_t(in - run));
            if (in == end) break;
            uint32_t packed = single_[*in];
            if (packed != 0) {
                ++in;
            } else if (end - in >= 2 && (packed = pairs_[pair_index(in[0], in[1])]) != 0) {
                in += 2;
            } else {
                return false;
            }
            character(packed);
        }
        return true;
    }

    static size_t utf8_size(char first) {
        const auto c = static_cast<unsigned char>(first);
        return c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    }
    static size_t pair_index(int first, int second) { return size_t(first - 0x80) * 0x100 + size_t(second); }
    bool valid_pair(int first, int second) const {
        const size_t at = pair_index(first, second);
        return (valid_pairs_[at / 64] >> (at % 64) & 1) != 0;
    }

    std::array<uint32_t, 0x100> single_{};
    std::vector<uint32_t> pairs_;
    std::array<uint64_t, 0x80 * 0x100 / 64> valid_pairs_{};
    bool complete_ = true;
};

const DecodeTable& decode_table() {
    static const DecodeTable table;
    return table;
}

}  // namespace

std::string cp932_to_utf8(std::string_view bytes) {
    if (is_ascii(bytes)) return std::string(bytes);
    const DecodeTable& table = decode_table();
    if (!table.complete()) {
        thread_local Converter iconv_decoder("UTF-8", "CP932");
        return iconv_decoder.convert(bytes);
    }
    std::string text;
    if (!table.decode(bytes, text)) throw EncodingError("text is not valid code page 932");
    return text;
}

bool is_cp932(std::string_view bytes) {
    const DecodeTable& table = decode_table();
    if (!table.complete()) {
        try {
            cp932_to_utf8(bytes);
            return true;
        } catch (const EncodingError&) {
            return false;
        }
    }
    return table.valid(bytes);
}

std::string utf8_to_cp932(std::string_view text) {
    if (is_ascii(text)) return std::string(text);
    std::string bytes = encoder().convert(text);
    if (cp932_to_utf8(bytes) != text) throw EncodingError("text cannot be held in code page 932");
    return bytes;
}

void append_cp932(std::string& out, std::string_view text) {
    if (is_ascii(text))
        out += text;
    else
        out += utf8_to_cp932(text);
}

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool is_utf8(std::string_view s) {
    static constexpr char32_t least[] = {0, 0x80, 0x800, 0x10000};
    for (size_t i = 0; i < s.size();) {
        i += ascii_run(s.substr(i));
        if (i == s.size()) break;
        const unsigned char lead = static_cast<unsigned char>(s[i]);
        size_t more = 0;
        char32_t c = lead;
        if (lead >= 0xF0 && lead < 0xF8)
            more = 3, c = lead & 0x07;
        else if (lead >= 0xE0 && lead < 0xF0)
            more = 2, c = lead & 0x0F;
        else if (lead >= 0xC0 && lead < 0xE0)
            more = 1, c = lead & 0x1F;
        else if (lead >= 0x80)
            return false;
        if (s.size() - i <= more) return false;
        for (size_t k = 1; k <= more; ++k) {
            const unsigned char next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3F);
        }
        if (c < least[more] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        i += more + 1;
    }
    return true;
}

std::string path_text(const std::filesystem::path& path) {
    const std::string& bytes = path.native();
    if (is_utf8(bytes)) return bytes;
    // Folders unpacked from archives made on Windows carry Shift_JIS names.
    try {
        return cp932_to_utf8(bytes);
    } catch (const EncodingError&) {
        return bytes;
    }
}

bool is_ascii(std::string_view text) { return ascii_run(text) == text.size(); }

bool cp932_can_hold(std::string_view text) {
    try {
        utf8_to_cp932(text);
        return true;
    } catch (const EncodingError&) {
        return false;
    }
}

}  // namespace chomaru
