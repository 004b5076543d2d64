#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

// Every file of the program is code page 932 text. The program holds text
// as UTF-8 and converts only at the file boundary, through glibc's iconv.
namespace chomaru {

struct EncodingError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Bytes that are not valid code page 932 raise EncodingError.
std::string cp932_to_utf8(std::string_view bytes);
// Whether cp932_to_utf8 takes the bytes, found without decoding them.
bool is_cp932(std::string_view bytes);

// Text that code page 932 cannot hold exactly raises EncodingError: a
// character is never replaced by a look-alike (iconv would write the yen
// sign U+00A5 as the byte 0x5C, which reads back as a backslash).
std::string utf8_to_cp932(std::string_view text);
// Appends the same bytes to `out`; ASCII, the same in both, goes in as it
// is. On EncodingError `out` is left as it was.
void append_cp932(std::string& out, std::string_view text);

bool cp932_can_hold(std::string_view text);

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool is_utf8(std::string_view text);

// Whether every byte is below 0x80: such bytes are the same text in UTF-8
// and in code page 932.
bool is_ascii(std::string_view text);

// A path's name for the user: its bytes when they are UTF-8, else decoded
// from code page 932, else its bytes as they are.
std::string path_text(const std::filesystem::path& path);

}  // namespace chomaru
