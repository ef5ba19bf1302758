// Console: the analyst's text screen, an object over an input and an output
// stream so that a whole dialogue can be scripted in tests.
//
// Output is written line by line in the fixed layouts of the dialogue, with
// the cursor-positioning and colour sequences sent as text. A reply is one
// typed line: it loses its line end and then one trailing CR, and keeps only
// its first kMaxReplyLength characters. The end of the
// input while a reply is awaited is the fatal stop "end of console input"
// (every reading loop would otherwise wait for ever); a reply that begins
// with Ctrl-Z ends the input the same way, as such a line ends a file.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "layout/layout.h"

namespace pavecast {

class Console {
 public:
  static constexpr std::size_t kMaxReplyLength = 1024;

  Console(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

  // --- output
  void write(std::string_view text);
  void write(const layout::Layout& layout, std::initializer_list<layout::Item> items);
  void line(std::string_view text);  // the text and a line end

  // The footer line that comes with nearly every question.
  void directions();
  // A line made of one blank followed by the text.
  void progress(std::string_view text);
  // One blank, then ESC "[" row ";" column "H" (two digits each); no line end.
  void cursor(int row, int column);
  // A line made of one blank and a colour sequence.
  void colour(std::string_view sequence);
  // Cursor to row 22, a line of 74 underscores, then the prompt of the
  // repetition-limit entry.
  void dir2();
  // " Press the enter key to continue." and one reply line, ignored.
  void pause();
  // A typed file name that could name a directory or leave the working
  // directory (names_a_directory), or that holds a control character, is
  // refused with a warning line: true then, and the caller asks its question
  // again.
  bool refuses_file_name(std::string_view name);
  // The warning line of a typed name that is one of the run's own files.
  void refuse_own_file_name(std::string_view name);

  // --- input
  // The next reply line.
  std::string reply();
  // A one-letter answer with a default: the keep character keeps `answer`,
  // y and n count as Y and N, and any other letter is ignored (the next line
  // is read, with no message).
  char readinput(char answer, char keep_default_char);
  // A numeric reply read with a one-field layout ("I2", "F6.2") from the
  // first column. The `_once` forms return nothing on a read error; the others
  // read the next line at once, without a message, until a number comes.
  std::optional<int32_t> read_int_once(const layout::Layout& field);
  std::optional<float> read_real_once(const layout::Layout& field);
  int32_t read_int(const layout::Layout& field);
  float read_real(const layout::Layout& field);

 private:
  std::istream& in_;
  std::ostream& out_;
};

}  // namespace pavecast
