// FixedRecord: a layout of one record whose fields all stand at fixed
// columns, compiled once into an image of the record (blanks and literals in
// place, the line end last) and the column of each field, for records
// written hundreds of thousands of times: a writer copies the image and puts
// each value into its field, with the very characters Layout writes (the
// field writers below are Layout's own).
//
// Accepts Iw, Iw.m, Fw.d, Aw, nX, Tn and literals, in one record; '/', '$'
// and A without a width (a field whose width is the item's) are refused
// with std::invalid_argument, like malformed notation. Fields are numbered
// from 0 in the order of the layout; putting a value of another kind than
// its field's is a programming error (std::invalid_argument).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pavecast::layout {

// The field writers: exactly `width` characters at `field`, as Layout writes
// Iw.m, Fw.d and Aw.
void write_int_field(char* field, uint32_t width, uint32_t min_digits, int32_t value);
void write_real_field(char* field, uint32_t width, uint32_t decimals, float value);
void write_text_field(char* field, uint32_t width, std::string_view text);

class FixedRecord {
 public:
  explicit FixedRecord(std::string_view notation);

  // The record's length, line end included.
  std::size_t size() const { return image_.size(); }
  // The record with blanks in its fields: literals in place, the line end.
  std::string_view image() const { return image_; }
  // Copies the image to out[0..size()).
  void start(char* out) const { image_.copy(out, image_.size()); }

  void put(char* out, std::size_t k, int32_t value) const {
    const Field& f = field(k, Kind::kInt);
    write_int_field(out + f.column, f.width, f.decimals, value);
  }
  void put(char* out, std::size_t k, float value) const {
    const Field& f = field(k, Kind::kReal);
    write_real_field(out + f.column, f.width, f.decimals, value);
  }
  void put(char* out, std::size_t k, std::string_view text) const {
    const Field& f = field(k, Kind::kText);
    write_text_field(out + f.column, f.width, text);
  }

 private:
  enum class Kind : uint8_t { kInt, kReal, kText };
  struct Field {
    Kind kind;
    uint32_t column;  // from 0
    uint32_t width;
    uint32_t decimals;  // d of Fw.d, m of Iw.m
  };
  const Field& field(std::size_t k, Kind kind) const {
    if (k >= fields_.size() || fields_[k].kind != kind) wrong_item(k);
    return fields_[k];
  }
  [[noreturn]] void wrong_item(std::size_t k) const;

  std::string notation_;
  std::string image_;
  std::vector<Field> fields_;
};

}  // namespace pavecast::layout
