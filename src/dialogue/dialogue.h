// The dialogue's channels: the analyst's console, the record of the answers
// (the user-inputs file "userdata.tmp", which becomes the run's inputs
// record) and the working directory whose files the questions read. Every
// question writes one line to the record, the question with its final
// answer; the scenario tool, which asks nothing, keeps no record.
#pragma once

#include <initializer_list>
#include <string_view>

#include "io/console.h"
#include "io/record_files.h"
#include "layout/layout.h"

namespace pavecast {

struct Dialogue {
  Console& console;
  Workdir workdir;
  OutputFile* record = nullptr;

  void echo(const layout::Layout& layout, std::initializer_list<layout::Item> items) const {
    if (record != nullptr) record->write(layout, items);
  }
  void echo_line(std::string_view text) const {
    if (record == nullptr) return;
    record->write(text);
    record->write("\n");
  }
};

}  // namespace pavecast
