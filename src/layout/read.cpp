// Reading records: Fortran formatted input as gfortran does it, except that a
// record is padded with blanks (never trimmed), inf and nan are not numbers,
// and a real too large for a float is an error.
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "layout/program.h"

namespace pavecast::layout {
namespace {

// The `width` columns of one field; columns past the record's end are blanks.
struct Field {
  std::string_view chars;
  size_t width;
  char operator[](size_t k) const { return k < chars.size() ? chars[k] : ' '; }
};

struct Cursor {
  std::string_view record;
  RecordSource* source;
  size_t pos = 0;

  Field field(size_t width) {
    Field f{pos < record.size() ? record.substr(pos, width) : std::string_view(), width};
    pos += width;
    return f;
  }

  bool next_record() {
    pos = 0;
    if (source == nullptr) {
      record = std::string_view();
      return true;
    }
    return source->next(record);
  }
};

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Iw: blanks are ignored; all blanks read as 0, and so does a sign followed
// only by blanks. A sign in the last column, or any other character, is an
// error, and so is a value outside 32 bits.
bool parse_int(const Field& f, int32_t& out) {
  size_t k = 0;
  while (k < f.width && f[k] == ' ') ++k;
  if (k == f.width) {
    out = 0;
    return true;
  }
  bool negative = f[k] == '-';
  if (f[k] == '+' || f[k] == '-') {
    if (++k == f.width) return false;
  }
  const uint64_t limit = negative ? 2147483648u : 2147483647u;
  uint64_t value = 0;
  for (; k < f.width; ++k) {
    char c = f[k];
    if (c == ' ') continue;
    if (!is_digit(c)) return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > limit) return false;
  }
  out = negative ? static_cast<int32_t>(-static_cast<int64_t>(value)) : static_cast<int32_t>(value);
  return true;
}

// Fw.d: an optional sign, digits with at most one point, and an optional
// exponent introduced by E, D or Q or by its own sign ("1.5+3"). Blanks are
// ignored; without a point the last d digits are decimals. The number is
// rebuilt as "digits e exponent" and rounded once, correctly, to a float.
bool parse_real(const Field& f, uint32_t decimals, float& out) {
  size_t k = 0;
  auto skip_blanks = [&] {
    while (k < f.width && f[k] == ' ') ++k;
  };
  skip_blanks();
  if (k == f.width) {
    out = 0.0f;
    return true;
  }
  char buf[kMaxNumericWidth + 16];
  size_t n = 0;
  if (f[k] == '+' || f[k] == '-') {
    if (f[k] == '-') buf[n++] = '-';
    ++k;
  }
  skip_blanks();
  if (k == f.width) {  // a sign alone reads as +0, as gfortran does
    out = 0.0f;
    return true;
  }
  bool seen_point = false;
  bool seen_digit = false;
  bool has_exponent = false;
  int fraction_digits = 0;
  for (; k < f.width && !has_exponent; ++k) {
    char c = f[k];
    if (is_digit(c)) {
      buf[n++] = c;
      seen_digit = true;
      if (seen_point) ++fraction_digits;
    } else if (c == '.') {
      if (seen_point) return false;
      seen_point = true;
    } else if (c == '+' || c == '-') {
      has_exponent = true;
      --k;  // the sign belongs to the exponent
    } else if (c == 'e' || c == 'E' || c == 'd' || c == 'D' || c == 'q' || c == 'Q') {
      has_exponent = true;
    } else if (c != ' ') {
      return false;  // inf and nan included
    }
  }
  int exponent = 0;
  if (has_exponent) {
    skip_blanks();
    if (k == f.width) return false;
    bool negative = f[k] == '-';
    if (f[k] == '+' || f[k] == '-') ++k;
    if (k == f.width) return false;
    for (; k < f.width; ++k) {
      char c = f[k];
      if (c == ' ') continue;
      if (!is_digit(c)) return false;
      exponent = std::min(exponent * 10 + (c - '0'), 1000000);
    }
    if (negative) exponent = -exponent;
  }
  if (!seen_point) exponent -= static_cast<int>(decimals);
  if (exponent >= 10000 || exponent <= -10000) return false;
  if (!seen_digit) buf[n++] = '0';
  {
    // Most fields (the files' F6.5 numbers, F7.2 lengths) have a few digits
    // and a small power of ten: both are exact floats, and one float
    // multiplication or division rounds their product or quotient
    // correctly, as strtof rounds the decimal.
    static constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                        1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    const bool negative = buf[0] == '-';
    const size_t first = negative ? 1 : 0;
    const int scale = exponent - fraction_digits;
    if (n - first <= 18 && scale >= -10 && scale <= 10) {
      uint64_t digits = 0;
      for (size_t j = first; j < n; ++j) digits = digits * 10 + static_cast<uint64_t>(buf[j] - '0');
      if (digits < (uint64_t{1} << 24)) {
        const auto m = static_cast<float>(digits);
        const float value = scale >= 0 ? m * kPowers[scale] : m / kPowers[-scale];
        out = negative ? -value : value;
        return true;
      }
    }
  }
  buf[n++] = 'e';
  auto result = std::to_chars(buf + n, buf + sizeof buf - 1, exponent - fraction_digits);
  *result.ptr = '\0';
  // The text holds no decimal point, so strtof's locale does not matter.
  // Underflow gives the correctly rounded subnormal or zero, which stands.
  float value = std::strtof(buf, nullptr);
  if (std::isinf(value)) return false;
  out = value;
  return true;
}

// Aw into a text of length len: w >= len keeps the last len columns of the
// field, w < len takes the field and blanks after it.
void read_text(const Field& f, std::span<char> target) {
  size_t len = target.size();
  if (f.width >= len) {
    for (size_t j = 0; j < len; ++j) target[j] = f[f.width - len + j];
  } else {
    for (size_t j = 0; j < len; ++j) target[j] = j < f.width ? f[j] : ' ';
  }
}

[[noreturn]] void wrong_kind(const Compiled& program, size_t target) {
  throw std::invalid_argument("layout \"" + program.notation + "\": target " +
                              std::to_string(target) + " does not match its field");
}

}  // namespace

