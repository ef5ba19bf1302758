// Reading an agency's ratings table (CSV) into the segment lines of a scores
// file in the names form, grouped by pavement type.
//
// The table is read by the rules spreadsheets write: a header row naming the
// columns, fields separated by commas, quoted fields holding commas, doubled
// quotes and line breaks, a UTF-8 byte-order mark and CRLF line ends; blank
// lines are passed over and blanks around an unquoted field dropped. Rows
// are numbered as a spreadsheet shows them, the header being row 1. A
// malformed table (a quote out of place, a quote never closed, a field
// longer than kMaxFieldBytes) stops the reading with a TableError naming the
// row; so does a mapped column missing from the header or named twice in it.
//
// Each row is mapped by ColumnMapping:
//   - score: blank or 0 is unrated and skipped; a whole number 1..10 is the
//     score; anything else is refused, unless `round`, which rounds half up
//     and refuses a result outside 1..10;
//   - lane-miles: the column as given, or miles times lanes, the lanes from
//     their own column or from a width in feet (width / 12 rounded half up,
//     at least 1); a blank or 0 lanes or width takes default_lanes. Numbers
//     are computed exactly in decimal and rounded half up to 0.01; a result
//     of 0.00 or above 9999.99 is refused;
//   - pavement type: one type for every row, or the type column's value
//     (blanks around it dropped) looked up in type_map; a value with no
//     mapping, or a type the rates do not name, is refused;
//   - id: required and unique among the imported rows; blank, longer than
//     kMaxIdBytes or holding a control character, refused;
//   - jurisdiction 0..99 and MCD 0..9999, whole numbers (blank is 0);
//   - highway name (23 columns) and description (38 columns), the latter
//     from its own column or "From X to Y" of two. Text is made plain ASCII
//     (plain_ascii) and cut to its columns.
// A refused row is counted with its row, column, value and reason; the
// first kListedRefusals are kept. Rows with more non-blank fields than the
// header are refused (an unquoted comma shifts the columns).
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/parameter_tables.h"
#include "scenarios/csv_rows.h"

namespace pavecast {

inline constexpr std::size_t kMaxIdBytes = 255;
inline constexpr std::size_t kListedRefusals = 10;

struct ColumnMapping {
  std::string id;
  std::string score;
  std::string lane_miles;  // or miles with lanes or width_feet
  std::string miles;
  std::string lanes;
  std::string width_feet;
  std::string type_column;                                    // with type_map, or `type` alone
  std::vector<std::pair<std::string, std::string>> type_map;  // value, type name
  std::string type;
  std::string jurisdiction;
  std::string mcd;
  std::string highway;
  std::string description;  // or from with to
  std::string from;
  std::string to;
  int32_t default_lanes = 2;
  bool round = false;
};

struct Refusal {
  int64_t row = 0;
  std::string column;
  std::string value;
  std::string reason;
};

// What plain_ascii did to a text.
struct TextCounts {
  int64_t plain_letters = 0;   // characters written as their plain letters (é as e)
  int64_t question_marks = 0;  // characters with none, written as ?
};

// `utf8` as printable ASCII: a letter with a mark becomes its plain letter
// (é e, Ø O, ß ss, Œ OE), typographic quotes, dashes and the no-break space
// their ASCII forms, a combining mark after a letter is dropped, a control
// character (a line break inside a quoted field) a blank, and any other
// character, or a byte that is not UTF-8, '?'.
std::string plain_ascii(std::string_view utf8, TextCounts& counts);

struct ImportedTable {
  // By pavement type 1..pavement_type_count, in table order: the segment
  // lines (I2,F7.2,I4,I2,1X,A23,1X,A38, each ending "\n") and their ids.
  std::array<std::string, kMaxPavementTypes + 1> lines;
  std::array<std::vector<std::string>, kMaxPavementTypes + 1> ids;
  // Lane-miles in hundredths by type and score 1..10.
  std::array<std::array<int64_t, kClasses + 1>, kMaxPavementTypes + 1> hundredths{};

  int64_t rows_read = 0;  // data rows, the header not counted
  int64_t imported = 0;
  int64_t blank_scores = 0;
  int64_t zero_scores = 0;
  int64_t empty_rows = 0;  // every field blank
  int64_t highways_cut = 0;
  int64_t descriptions_cut = 0;
  TextCounts text;
  int64_t refusal_count = 0;
  std::vector<Refusal> refusals;  // the first kListedRefusals
};

// Reads the table from `in` (named `shown` in messages). Throws TableError.
ImportedTable import_table(std::istream& in, const std::string& shown, const ColumnMapping& mapping,
                           const PavementTypes& types);

}  // namespace pavecast
