// Loading the network, the last stage before the year loop, run after the
// forced-repair list is read and the saved answers are written back:
//
//   1. the run files of an earlier pass discarded (output_files.h);
//   2. the scores file "roads\" + scores_name opened (a missing file is
//      created empty, and reading its header then stops the run);
//   3. the run's output files named and opened (output_files.h);
//   4. "data\random.dat" opened when the scores are randomised;
//   5. the segment table loaded from a cleared table (forced_index kept);
//   6. a network without segments stops the run;
//   7. forced entries naming a segment above segment_count warned of and
//      ignored (forced_repairs.h);
//   8. the listing headings written, then the trace files opened in entry
//      order, each with its heading.
//
// The scores file: a header (I4,1X,A5: first_year, scores_tag), the network
// name (A21), then up to pavement_type_count groups, each a pavement type
// name (A8) followed by segment lines and a terminator (columns 1-23 blank).
// Segment lines are I2,F7.2 (score, lane-miles) or, when scores_tag is
// exactly "NAMES", I2,F7.2,I4,I2,1X,A23,1X,A38 (adding mcd, jurisdiction,
// highway name and description). A line is read with its whole layout first
// (a bad numeric field stops the run even on a terminator), then tested for
// the terminator, then skipped when its score is 0; a score outside 0..10
// stops the run naming the file and line. Lane-miles without a decimal point
// take two implied decimals. The end of the file in place of a group header
// ends the loading; inside a group it stops the run.
//
// Subdivision (split_answer not "N") makes split_factor consecutive pieces of
// each line, each with the line's lane-miles / split_factor. Randomising
// (randomize_answer "Y") gives each segment, and each piece, the score
// (s - 0.5) + r with the next r of data\random.dat, capped at 10.0; the year-1
// statistics classify by the file score s.
#pragma once

#include "io/console.h"
#include "app/run_context.h"

namespace pavecast {

// Returns 0 when everything is open and loaded, or the number t of the first
// trace entry whose file could not be opened (the driver then enters the
// trace-file recovery dialogue; entries 1..t-1 are open).
int open_and_load_network(RunContext& ctx, Console& console);

// Step 5 alone, from open files: the table, the network values, the year-1
// statistics and total_lane_miles. `random` is null unless randomising.
void load_segment_table(RunContext& ctx, InputFile& scores, InputFile* random);

}  // namespace pavecast
