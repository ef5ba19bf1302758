// Writing records: Fortran formatted output as gfortran does it.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <iterator>
#include <charconv>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

#include "layout/fixed_record.h"
#include "layout/program.h"

namespace pavecast::layout {
namespace {

// The record being built at the end of `out`. Skips and tabs only move `pos`;
// the gap is filled with blanks when a field is placed beyond the record's
// end, so a trailing nX or Tn writes nothing.
struct Record {
  std::string& out;
  size_t start;
  size_t pos = 0;

  // The `width` characters at `pos`, which the caller overwrites entirely.
  char* field(size_t width) {
    size_t at = start + pos;
    if (out.size() < at + width) out.resize(at + width, ' ');
    pos += width;
    return out.data() + at;
  }

  void end() {
    out.push_back('\n');
    start = out.size();
    pos = 0;
  }
};

void put_right(char* field, size_t width, std::string_view text) {
  if (text.size() > width) {
    std::fill_n(field, width, '*');
    return;
  }
  size_t pad = width - text.size();
  std::fill_n(field, pad, ' ');
  std::copy_n(text.data(), text.size(), field + pad);
}

// n blanks at p, by word stores rather than a call for the few a field needs.
inline void fill_blanks(char* p, size_t n) {
  static constexpr char kBlanks[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  if (n >= 8) {
    for (size_t i = 0; i + 8 <= n; i += 8) std::memcpy(p + i, kBlanks, 8);
    std::memcpy(p + n - 8, kBlanks, 8);
  } else if (n >= 4) {
    std::memcpy(p, kBlanks, 4);
    std::memcpy(p + n - 4, kBlanks, 4);
  } else if (n >= 2) {
    std::memcpy(p, kBlanks, 2);
    std::memcpy(p + n - 2, kBlanks, 2);
  } else if (n == 1) {
    *p = ' ';
  }
}

// The decimal digits of v ending at `end`, two at a time; returns where
// they start.
template <typename Unsigned>
inline char* put_digits(char* end, Unsigned v) {
  static constexpr char kPairs[] =
      "0001020304050607080910111213141516171819202122232425262728293031323334353637383940414243"
      "4445464748495051525354555657585960616263646566676869707172737475767778798081828384858687"
      "888990919293949596979899";
  while (v >= 100) {
    const auto pair = static_cast<size_t>(v % 100);
    v /= 100;
    end -= 2;
    std::memcpy(end, kPairs + 2 * pair, 2);
  }
  if (v >= 10) {
    end -= 2;
    std::memcpy(end, kPairs + 2 * static_cast<size_t>(v), 2);
  } else {
    *--end = static_cast<char>('0' + v);
  }
  return end;
}

constexpr uint64_t kIntPowers[] = {1,
                                   10,
                                   100,
                                   1000,
                                   10000,
                                   100000,
                                   1000000,
                                   10000000,
                                   100000000,
                                   1000000000,
                                   10000000000,
                                   100000000000,
                                   1000000000000,
                                   10000000000000,
                                   100000000000000,
                                   1000000000000000,
                                   10000000000000000,
                                   100000000000000000,
                                   1000000000000000000,
                                   10000000000000000000u};

// The number of decimal digits of n (1 for 0), without a loop: bit_width x
// log10(2) (1233 / 4096), rounded down, is the digit count or one less,
// which one power of ten tells apart (n | 1 has n's digits, and 0's is 1).
inline uint32_t decimal_digits(uint64_t n) {
  const auto guess = static_cast<uint32_t>(std::bit_width(n | 1) * 1233) >> 12;
  return guess + ((n | 1) >= kIntPowers[guess] ? 1 : 0);
}

}  // namespace

void write_int_field(char* field, uint32_t width, uint32_t min_digits, int32_t value) {
  if (value >= 0 && min_digits == 1) {
    // The common case, written in place from the right.
    auto v = static_cast<uint32_t>(value);
    const uint32_t digits = decimal_digits(v);
    if (digits > width) {
      std::fill_n(field, width, '*');
      return;
    }
    fill_blanks(field, width - digits);
    put_digits(field + width, v);
    return;
  }
  char buf[16];
  char* end = buf + sizeof buf;
  char* p = end;
  bool negative = value < 0;
  uint32_t magnitude = negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  // Iw.0 writes no digit at all for 0.
  for (; magnitude != 0; magnitude /= 10) *--p = static_cast<char>('0' + magnitude % 10);
  size_t digits = std::max<size_t>(static_cast<size_t>(end - p), min_digits);
  if (digits + (negative ? 1 : 0) > width) {
    std::fill_n(field, width, '*');
    return;
  }
  size_t zeros = digits - static_cast<size_t>(end - p);
  size_t pad = width - digits - (negative ? 1 : 0);
  std::fill_n(field, pad, ' ');
  if (negative) field[pad++] = '-';
  std::fill_n(field + pad, zeros, '0');
  std::copy(p, end, field + pad + zeros);
}

namespace {

constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

// x rounded to an integer in the current rounding mode, as nearbyint rounds
// it (to nearest, ties to even, in the default mode the program keeps), for
// 0 <= x < 2^52: adding 2^52 leaves no bit for a fraction, so the sum is
// rounded, and taking 2^52 away again is exact. Inline, where nearbyint is a
// call that saves and restores the floating-point state.
inline double rounded_to_integer(double x) {
  constexpr double k2To52 = 4503599627370496.0;
  return (x + k2To52) - k2To52;
}

// The digits of `magnitude` rounded to `decimals` places, as
// to_chars(fixed) writes them ("0.50", "12", "0"); returns their end. The
// listings write hundreds of thousands of reals, so the common case is done
// here: for a float and d <= 9 the product magnitude * 10^d is exact in
// double (24 significant bits times 5^d < 2^21 fit in 53), so rounding it to
// an integer in the default mode (to nearest, ties to even) gives exactly the
// correctly rounded decimal that to_chars gives.
char* fixed_digits(double magnitude, uint32_t decimals, char* out, char* out_end) {
  if (decimals < std::size(kPowers)) {
    double scaled = magnitude * kPowers[decimals];
    if (scaled < 9007199254740992.0) {  // 2^53: the rounded value is exact
      uint64_t n = static_cast<uint64_t>(std::nearbyint(scaled));
      uint64_t whole = n / kIntPowers[decimals];
      uint64_t fraction = n % kIntPowers[decimals];
      // Built from the right: the decimals, the point, the whole digits.
      char tmp[32];
      char* p = tmp + sizeof tmp;
      if (decimals > 0) {
        for (uint32_t k = 0; k < decimals; ++k) {
          *--p = static_cast<char>('0' + fraction % 10);
          fraction /= 10;
        }
        *--p = '.';
      }
      do {
        *--p = static_cast<char>('0' + whole % 10);
        whole /= 10;
      } while (whole != 0);
      out = std::copy(p, tmp + sizeof tmp, out);
      return out;
    }
  }
  return std::to_chars(out, out_end, magnitude, std::chars_format::fixed,
                       static_cast<int>(decimals))
      .ptr;
}

}  // namespace

// Fw.d: the binary value rounded exactly to d decimals, exact ties to even.
// A negative value keeps its sign even when it rounds to zero ("-0.00"), and
// the zero before the point is dropped when the field has no room for it.
namespace {

// Fw.d in place from the right for a magnitude below 2^52 once scaled: the
// decimals, the point, the whole digits (the zero before the point dropped
// when it does not fit), the sign, blanks. `decimals` is a template argument
// for the layouts' own (0 to 3), so that the powers of ten are constants.
template <uint32_t kDecimals>
void put_fixed(char* field, uint32_t width, uint32_t decimals, double magnitude, bool negative) {
  if constexpr (kDecimals != ~0u) decimals = kDecimals;
  uint64_t n = static_cast<uint64_t>(rounded_to_integer(magnitude * kPowers[decimals]));
  const uint64_t whole = n / kIntPowers[decimals];
  const bool whole_zero = whole == 0;
  uint32_t length = decimal_digits(whole) + 1 + decimals + (negative ? 1 : 0);
  const bool drop_zero = decimals > 0 && whole_zero && length > width;
  if (drop_zero) --length;
  if (length > width) {
    std::fill_n(field, width, '*');
    return;
  }
  char* p = field + width;
  for (uint32_t k = 0; k < decimals; ++k) {
    *--p = static_cast<char>('0' + n % 10);
    n /= 10;
  }
  *--p = '.';
  if (!drop_zero)
    p = whole < (uint64_t{1} << 32) ? put_digits(p, static_cast<uint32_t>(whole))
                                    : put_digits(p, whole);
  if (negative) *--p = '-';
  fill_blanks(field, static_cast<size_t>(p - field));
}

}  // namespace

void write_real_field(char* field, uint32_t width, uint32_t decimals, float value) {
  const double magnitude = std::fabs(static_cast<double>(value));
  if (decimals < std::size(kPowers) && magnitude * kPowers[decimals] < 4503599627370496.0) {
    // The common case: not NaN or infinite, d <= 9, below 2^52 once scaled.
    const bool negative = std::signbit(value);
    switch (decimals) {
      case 0: return put_fixed<0>(field, width, decimals, magnitude, negative);
      case 1: return put_fixed<1>(field, width, decimals, magnitude, negative);
      case 3: return put_fixed<3>(field, width, decimals, magnitude, negative);
      default: return put_fixed<~0u>(field, width, decimals, magnitude, negative);
    }
  }
  if (std::isnan(value)) {
    put_right(field, width, "NaN");
    return;
  }
  bool negative = std::signbit(value);
  if (std::isinf(value)) {
    if (negative) {
      put_right(field, width, width >= 9 ? "-Infinity" : "-Inf");
    } else {
      put_right(field, width, width >= 8 ? "Infinity" : "Inf");
    }
    return;
  }
  // Room for the sign, the 39 integer digits of the largest float, the point
  // and the decimals.
  char buf[1 + 39 + 1 + kMaxDecimals + 8];
  char* digits = buf + 1;
  char* end = fixed_digits(std::fabs(static_cast<double>(value)), decimals, digits, buf + sizeof buf);
  if (decimals == 0) *end++ = '.';
  size_t length = static_cast<size_t>(end - digits) + (negative ? 1 : 0);
  if (decimals > 0 && digits[0] == '0' && length > width) {
    ++digits;
    --length;
  }
  if (negative) *--digits = '-';
  put_right(field, width, std::string_view(digits, static_cast<size_t>(end - digits)));
}

void write_text_field(char* field, uint32_t width, std::string_view text) {
  if (text.size() >= width) {
    std::copy_n(text.data(), width, field);
  } else {
    put_right(field, width, text);
  }
}

namespace {


[[noreturn]] void wrong_kind(const Compiled& program, size_t item) {
  throw std::invalid_argument("layout \"" + program.notation + "\": item " +
                              std::to_string(item) + " does not match its field");
}

}  // namespace

void write_records(const Compiled& program, std::string& out, std::span<const Item> items) {
  Record record{out, out.size()};
  size_t next = 0;
  bool line_end = true;
  const size_t count = program.ops.size();
  for (size_t i = 0;;) {
    if (i == count) {
      if (next == items.size()) break;
      // More items than fields: the last group again, on a new record.
      if (!program.reversion_has_data) {
        throw std::invalid_argument("layout \"" + program.notation + "\": too many items");
      }
      record.end();
      i = program.reversion;
      continue;
    }
    const Op& op = program.ops[i++];
    // A short list ends the record at the first field without an item.
    if (is_data(op.code) && next == items.size()) break;
    switch (op.code) {
      case OpCode::kInt: {
        const Item& item = items[next++];
        if (item.kind() != Item::Kind::kInt) wrong_kind(program, next);
        write_int_field(record.field(op.width), op.width, op.decimals, item.int_value());
        break;
      }
      case OpCode::kReal: {
        const Item& item = items[next++];
        if (item.kind() != Item::Kind::kReal) wrong_kind(program, next);
        write_real_field(record.field(op.width), op.width, op.decimals, item.real_value());
        break;
      }
      case OpCode::kText:
      case OpCode::kTextAll: {
        const Item& item = items[next++];
        if (item.kind() != Item::Kind::kText) wrong_kind(program, next);
        std::string_view text = item.text_value();
        const auto width = static_cast<uint32_t>(op.code == OpCode::kText ? op.width : text.size());
        write_text_field(record.field(width), width, text);
        break;
      }
      case OpCode::kSkip:
        record.pos += op.width;
        break;
      case OpCode::kTab:
        record.pos = op.width - 1;
        break;
      case OpCode::kLiteral: {
        std::string_view text = program.literal(op);
        std::copy_n(text.data(), text.size(), record.field(text.size()));
        break;
      }
      case OpCode::kSlash:
        record.end();
        break;
      case OpCode::kDollar:
        line_end = false;
        break;
    }
  }
  if (line_end) out.push_back('\n');
}

}  // namespace pavecast::layout
