// The rows of a CSV table, read by the rules spreadsheets write (libcsv in
// its strict mode): fields separated by commas, quoted fields holding
// commas, doubled quotes and line breaks, a UTF-8 byte-order mark and CRLF
// line ends; blank lines are passed over and blanks around an unquoted field
// dropped. Rows are numbered from 1, the header being row 1.
//
// A malformed table (a quote out of place, a quote never closed, a field
// longer than kMaxFieldBytes) stops the reading with a TableError naming the
// table (`shown`) and the row; so does a stream that cannot be read. An
// exception thrown by the row callback stops the reading too and reaches the
// caller as it was thrown.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <span>
#include <string>

namespace pavecast {

inline constexpr std::size_t kMaxFieldBytes = 1 << 20;

struct TableError {
  std::string message;
};

// Called with each row's number and fields, in order.
using CsvRow = std::function<void(int64_t row, std::span<const std::string> fields)>;

// Reads every row of `in`; returns the number of rows.
int64_t read_csv_rows(std::istream& in, const std::string& shown, const CsvRow& row);

}  // namespace pavecast
