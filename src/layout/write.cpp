// Writing records: Fortran formatted output as gfortran does it.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

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

void put_int(Record& record, int32_t value, uint32_t width, uint32_t min_digits) {
  char buf[16];
  char* end = buf + sizeof buf;
  char* p = end;
  bool negative = value < 0;
  uint32_t magnitude = negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  // Iw.0 writes no digit at all for 0.
  for (; magnitude != 0; magnitude /= 10) *--p = static_cast<char>('0' + magnitude % 10);
  char* field = record.field(width);
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

// The digits of `magnitude` rounded to `decimals` places, as
// to_chars(fixed) writes them ("0.50", "12", "0"); returns their end. The
// listings write hundreds of thousands of reals, so the common case is done
// here: for a float and d <= 9 the product magnitude * 10^d is exact in
// double (24 significant bits times 5^d < 2^21 fit in 53), so rounding it to
// an integer in the default mode (to nearest, ties to even) gives exactly the
// correctly rounded decimal that to_chars gives.
char* fixed_digits(double magnitude, uint32_t decimals, char* out, char* out_end) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  static constexpr uint64_t kIntPowers[] = {1, 10, 100, 1000, 10000, 100000,
                                            1000000, 10000000, 100000000, 1000000000};
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

// Fw.d: the binary value rounded exactly to d decimals, exact ties to even.
// A negative value keeps its sign even when it rounds to zero ("-0.00"), and
// the zero before the point is dropped when the field has no room for it.
void put_real(Record& record, float value, uint32_t width, uint32_t decimals) {
  char* field = record.field(width);
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

void put_text(Record& record, std::string_view text, size_t width) {
  char* field = record.field(width);
  if (text.size() >= width) {
    std::copy_n(text.data(), width, field);
  } else {
    put_right(field, width, text);
  }
}


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
        put_int(record, item.int_value(), op.width, op.decimals);
        break;
      }
      case OpCode::kReal: {
        const Item& item = items[next++];
        if (item.kind() != Item::Kind::kReal) wrong_kind(program, next);
        put_real(record, item.real_value(), op.width, op.decimals);
        break;
      }
      case OpCode::kText:
      case OpCode::kTextAll: {
        const Item& item = items[next++];
        if (item.kind() != Item::Kind::kText) wrong_kind(program, next);
        std::string_view text = item.text_value();
        put_text(record, text, op.code == OpCode::kText ? op.width : text.size());
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
