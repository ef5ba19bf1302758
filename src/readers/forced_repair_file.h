// The forced-repair list: segments that must be repaired in given years, read
// from the analyst's file (force_fix_file, in the working directory) before
// the scores file is loaded. One entry per line, layout I2,I4: the year index
// (1 is first_year, 2 the first simulated year) and the segment number.
//
// A missing file is created empty (no entries); a blank name gives a console
// warning and no entries. Reading stops silently at the end of the file or at
// the first line that is not two integers. A line naming a segment outside 1..capacity of the
// segment table (a blank line names 0) is skipped with a console warning
// naming the file and the line, and does not use up an entry number. The
// 101st entry stops the run. forced_index of the named row becomes the entry
// number (the later entry when a segment is named twice); rows are never
// cleared here, only at start-up.
//
// Entries naming a segment above the segment_count of the loaded network are
// found after loading, warned of and marked ignored (segment_table.h).
// forced_entry() gives the engine the entry that governs a segment.
#pragma once

#include "io/console.h"
#include "io/record_files.h"
#include "layout/text.h"
#include "model/segment_table.h"

namespace pavecast {

// The file `name` of the working directory into `list`, with the forced_index
// of the rows of `segments` it names; warnings go to `console`.
void read_forced_repairs(const Workdir& workdir, const Text<12>& name, Console& console,
                         ForcedRepairs& list, SegmentTable& segments);

// After loading: warns of each entry naming a segment above segment_count
// and marks it ignored; the row it names gets forced_index 0.
void ignore_forced_entries_beyond_network(ForcedRepairs& list, SegmentTable& segments,
                                          Console& console);

}  // namespace pavecast
