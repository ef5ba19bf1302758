#include "readers/priorities.h"

#include "layout/layout.h"

namespace pavecast {

namespace {

const layout::Layout& priority_record() {
  static const layout::Layout kI3("I3");
  return kI3;
}

}  // namespace

void read_priorities(InputFile& file, Priorities& priority) {
  for (int s = 1; s <= kEditedClasses; ++s) read_or_fatal(priority_record(), file, {priority[s]});
}

void write_priorities(const FilePath& file, const Priorities& priority) {
  auto out = OutputFile::create_replacement_or_fatal(file);
  for (int s = 1; s <= kEditedClasses; ++s) out->write(priority_record(), {priority[s]});
  out->close();
}

}  // namespace pavecast
