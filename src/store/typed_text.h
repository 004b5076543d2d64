#pragma once

#include <string>
#include <string_view>

// Text as Linux input methods type it, taken as code page 932 holds it: the
// one mapping for what is typed into a prompt and what a broker's file
// brings in. All text here is UTF-8.
namespace chomaru {

// Input methods type a few characters under other code points than the ones
// code page 932 maps its bytes to (the wave dash U+301C for the byte pair
// 0x8160, which reads back as U+FF5E). Those become the character code page
// 932 holds; everything else is left as it is.
std::string held_forms(std::string_view text);

// A code or a name: held_forms, and the yen sign U+00A5, which code page 932
// cannot hold, taken as the full-width yen sign.
std::string held_line_text(std::string_view text);

// Text for a number conversion. With an input method on, digits, the minus
// sign, the separators, the yen sign and the blank come full-width; they
// become their half-width forms. Nothing else changes, so any other text
// still fails the conversion.
std::string half_width_number_text(std::string_view text);

// The characters of `text` that code page 932 cannot hold, each once, in
// the order they first appear: for a message that names them.
std::string unheld_characters(std::string_view text);

}  // namespace chomaru
