#include "store/cp932.h"

#include <cerrno>
#include <iconv.h>

namespace chomaru {

namespace {

bool is_ascii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
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
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string output(input.size() * 2 + 8, '\0');
        char* in = const_cast<char*>(input.data());
        size_t in_left = input.size();
        char* out = output.data();
        size_t out_left = output.size();
        while (in_left > 0) {
            if (iconv(cd_, &in, &in_left, &out, &out_left) != size_t(-1)) continue;
            if (errno != E2BIG) throw EncodingError("text is not valid code page 932");
            const size_t used = size_t(out - output.data());
            output.resize(output.size() * 2);
            out = output.data() + used;
            out_left = output.size() - used;
        }
        // Flush any shift state; code page 932 has none, but check the result.
        if (iconv(cd_, nullptr, nullptr, &out, &out_left) == size_t(-1))
            throw EncodingError("text is not valid code page 932");
        output.resize(size_t(out - output.data()));
        return output;
    }

private:
    iconv_t cd_;
};

// One converter each way for each thread: a converter keeps state while it
// works, and the data file is read on another thread than the windows'.
Converter& decoder() {
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

Converter& encoder() {
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool is_utf8(std::string_view s) {
    static constexpr char32_t least[] = {0, 0x80, 0x800, 0x10000};
    for (size_t i = 0; i < s.size();) {
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

}  // namespace

std::string cp932_to_utf8(std::string_view bytes) {
    if (is_ascii(bytes)) return std::string(bytes);
    return decoder().convert(bytes);
}

std::string utf8_to_cp932(std::string_view text) {
    if (is_ascii(text)) return std::string(text);
    std::string bytes = encoder().convert(text);
    if (decoder().convert(bytes) != text) throw EncodingError("text cannot be held in code page 932");
    return bytes;
}

void append_cp932(std::string& out, std::string_view text) {
    if (is_ascii(text))
        out += text;
    else
        out += utf8_to_cp932(text);
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

bool cp932_can_hold(std::string_view text) {
    try {
        utf8_to_cp932(text);
        return true;
    } catch (const EncodingError&) {
        return false;
    }
}

}  // namespace chomaru
