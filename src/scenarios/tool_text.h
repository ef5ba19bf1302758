// Text the scenario tool writes, in every file and on its outputs: valid
// UTF-8 always.
//
// The fixed-column files (scores files, repair actions, pavement type names)
// hold one byte per character, read as Latin-1: every byte of 0x80 or more
// becomes its two-byte UTF-8 form, so a name cut at its field's width never
// ends in part of a character. Text that reaches a writer by another way (a
// file name typed on the command line) is made valid by replacing each byte
// that starts no well-formed sequence with U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace pavecast {

// The bytes of a fixed-column field, as UTF-8.
std::string from_latin1(std::string_view bytes);

// `text` with every byte outside a well-formed UTF-8 sequence (overlong
// forms, surrogates and code points above U+10FFFF included) replaced by
// U+FFFD.
std::string valid_utf8(std::string_view text);

// Calls `each(code_point)` for the characters of valid_utf8(text).
template <typename Each>
void for_each_code_point(std::string_view text, Each each);

// Appends the UTF-8 form of `code_point`.
void append_utf8(std::string& out, char32_t code_point);

// The length of the well-formed UTF-8 sequence at text[at], or 0.
std::size_t utf8_sequence_length(std::string_view text, std::size_t at);

// The code point of the well-formed sequence of `length` bytes at text[at].
char32_t utf8_code_point(std::string_view text, std::size_t at, std::size_t length);

template <typename Each>
void for_each_code_point(std::string_view text, Each each) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t n = utf8_sequence_length(text, at);
    if (n == 0) {
      each(char32_t{0xFFFD});
      ++at;
    } else {
      each(utf8_code_point(text, at, n));
      at += n;
    }
  }
}

// printf's formatting of `pattern` into a string (at most 511 bytes).
std::string format_text(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

}  // namespace pavecast
