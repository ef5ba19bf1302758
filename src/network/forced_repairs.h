// The forced-repair list: segments that must be repaired in given years, read
// from the analyst's file before the scores file is loaded.
#pragma once

#include "console/console.h"
#include "driver/run_context.h"

namespace pavecast {

void read_forced_repairs(RunContext& ctx, Console& console);

}  // namespace pavecast
