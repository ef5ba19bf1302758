// Repair order and priorities: asked only when the run is constrained by
// dollars. Order 2 shows, edits and rewrites the class priorities.
//
// Sets repair_order and saved_repair_order to the answer (the saved order is
// the default). For order 2 the priority file must hold 8 readable records
// (else a fatal stop naming it); it is replaced atomically with the confirmed
// priority[1..8], and priority[9] = priority[10] = 1000.
#pragma once

#include "dialogue/dialogue.h"
#include "io/record_files.h"
#include "model/parameter_tables.h"
#include "model/settings.h"

namespace pavecast {

void ask_repair_order(const Dialogue& d, RunSettings& settings, Priorities& priority);

// The priority file of this run's data set into priority[1..8]
// (readers/priorities.h). Classes 9 and 10 take kTopClassPriority once the
// priorities are confirmed.
void read_priority_file(const RunSettings& settings, const Workdir& workdir, Priorities& priority);

}  // namespace pavecast
