#include "io/console.h"

#include <istream>
#include <ostream>

#include "fatal/fatal.h"
#include "io/record_files.h"

namespace pavecast {

void Console::write(std::string_view text) {
  out_.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void Console::write(const layout::Layout& layout, std::initializer_list<layout::Item> items) {
  write(layout.format(items));
}

void Console::line(std::string_view text) {
  write(text);
  out_.put('\n');
}

void Console::directions() {
  line(" Enter your response or hit <Enter> for default.          Hit <Ctrl C> to Abort");
}

void Console::progress(std::string_view text) {
  out_.put(' ');
  line(text);
}

void Console::cursor(int row, int column) {
  static const layout::Layout kCursor("1X,A1,'[',I2.2,';',I2.2,'H',$");
  write(kCursor, {std::string_view("\x1b", 1), row, column});
}

void Console::colour(std::string_view sequence) {
  out_.put(' ');
  line(sequence);
}

void Console::dir2() {
  cursor(22, 1);
  line(std::string(74, '_'));
  line(" Enter your response or hit <Enter> to eliminate the repair.");
}

void Console::pause() {
  line(" Press the enter key to continue.");
  reply();
}

bool Console::refuses_file_name(std::string_view name) {
  if (holds_control_character(name)) {
    line(" ** Warning: a file name may not hold a control character; enter another name");
    return true;
  }
  if (!names_a_directory(name)) return false;
  line(" ** Warning: a file name may not name a directory or hold / or \\; enter another name");
  return true;
}

void Console::refuse_own_file_name(std::string_view name) {
  line(" ** Warning: " + std::string(name) +
       " is a file this run writes itself; enter another name");
}

std::string Console::reply() {
  out_.flush();
  // A last line without a line end still counts as a reply. Only the first
  // kMaxReplyLength characters are kept, as for file records, so no reply
  // can make the run's memory grow without bound.
  std::string text;
  std::streambuf* buffer = in_.rdbuf();
  int c = buffer->sbumpc();
  if (c == std::char_traits<char>::eof()) fatal("end of console input");
  while (c != std::char_traits<char>::eof() && c != '\n') {
    if (text.size() < kMaxReplyLength) text.push_back(static_cast<char>(c));
    c = buffer->sbumpc();
  }
  if (!text.empty() && text.back() == '\r') text.pop_back();
  // Ctrl-Z at the start of a reply ends the input, as it ends a file: a name
  // that began with it would be saved as a line every later run reads as
  // the end of the saved answers file.
  if (!text.empty() && text.front() == '\x1a') fatal("end of console input");
  return text;
}

char Console::readinput(char answer, char keep_default_char) {
  for (;;) {
    std::string r = reply();
    char letter = r.empty() ? ' ' : r[0];
    if (letter == keep_default_char) letter = answer;
    if (letter == 'y') letter = 'Y';
    if (letter == 'n') letter = 'N';
    if (letter == answer || letter == 'Y' || letter == 'N') return letter;
  }
}

std::optional<int32_t> Console::read_int_once(const layout::Layout& field) {
  int32_t value = 0;
  if (field.read(reply(), {value}) != layout::ReadStatus::kOk) return std::nullopt;
  return value;
}

std::optional<float> Console::read_real_once(const layout::Layout& field) {
  float value = 0.0f;
  if (field.read(reply(), {value}) != layout::ReadStatus::kOk) return std::nullopt;
  return value;
}

int32_t Console::read_int(const layout::Layout& field) {
  for (;;) {
    if (auto v = read_int_once(field)) return *v;
  }
}

float Console::read_real(const layout::Layout& field) {
  for (;;) {
    if (auto v = read_real_once(field)) return *v;
  }
}

}  // namespace pavecast
