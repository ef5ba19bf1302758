// Parsing of the layout notation into a flat list of operations.
#include <stdexcept>
#include <string>

#include "layout/program.h"

namespace pavecast::layout {
namespace {

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

class Parser {
 public:
  Parser(std::string_view notation, Compiled& program) : text_(notation), program_(program) {}

  void run() {
    // Outer parentheses are optional: "(I2,I3)" and "I2,I3" are the same
    // layout, but "(I2),(I3)" is two groups.
    std::string_view body = text_;
    end_ = text_.size();
    skip_blanks();
    if (peek() == '(') {
      size_t close = matching_paren(pos_);
      if (close != std::string_view::npos &&
          text_.find_first_not_of(' ', close + 1) == std::string_view::npos) {
        body = text_.substr(0, close);
        ++pos_;
      }
    }
    end_ = body.size();
    list(/*depth=*/0);
    if (pos_ < end_) fail("unexpected character");
    finish();
  }

 private:
  [[noreturn]] void fail(const char* what) const {
    throw std::invalid_argument("layout \"" + std::string(text_) + "\": " + what + " at column " +
                                std::to_string(pos_ + 1));
  }

  void skip_blanks() {
    while (pos_ < end_ && text_[pos_] == ' ') ++pos_;
  }
  // The next character that is not a blank, or '\0' at the end.
  char peek() {
    skip_blanks();
    return pos_ < end_ ? text_[pos_] : '\0';
  }

  size_t matching_paren(size_t open) const {
    int depth = 0;
    for (size_t i = open; i < text_.size(); ++i) {
      char c = text_[i];
      if (c == '\'' || c == '"') {
        size_t close = text_.find(c, i + 1);
        if (close == std::string_view::npos) return close;
        i = close;  // a doubled quote is two adjacent literals here, which is fine
      } else if (c == '(') {
        ++depth;
      } else if (c == ')' && --depth == 0) {
        return i;
      }
    }
    return std::string_view::npos;
  }

  // Blanks between the digits of a number are ignored, as everywhere else.
  bool number(uint32_t& value) {
    if (!is_digit(peek())) return false;
    value = 0;
    while (is_digit(peek())) {
      value = value * 10 + static_cast<uint32_t>(text_[pos_++] - '0');
      if (value > kMaxCount) fail("number too large");
    }
    return true;
  }
  uint32_t required_number(const char* what) {
    uint32_t value = 0;
    if (!number(value)) fail(what);
    return value;
  }

  // Items up to the end of the text (depth 0) or the closing parenthesis.
  void list(int depth) {
    char closer = depth == 0 ? '\0' : ')';
    if (peek() == closer) {
      if (depth > 0) fail("empty group");
      return;
    }
    for (;;) {
      char kind = item(depth);
      char next = peek();
      if (next == closer) return;
      if (next == ',') {
        ++pos_;
        char after = peek();
        if (after == closer || after == ',') fail("missing item after comma");
        continue;
      }
      // As in Fortran, commas around '/' and '$' may be left out.
      if (kind == '/' || kind == '$' || next == '/' || next == '$') continue;
      fail("missing comma");
    }
  }

  void emit(OpCode code, uint32_t width, uint32_t decimals, uint32_t count) {
    if (program_.ops.size() + count > kMaxOps) fail("layout too long");
    for (uint32_t k = 0; k < count; ++k) {
      program_.ops.push_back(Op{code, static_cast<uint16_t>(decimals), width, 0});
    }
  }

