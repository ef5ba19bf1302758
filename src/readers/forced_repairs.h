// The forced-repair list: segments that must be repaired in given years, read
// from the analyst's file (force_fix_file, in the working directory) before
// the scores file is loaded. One entry per line, layout I2,I4: the year index
// (1 is first_year, 2 the first simulated year) and the segment number.
//
// A missing file is created empty (no entries); a blank name gives a console
// warning and no entries. Reading stops silently at the end of the file or at the first line that is
// not two integers. A line naming a segment outside 1..capacity of the
// segment table (a blank line names 0) is skipped with a console warning
// naming the file and the line, and does not use up an entry number. The
// 101st entry stops the run. forced_index of the named row becomes the entry
// number (the later entry when a segment is named twice); rows are never
// cleared here, only at start-up.
//
// Entries naming a segment above the segment_count of the loaded network are
// found by the loader, which warns and marks them ignored (segment_table.h).
// forced_entry() gives the engine the entry that governs a segment.
#pragma once

#include "io/console.h"
#include "app/run_context.h"

namespace pavecast {

void read_forced_repairs(RunContext& ctx, Console& console);

// After loading: warns of each entry naming a segment above segment_count
// and marks it ignored; the row it names gets forced_index 0.
void ignore_forced_entries_beyond_network(RunContext& ctx, Console& console);

// The entry k (1..forced_count) that forced_index names for segment i, or 0
// when there is none that applies: an index left by an earlier pass through
// the dialogue that no entry of this list backs (a forced_index is cleared
// only at start-up) or an ignored entry counts as none.
int forced_entry(const RunContext& ctx, int i);

}  // namespace pavecast
