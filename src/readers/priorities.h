// The priority file ("data\priority.dat", or the data set's): the priorities
// of classes 1 to 8, one I3 record each, read and rewritten by priority order.
#pragma once

#include "io/record_files.h"
#include "model/parameter_tables.h"

namespace pavecast {

inline constexpr int kEditedClasses = 8;  // classes 9 and 10 are never repaired first

// The 8 records into priority[1..8], unchecked (the dialogue makes every
// class leave with a value in 1..999); a short or unreadable file is a fatal
// stop naming it.
void read_priorities(InputFile& file, Priorities& priority);

// The file replaced atomically with priority[1..8]: a stop while writing
// leaves the old priorities.
void write_priorities(const FilePath& file, const Priorities& priority);

}  // namespace pavecast