  // Returns the item's letter or symbol ('(' for a group).
  char item(int depth) {
    uint32_t count = 1;
    bool has_count = number(count);
    if (has_count && count == 0) fail("repeat count of 0");
    char c = upper(peek());
    if (c == '\0') fail("missing item");
    ++pos_;
    switch (c) {
      case '(': {
        size_t start = program_.ops.size();
        list(depth + 1);
        if (peek() != ')') fail("missing ')'");
        ++pos_;
        repeat(start, count);
        if (depth == 0) program_.reversion = start;
        return c;
      }
      case 'I': {
        uint32_t width = required_number("Iw needs a width");
        uint32_t min_digits = 1;
        if (peek() == '.') {
          ++pos_;
          min_digits = required_number("Iw.m needs m");
          if (min_digits > width) fail("Iw.m with m greater than w");
        }
        if (width == 0 || width > kMaxNumericWidth) fail("bad width");
        emit(OpCode::kInt, width, min_digits, count);
        return c;
      }
      case 'F': {
        uint32_t width = required_number("Fw.d needs a width");
        if (peek() != '.') fail("Fw.d needs '.d'");
        ++pos_;
        uint32_t decimals = required_number("Fw.d needs d");
        if (width == 0 || width > kMaxNumericWidth) fail("bad width");
        if (decimals > kMaxDecimals) fail("too many decimals");
        emit(OpCode::kReal, width, decimals, count);
        return c;
      }
      case 'A': {
        uint32_t width = 0;
        if (number(width)) {
          if (width == 0) fail("A0");
          emit(OpCode::kText, width, 0, count);
        } else {
          emit(OpCode::kTextAll, 0, 0, count);
        }
        return c;
      }
      case 'X':
        if (!has_count) fail("nX needs a count");
        emit(OpCode::kSkip, count, 0, 1);
        return c;
      case 'T': {
        if (has_count) fail("repeat count before T");
        uint32_t column = required_number("Tn needs a column");
        if (column == 0) fail("T0");
        emit(OpCode::kTab, column, 0, 1);
        return c;
      }
      case '/':
        emit(OpCode::kSlash, 0, 0, count);
        return c;
      case '$':
        if (has_count) fail("repeat count before $");
        emit(OpCode::kDollar, 0, 0, 1);
        return c;
      case '\'':
      case '"':
        if (has_count) fail("repeat a literal as k('text')");
        literal(c);
        return c;
      default:
        --pos_;
        fail("unknown item");
    }
  }

  // A literal between quotes; the quote doubled stands for itself.
  void literal(char quote) {
    size_t offset = program_.literals.size();
    for (;;) {
      if (pos_ >= end_) fail("unterminated literal");
      char c = text_[pos_++];
      if (c == quote) {
        if (pos_ < end_ && text_[pos_] == quote) {
          ++pos_;
        } else {
          break;
        }
      }
      program_.literals.push_back(c);
    }
    emit(OpCode::kLiteral, static_cast<uint32_t>(program_.literals.size() - offset), 0, 1);
    program_.ops.back().offset = static_cast<uint32_t>(offset);
  }

  void repeat(size_t start, uint32_t count) {
    size_t length = program_.ops.size() - start;
    if (program_.ops.size() + length * (count - 1) > kMaxOps) fail("layout too long");
    for (uint32_t k = 1; k < count; ++k) {
      for (size_t j = 0; j < length; ++j) {
        Op op = program_.ops[start + j];
        program_.ops.push_back(op);
      }
    }
  }

  // Merges neighbouring literals and neighbouring skips (never across the
  // reversion point) and notes whether reversion can consume an item.
  void finish() {
    std::vector<Op> ops;
    std::string literals;
    size_t reversion = 0;
    for (size_t i = 0; i < program_.ops.size(); ++i) {
      Op op = program_.ops[i];
      bool mergeable = !ops.empty() && i != program_.reversion && ops.back().code == op.code &&
                       (op.code == OpCode::kLiteral || op.code == OpCode::kSkip);
      if (op.code == OpCode::kLiteral) {
        std::string_view text = program_.literal(op);
        op.offset = static_cast<uint32_t>(literals.size());
        literals.append(text);
      }
      if (i == program_.reversion) reversion = ops.size();
      if (mergeable) {
        ops.back().width += op.width;
      } else {
        ops.push_back(op);
      }
    }
    program_.ops = std::move(ops);
    program_.literals = std::move(literals);
    program_.reversion = reversion;
    program_.reversion_has_data = false;
    for (size_t i = reversion; i < program_.ops.size(); ++i) {
      if (is_data(program_.ops[i].code)) program_.reversion_has_data = true;
    }
  }

  std::string_view text_;
  Compiled& program_;
  size_t pos_ = 0;
  size_t end_ = 0;
};

}  // namespace

void parse_notation(std::string_view notation, Compiled& program) {
  program.notation = std::string(notation);
  program.ops.clear();
  program.literals.clear();
  program.reversion = 0;
  Parser(notation, program).run();
}

}  // namespace pavecast::layout
