// Repair actions and the repetition policy: the repair actions file read into
// `actions`, with the dialogue that lets the analyst change the limits of the
// actions marked changeable (for this run only).
//
// The table is cleared first; at most 11 records are read, the end of the file
// ends the reading quietly and an unreadable record is a fatal stop naming the
// file and line. A limit of 9 in the file becomes 1000 (no limit).
#pragma once

#include <functional>

#include "io/console.h"
#include "app/run_context.h"

namespace pavecast {

void read_repair_actions(RunContext& ctx, Console& console);

// The file alone, from an open file, without the dialogue. `new_limit`, when
// given, is asked for the new limit of each action marked changeable ("*")
// as soon as its record is read; without it the limits are the file's.
using LimitQuestion = std::function<int32_t(const RepairAction&)>;
void read_repair_actions_file(RunContext& ctx, InputFile& file, const LimitQuestion& new_limit);

}  // namespace pavecast
