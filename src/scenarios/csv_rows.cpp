#include "scenarios/csv_rows.h"

#include <csv.h>

#include <cstdlib>
#include <exception>
#include <istream>
#include <string_view>
#include <vector>

namespace pavecast {

namespace {

// No field grows beyond kMaxFieldBytes: the parser's buffer is refused more.
void* bounded_realloc(void* p, std::size_t size) {
  if (size > kMaxFieldBytes + 1024) return nullptr;
  return std::realloc(p, size);
}

struct Parser {
  csv_parser p{};
  Parser() {
    if (csv_init(&p, CSV_STRICT | CSV_STRICT_FINI) != 0) throw TableError{"out of memory"};
    csv_set_realloc_func(&p, bounded_realloc);
  }
  ~Parser() { csv_free(&p); }
  Parser(const Parser&) = delete;
  Parser& operator=(const Parser&) = delete;
};

// Gathers a row's fields for the callback. Nothing is thrown through the
// parser's C code: the callback's exception is kept and the rows after it
// are passed over.
struct Rows {
  const CsvRow& row;
  std::vector<std::string> fields;
  std::size_t count = 0;
  int64_t rows = 0;
  std::exception_ptr thrown;

  static void on_field(void* s, std::size_t len, void* data) {
    auto* r = static_cast<Rows*>(data);
    if (r->count == r->fields.size()) r->fields.emplace_back();
    std::string& field = r->fields[r->count++];
    if (len == 0)
      field.clear();  // the parser's buffer may not exist yet
    else
      field.assign(static_cast<const char*>(s), len);
  }

  static void on_row(int, void* data) {
    auto* r = static_cast<Rows*>(data);
    ++r->rows;
    if (!r->thrown) {
      try {
        r->row(r->rows, std::span<const std::string>(r->fields.data(), r->count));
      } catch (...) {
        r->thrown = std::current_exception();
      }
    }
    r->count = 0;
  }

  void rethrow() const {
    if (thrown) std::rethrow_exception(thrown);
  }
};

}  // namespace

int64_t read_csv_rows(std::istream& in, const std::string& shown, const CsvRow& row) {
  Rows rows{row, {}, 0, 0, nullptr};
  Parser parser;
  std::vector<char> chunk(1 << 16);
  bool first = true;
  auto fail = [&](const char* what) {
    throw TableError{"the table " + shown + ", row " + std::to_string(rows.rows + 1) +
                     ", is not CSV as spreadsheets write it: " + what};
  };
  auto check = [&](std::size_t parsed, std::size_t size) {
    rows.rethrow();
    if (parsed == size) return;
    if (csv_error(&parser.p) == CSV_ENOMEM || csv_error(&parser.p) == CSV_ETOOBIG)
      fail("a field longer than 1 MiB (a quote never closed?)");
    fail("a quote out of place (a field holding a quote must be quoted, its quotes doubled)");
  };
  while (in) {
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    auto size = static_cast<std::size_t>(in.gcount());
    const char* data = chunk.data();
    if (first && size >= 3 && std::string_view(data, 3) == "\xEF\xBB\xBF") {
      data += 3;
      size -= 3;
    }
    first = false;
    if (size == 0) continue;
    check(csv_parse(&parser.p, data, size, Rows::on_field, Rows::on_row, &rows), size);
  }
  if (in.bad()) throw TableError{"the table " + shown + " cannot be read"};
  if (csv_fini(&parser.p, Rows::on_field, Rows::on_row, &rows) != 0) fail("a quote never closed");
  rows.rethrow();
  return rows.rows;
}

}  // namespace pavecast