ReadStatus read_records(const Compiled& program, std::string_view first, RecordSource* source,
                        std::span<const Target> targets) {
  Cursor cursor{first, source};
  size_t next = 0;
  const size_t count = program.ops.size();
  for (size_t i = 0;;) {
    if (i == count) {
      if (next == targets.size()) return ReadStatus::kOk;
      if (!program.reversion_has_data) {
        throw std::invalid_argument("layout \"" + program.notation + "\": too many targets");
      }
      if (!cursor.next_record()) return ReadStatus::kEndOfFile;
      i = program.reversion;
      continue;
    }
    const Op& op = program.ops[i++];
    if (is_data(op.code) && next == targets.size()) return ReadStatus::kOk;
    switch (op.code) {
      case OpCode::kInt: {
        const Target& target = targets[next++];
        if (target.kind() != Target::Kind::kInt) wrong_kind(program, next);
        int32_t value = 0;
        if (!parse_int(cursor.field(op.width), value)) return ReadStatus::kError;
        *target.int_target() = value;
        break;
      }
      case OpCode::kReal: {
        const Target& target = targets[next++];
        if (target.kind() != Target::Kind::kReal) wrong_kind(program, next);
        float value = 0.0f;
        if (!parse_real(cursor.field(op.width), op.decimals, value)) return ReadStatus::kError;
        *target.real_target() = value;
        break;
      }
      case OpCode::kText:
      case OpCode::kTextAll: {
        const Target& target = targets[next++];
        if (target.kind() != Target::Kind::kText) wrong_kind(program, next);
        std::span<char> text = target.text_target();
        read_text(cursor.field(op.code == OpCode::kText ? op.width : text.size()), text);
        break;
      }
      case OpCode::kSkip:
      case OpCode::kLiteral:  // a literal on input skips its columns
        cursor.pos += op.width;
        break;
      case OpCode::kTab:
        cursor.pos = op.width - 1;
        break;
      case OpCode::kSlash:
        if (!cursor.next_record()) return ReadStatus::kEndOfFile;
        break;
      case OpCode::kDollar:
        break;
    }
  }
}

}  // namespace pavecast::layout
