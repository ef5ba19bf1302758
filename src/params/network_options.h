// Network options, the last questions of the dialogue: scores file (with the
// "help" summary), subdivision, randomised scores, traffic increases,
// reconstruction probability and its random numbers, final-conditions file,
// printing and auxiliary files. Ends with the progress message "Reading Data".
#pragma once

#include "console/console.h"
#include "driver/run_context.h"

namespace pavecast {

void ask_network_options(RunContext& ctx, Console& console);

}  // namespace pavecast
