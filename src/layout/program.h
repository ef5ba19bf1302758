// Compiled: a parsed layout, private to the layout reader and writer.
//
// Parsing flattens the notation into a straight list of operations: every
// repeat count is expanded (so `3I5` is three I5 operations and `2(I2,1X)`
// four operations), and neighbouring literals and neighbouring skips are
// merged. Writing and reading then walk the list once with no look-ups.
// `reversion` is where a list longer than the layout starts again: the first
// operation of the last group directly inside the outer parentheses, or 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "layout/layout.h"

namespace pavecast::layout {

enum class OpCode : uint8_t {
  kInt,      // Iw.m: width, min_digits (1 for plain Iw)
  kReal,     // Fw.d: width, decimals
  kText,     // Aw: width
  kTextAll,  // A: the item's or target's own length
  kSkip,     // nX: width = n
  kTab,      // Tn: width = n (column, from 1)
  kLiteral,  // 'text': width = length, offset into Program::literals
  kSlash,    // '/': end of record
  kDollar,   // '$': no line end after the last record
};

inline bool is_data(OpCode code) {
  return code == OpCode::kInt || code == OpCode::kReal || code == OpCode::kText ||
         code == OpCode::kTextAll;
}

struct Op {
  OpCode code;
  uint16_t decimals = 0;  // d of Fw.d, m of Iw.m
  uint32_t width = 0;
  uint32_t offset = 0;  // literals only
};

// Limits that keep the fixed buffers of the writer and reader safe.
inline constexpr uint32_t kMaxNumericWidth = 255;  // w of Iw and Fw.d
inline constexpr uint32_t kMaxDecimals = 99;       // d of Fw.d
inline constexpr uint32_t kMaxCount = 65535;       // repeat counts, An, nX, Tn
inline constexpr size_t kMaxOps = 65536;           // after expanding repeats

// Layout::Program (private to Layout) is this struct; the parser, writer and
// reader work on it under this name.
struct Compiled {
  std::string notation;
  std::vector<Op> ops;
  std::string literals;
  size_t reversion = 0;
  bool reversion_has_data = false;  // a longer list can be written at all

  std::string_view literal(const Op& op) const {
    return std::string_view(literals).substr(op.offset, op.width);
  }
};

// Throws std::invalid_argument for malformed notation.
void parse_notation(std::string_view notation, Compiled& program);

void write_records(const Compiled& program, std::string& out, std::span<const Item> items);

// `source` may be null: the records after `first` then read as empty.
ReadStatus read_records(const Compiled& program, std::string_view first, RecordSource* source,
                        std::span<const Target> targets);

}  // namespace pavecast::layout
