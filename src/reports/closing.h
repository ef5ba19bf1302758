// The end of a run: the final-conditions file, the end of the report,
// printing, the inputs record and the closing list on the console.
#pragma once

#include "console/console.h"
#include "driver/run_context.h"

namespace pavecast {

void finish_run(RunContext& ctx, Console& console);

}  // namespace pavecast
