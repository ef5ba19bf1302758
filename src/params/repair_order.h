// Repair order and priorities: asked only when the run is constrained by
// dollars. Order 2 shows, edits and rewrites the class priorities.
#pragma once

#include "console/console.h"
#include "driver/run_context.h"

namespace pavecast {

void ask_repair_order(RunContext& ctx, Console& console);

}  // namespace pavecast
