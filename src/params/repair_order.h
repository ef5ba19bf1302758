// Repair order and priorities: asked only when the run is constrained by
// dollars. Order 2 shows, edits and rewrites the class priorities.
//
// Sets repair_order and saved_repair_order to the answer (the saved order is
// the default). For order 2 the priority file must hold 8 readable records
// (else a fatal stop naming it); it is replaced atomically with the confirmed
// priority[1..8], and priority[9] = priority[10] = 1000.
#pragma once

#include "console/console.h"
#include "driver/run_context.h"

namespace pavecast {

void ask_repair_order(RunContext& ctx, Console& console);

}  // namespace pavecast
