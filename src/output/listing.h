// The engine's records in the auxiliary listings and the trace files: one
// segment-list line per segment the year's pass takes, one improvements line
// per repair, and the trace lines of every piece of a traced segment. The
// files and their headings are opened and written before the year loop (the
// listings only when auxiliary files are wanted, so an open file is the test
// of that answer here); these writers add page breaks (a form feed and the
// two column-heading lines) as the page line counters list_lines and
// repair_lines fill up.
#pragma once

#include <cstdint>

#include "app/run_context.h"

namespace pavecast {

// The record that starts each year in both listings: one blank.
void write_year_records(RunContext& ctx);

// Segment i as the year's pass takes it, with its list position, its class
// at offset 0.5002 and its order key (x 10000 under random and priority
// order). A page holds lines while list_lines is below 56.
void write_segment_list_line(RunContext& ctx, int32_t i);

// The repair of target segment t with action k at `cost`, written after the
// cost is in spent(year) and before the segment changes. A page holds lines
// while repair_lines is 56 or less: one more than a segment-list page.
void write_repair_line(RunContext& ctx, int32_t t, int32_t k, float cost);

// The year's line for segment t in every trace file following its original
// number, marked " Forced" in the end-of-year pass of forced repairs.
void write_trace_lines(RunContext& ctx, int32_t t);

}  // namespace pavecast
