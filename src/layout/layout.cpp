// Layout: construction and the public entry points; the work is in
// parse.cpp, write.cpp and read.cpp.
#include "layout/layout.h"

#include "layout/program.h"

namespace pavecast::layout {

struct Layout::Program : Compiled {};

Layout::Layout(std::string_view notation) : program_(std::make_unique<Program>()) {
  parse_notation(notation, *program_);
}

Layout::~Layout() = default;
Layout::Layout(Layout&&) noexcept = default;
Layout& Layout::operator=(Layout&&) noexcept = default;

void Layout::write(std::string& out, std::initializer_list<Item> items) const {
  write_records(*program_, out, std::span<const Item>(items.begin(), items.size()));
}

void Layout::write(std::string& out, std::span<const Item> items) const {
  write_records(*program_, out, items);
}

std::string Layout::format(std::initializer_list<Item> items) const {
  std::string out;
  write(out, items);
  return out;
}

std::string Layout::format(std::span<const Item> items) const {
  std::string out;
  write(out, items);
  return out;
}

ReadStatus Layout::read(std::string_view record, std::initializer_list<Target> targets) const {
  return read_records(*program_, record, nullptr,
                      std::span<const Target>(targets.begin(), targets.size()));
}

ReadStatus Layout::read(std::string_view record, std::span<const Target> targets) const {
  return read_records(*program_, record, nullptr, targets);
}

ReadStatus Layout::read(RecordSource& source, std::initializer_list<Target> targets) const {
  return read(source, std::span<const Target>(targets.begin(), targets.size()));
}

ReadStatus Layout::read(RecordSource& source, std::span<const Target> targets) const {
  std::string_view first;
  if (!source.next(first)) return ReadStatus::kEndOfFile;
  return read_records(*program_, first, &source, targets);
}

const std::string& Layout::notation() const { return program_->notation; }

}  // namespace pavecast::layout
