#include "scenarios/tool_text.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace pavecast {

namespace {

unsigned byte(std::string_view text, std::size_t at) {
  return static_cast<unsigned char>(text[at]);
}

bool continuation(std::string_view text, std::size_t at) {
  return at < text.size() && (byte(text, at) & 0xC0) == 0x80;
}

}  // namespace

std::string from_latin1(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) append_utf8(out, static_cast<unsigned char>(c));
  return out;
}

void append_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::size_t utf8_sequence_length(std::string_view text, std::size_t at) {
  const unsigned b = byte(text, at);
  if (b < 0x80) return 1;
  std::size_t n = 0;
  if (b >= 0xC2 && b <= 0xDF) n = 2;
  else if (b >= 0xE0 && b <= 0xEF) n = 3;
  else if (b >= 0xF0 && b <= 0xF4) n = 4;
  else return 0;  // a continuation byte, an overlong lead (C0, C1) or F5..FF
  for (std::size_t k = 1; k < n; ++k)
    if (!continuation(text, at + k)) return 0;
  const char32_t cp = utf8_code_point(text, at, n);
  if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return n;
}

char32_t utf8_code_point(std::string_view text, std::size_t at, std::size_t length) {
  static constexpr unsigned kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t cp = byte(text, at) & kLeadMask[length];
  for (std::size_t k = 1; k < length; ++k) cp = (cp << 6) | (byte(text, at + k) & 0x3F);
  return cp;
}

std::string valid_utf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for_each_code_point(text, [&](char32_t cp) { append_utf8(out, cp); });
  return out;
}

std::string format_text(const char* pattern, ...) {
  char buffer[512];
  va_list args;
  va_start(args, pattern);
  int n = std::vsnprintf(buffer, sizeof buffer, pattern, args);
  va_end(args);
  return std::string(buffer,
                     static_cast<std::size_t>(n < 0 ? 0 : std::min<int>(n, sizeof buffer - 1)));
}

}  // namespace pavecast
