// The program: one run from the first question to the closing summary, in
// a working directory, over a console. The entry point of the executable and
// of whole-run tests.
#pragma once

#include <iosfwd>
#include <string>

#include "app/run_context.h"

namespace pavecast {

struct ProgramOptions {
  Workdir workdir;
  StartTime start_time;  // the local clock, read once at start
  int32_t segment_capacity = kProgramSegmentCapacity;
  Printers printers;
};

// Runs the program; returns the exit status (0 after the normal end, 1 after
// a fatal stop, whose message has then been written to `out`).
int run_program(const ProgramOptions& options, std::istream& in, std::ostream& out);

// The local date and time.
StartTime local_start_time();

}  // namespace pavecast
