// Repair actions and the repetition policy: the repair actions file read into
// `actions`, with the dialogue that lets the analyst change the limits of the
// actions marked changeable (for this run only).
#pragma once

#include "console/console.h"
#include "driver/run_context.h"

namespace pavecast {

void read_repair_actions(RunContext& ctx, Console& console);

}  // namespace pavecast
