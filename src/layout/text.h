// Text<N>: a text field of exactly N characters, blank-padded, as every
// character field of the settings and the tables is declared (a pavement
// type name is Text<8>, a highway name Text<23>). Assigning a shorter string
// pads it with blanks, a longer one is cut to N. It converts to a
// std::string_view of length N, which is what a layout writes for `A` and
// `An`, and it offers its characters as a span for a layout to read into.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace pavecast {

template <std::size_t N>
struct Text {
  std::array<char, N> chars;

  Text() { chars.fill(' '); }
  Text(std::string_view s) { assign(s); }  // NOLINT: implicit by design
  Text(const char* s) : Text(std::string_view(s)) {}

  Text& operator=(std::string_view s) {
    assign(s);
    return *this;
  }
  Text& operator=(const char* s) { return *this = std::string_view(s); }

  void assign(std::string_view s) {
    std::size_t n = s.size() < N ? s.size() : N;
    for (std::size_t i = 0; i < n; ++i) chars[i] = s[i];
    for (std::size_t i = n; i < N; ++i) chars[i] = ' ';
  }

  std::string_view view() const { return std::string_view(chars.data(), N); }
  operator std::string_view() const { return view(); }  // NOLINT
  std::span<char> span() { return std::span<char>(chars.data(), N); }
  std::string str() const { return std::string(view()); }

  // The text without its trailing blanks (a file name as the platform sees it).
  std::string_view trimmed() const {
    std::string_view v = view();
    std::size_t end = v.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : v.substr(0, end + 1);
  }
  bool blank() const { return view().find_first_not_of(' ') == std::string_view::npos; }

  char& operator[](std::size_t i) { return chars[i]; }
  char operator[](std::size_t i) const { return chars[i]; }
  static constexpr std::size_t size() { return N; }

  friend bool operator==(const Text& a, const Text& b) { return a.chars == b.chars; }
  friend bool operator==(const Text& a, std::string_view b) { return a.view() == b; }
  // Without this, `name == "Asphalt"` would be ambiguous between the two above.
  friend bool operator==(const Text& a, const char* b) { return a.view() == std::string_view(b); }
};

}  // namespace pavecast
