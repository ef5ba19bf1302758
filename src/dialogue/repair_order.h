// Repair order and priorities: asked only when the run is constrained by
// dollars. Order 2 shows, edits and rewrites the class priorities.
//
// Sets repair_order and saved_repair_order to the answer (the saved order is
// the default). For order 2 the priority file must hold 8 readable records
// (else a fatal stop naming it); it is replaced atomically with the confirmed
// priority[1..8], and priority[9] = priority[10] = 1000.
#pragma once

#include "io/console.h"
#include "app/run_context.h"

namespace pavecast {

void ask_repair_order(RunContext& ctx, Console& console);

// The priority file's 8 records into priority[1..8], unchecked (the
// dialogue makes every class leave with a value in 1..999); a short or
// unreadable file is a fatal stop naming it. Classes 9 and 10 take
// kTopClassPriority once the priorities are confirmed.
inline constexpr int32_t kTopClassPriority = 1000;
void read_priority_file(RunContext& ctx);

}  // namespace pavecast
