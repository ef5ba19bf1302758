// The files a run keeps open from the stage that opens them to the stage
// that finishes them: the record of the dialogue ("userdata.tmp"), the
// report, the two auxiliary listings and the trace files. An absent file is
// one the run does not write (no auxiliary files, no such trace entry).
#pragma once

#include <array>
#include <memory>

#include "io/file_set.h"
#include "io/record_files.h"

namespace pavecast {

struct RunFiles {
  static constexpr int kMaxTraceFiles = 99;

  std::unique_ptr<OutputFile> echo;  // "userdata.tmp", the record of the dialogue
  std::unique_ptr<OutputFile> report;
  std::unique_ptr<OutputFile> segment_list;  // .scr
  std::unique_ptr<OutputFile> improvements;  // .rep
  std::array<std::unique_ptr<OutputFile>, kMaxTraceFiles + 1> trace;
  // The finished files waiting to take their names together.
  FileSet set;
};

}  // namespace pavecast
