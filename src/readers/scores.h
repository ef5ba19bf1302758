// The scores file "roads\" + name: the network loaded into the segment table.
//
// The file: a header (I4,1X,A5: first_year, scores_tag), the network name
// (A21), then up to pavement_type_count groups, each a pavement type name
// (A8) followed by segment lines and a terminator (columns 1-23 blank).
// Segment lines are I2,F7.2 (score, lane-miles) or, when scores_tag is
// exactly "NAMES", I2,F7.2,I4,I2,1X,A23,1X,A38 (adding mcd, jurisdiction,
// highway name and description). A line is read with its whole layout first
// (a bad numeric field stops the run even on a terminator), then tested for
// the terminator, then skipped when its score is 0; a score outside 0..10
// stops the run naming the file and line. Lane-miles without a decimal point
// take two implied decimals. The end of the file in place of a group header
// ends the loading; inside a group it stops the run. A group naming no
// pavement type stops the run with the fixed invalid-pavement-type message.
//
// Subdivision makes split_factor consecutive pieces of each line, each with
// the line's lane-miles / split_factor. Randomising (a data\random.dat to
// read) gives each segment, and each piece, the score (s - 0.5) + r with the
// next r of the file, kept within 0.5..10.0; the year-1 statistics classify
// by the file score s.
#pragma once

#include <cstdint>

#include "io/record_files.h"
#include "model/parameter_tables.h"
#include "model/segment_table.h"
#include "model/settings.h"
#include "model/statistics.h"

namespace pavecast {

struct LoadOptions {
  bool subdividing = false;  // the split answer is not "N"
  int32_t split_factor = 1;
  bool score_keys = false;   // worst or best first: the file score is the first key
  int32_t action_count = 0;  // times_applied is cleared for these actions
  // Randomising a network with more segments than data\random.dat has
  // numbers takes them again from the first (the scenario tool's networks);
  // else the end of the file stops the run.
  bool reuse_random = false;
};

// The options the settings give: subdivision by the split answer and
// factor, the file scores as first keys under worst and best first.
LoadOptions load_options(const RunSettings& settings, int32_t action_count);

// Loads `table` afresh (forced_index kept), the network values and the
// year-1 statistics with total_lane_miles. `random` is null unless
// randomising.
void load_segment_table(InputFile& scores, InputFile* random, const PavementTypes& types,
                        const LoadOptions& options, SegmentTable& table, NetworkValues& network,
                        Statistics& stats);

// A network without segments stops the run: naming the rates file when it
// defines no pavement type (no group of the scores file is read then), else
// the scores file.
void stop_if_no_segments(const SegmentTable& table, const PavementTypes& types,
                         const FilePath& rates_file, const FilePath& scores_file);

}  // namespace pavecast
