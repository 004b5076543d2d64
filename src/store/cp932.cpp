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

bool cp932_can_hold(std::string_view text) {
    try {
        utf8_to_cp932(text);
        return true;
    } catch (const EncodingError&) {
        return false;
    }
}

}  // namespace chomaru
