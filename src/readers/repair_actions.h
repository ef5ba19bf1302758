// The repair actions file read into `actions`, with the repetition limits of
// the actions marked changeable ("*") open to change for this run only.
//
// The table is cleared first; at most 11 records are read, the end of the file
// ends the reading quietly and an unreadable record is a fatal stop naming the
// file and line. A limit of 9 in the file becomes 1000 (no limit).
#pragma once

#include <cstdint>
#include <functional>

#include "io/record_files.h"
#include "model/parameter_tables.h"

namespace pavecast {

// `new_limit`, when given, is asked for the new limit of each action marked
// changeable as soon as its record is read; without it the limits are the
// file's.
using LimitQuestion = std::function<int32_t(const RepairAction&)>;
void read_repair_actions_file(RepairActions& actions, InputFile& file,
                              const LimitQuestion& new_limit);

}  // namespace pavecast
