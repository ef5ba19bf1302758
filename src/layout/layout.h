// Layout: a fixed-column record layout in Fortran's edit-descriptor notation,
// parsed once and then used to write or read records.
//
// Notation (outer parentheses optional, items separated by commas):
//   In  In.m  Fw.d  An  A  nX  Tn  'text'  k('text')  /  $  k(...)  kIn ...
//
// Writing follows Fortran formatted output (gfortran): numbers right-aligned,
// Fw.d rounded exactly from the binary value (ties to even), a value too
// wide for its field written as w asterisks, `F4.3` of 0.5 is ".500", `A`
// writes the item's own length, `Aw` right-aligns a shorter item and keeps
// the first w characters of a longer one. A list shorter than its layout ends
// the record at the first data edit descriptor that has no item (literals
// before it are still written). Trailing nX/Tn write nothing unless something
// follows them in the same record. Each record ends with '\n' except the last
// one of a layout ending in '$'; the next write then goes on in the same line,
// its Tn columns counted from where it starts. A list longer than the layout
// reuses the last parenthesised group (Fortran reversion), starting a new
// record.
//
// Reading follows Fortran formatted input with these deliberate differences:
// a short record is padded with blanks (never trimmed), so every field has its
// full width; inf, nan and values that overflow single precision are read
// errors. Blanks inside numeric fields are ignored, an all-blank field reads as
// 0, Fw.d without a decimal point takes its last d digits as decimals. A
// literal in a layout that is read skips its columns.
//
// A Layout is immutable after construction and cheap to use: declare it once
// (`static const Layout kRow("I2,I3,F7.1");`) and write many records with it.
// Constructing from malformed notation throws std::invalid_argument (a
// programming error, never caused by user input), and so do writing or
// reading with an item or target whose kind does not match its field (I for
// integers, F for reals, A for texts) and a list longer than a layout whose
// last group has no field.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pavecast::layout {

// One output list item: an integer, a single-precision real or a text.
class Item {
 public:
  enum class Kind { kInt, kReal, kText };
  Item(int32_t v) : kind_(Kind::kInt), int_(v) {}            // NOLINT
  Item(float v) : kind_(Kind::kReal), real_(v) {}             // NOLINT
  Item(std::string_view v) : kind_(Kind::kText), text_(v) {}  // NOLINT
  Item(const char* v) : kind_(Kind::kText), text_(v) {}       // NOLINT
  Item(const std::string& v) : kind_(Kind::kText), text_(v) {}  // NOLINT
  template <typename T>
  Item(const T& text) requires requires { text.view(); }  // Text<N>  NOLINT
      : kind_(Kind::kText), text_(text.view()) {}
  // A single character is a text of length 1 (not an integer).
  Item(char c) : kind_(Kind::kText), char_(c), is_char_(true) {}  // NOLINT
  // Doubles must be rounded to float by the caller, as every stored real is.
  Item(double) = delete;

  Kind kind() const { return kind_; }
  int32_t int_value() const { return int_; }
  float real_value() const { return real_; }
  std::string_view text_value() const {
    return is_char_ ? std::string_view(&char_, 1) : text_;
  }

 private:
  Kind kind_;
  int32_t int_ = 0;
  float real_ = 0.0f;
  std::string_view text_;
  char char_ = ' ';
  bool is_char_ = false;
};

// One input list item: where a field's value goes. A text target has a fixed
// length (the variable's length); `A` reads that many columns, `Aw` with w
// greater than the length keeps the last `length` characters of the field.
class Target {
 public:
  enum class Kind { kInt, kReal, kText };
  Target(int32_t& v) : kind_(Kind::kInt), int_(&v) {}                // NOLINT
  Target(float& v) : kind_(Kind::kReal), real_(&v) {}                // NOLINT
  Target(std::span<char> v) : kind_(Kind::kText), text_(v) {}        // NOLINT
  Target(char& c) : kind_(Kind::kText), text_(&c, 1) {}              // NOLINT
  template <typename T>
  Target(T& text) requires requires { text.span(); }  // Text<N>
      : kind_(Kind::kText), text_(text.span()) {}

  Kind kind() const { return kind_; }
  int32_t* int_target() const { return int_; }
  float* real_target() const { return real_; }
  std::span<char> text_target() const { return text_; }

 private:
  Kind kind_;
  int32_t* int_ = nullptr;
  float* real_ = nullptr;
  std::span<char> text_;
};

// Outcome of a read. kError: a field does not hold a value of its kind (the
// targets read before it keep their new values, the rest are untouched).
// kEndOfFile: the source had no record where one was needed.
enum class ReadStatus { kOk, kError, kEndOfFile };

// A sequence of records to read from, for layouts that span several records
// (those with '/') and for file readers. Implementations: a file's lines.
class RecordSource {
 public:
  virtual ~RecordSource() = default;
  // Sets `record` to the next record and returns true, or returns false at
  // the end of the source.
  virtual bool next(std::string_view& record) = 0;
};

class Layout {
 public:
  explicit Layout(std::string_view notation);
  ~Layout();
  Layout(const Layout&) = delete;
  Layout& operator=(const Layout&) = delete;
  Layout(Layout&&) noexcept;
  Layout& operator=(Layout&&) noexcept;

  // Appends the records for `items` to `out`.
  void write(std::string& out, std::initializer_list<Item> items) const;
  void write(std::string& out, std::span<const Item> items) const;
  // The same, returned as a string.
  std::string format(std::initializer_list<Item> items) const;
  std::string format(std::span<const Item> items) const;

  // Reads one record (a layout with '/' takes further records from `source`
  // when given; without a source they read as empty records).
  ReadStatus read(std::string_view record, std::initializer_list<Target> targets) const;
  ReadStatus read(std::string_view record, std::span<const Target> targets) const;
  // Reads the next record(s) from `source`; kEndOfFile when it has none.
  ReadStatus read(RecordSource& source, std::initializer_list<Target> targets) const;
  ReadStatus read(RecordSource& source, std::span<const Target> targets) const;

  // The notation this layout was parsed from.
  const std::string& notation() const;

 private:
  struct Program;
  std::unique_ptr<Program> program_;
};

}  // namespace pavecast::layout
