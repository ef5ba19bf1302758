// Loading the network, after the saved answers are written back: the scores
// file opened, the run's output files opened, the segment table loaded
// (subdivided and randomised when asked), the listing headings written and
// the trace files opened with their headings.
#pragma once

#include "console/console.h"
#include "driver/run_context.h"

namespace pavecast {

// Returns 0 when everything is open and loaded, or the number t of the first
// trace entry whose file could not be opened (the driver then enters the
// trace-file recovery dialogue; entries 1..t-1 are open).
int open_and_load_network(RunContext& ctx, Console& console);

}  // namespace pavecast
