// The projection report: the printer set-up, the title, the cost table by
// year with its totals, the definitions, the final score distribution and the
// policy block, written into the open report file after the year loop.
//
// The percentages and mean scores by year are the engine's (derived when the
// year loop ends); the report only reads them. Divisions by zero are never made:
// with a horizon of 0 years the average per year in the total row is 0.0, and
// a network of 0 lane-miles reports every percentage, share and mean score
// as 0.0 (nothing in it is poor or fair).
#pragma once

#include <cstdint>

#include "io/record_files.h"
#include "output/run_output.h"

namespace pavecast {

// Everything but the end-of-report record, which follows the final-conditions
// file (see write_end_record and finish_run).
void write_projection_report(const RunOutput& run);

// The last record of the report (or of the inputs record): a reset for the
// LaserJet of printout type 1, a form feed for the other types.
void write_end_record(int32_t printout_type, OutputFile& file);

}  // namespace pavecast
