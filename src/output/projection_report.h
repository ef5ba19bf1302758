// The projection report: the printer set-up, the title, the cost table by
// year with its totals, the definitions, the final score distribution and the
// policy block, written into the open report file after the year loop.
//
// Also derives pct_poor, pct_fair and mean_score for every year into
// ctx.stats, which the closing list reads. Divisions by zero are never made:
// with a horizon of 0 years the average per year in the total row is 0.0, and
// a network of 0 lane-miles reports every percentage, share and mean score
// as 0.0 (nothing in it is poor or fair).
#pragma once

#include "app/run_context.h"

namespace pavecast {

// Everything but the end-of-report record, which follows the final-conditions
// file (see write_end_record and finish_run).
void write_projection_report(RunContext& ctx);

// pct_poor, pct_fair and mean_score of year index y from the lane-mile sums
// (also used by the scenario tool, whose numbers must be the report's).
void derive_year_statistics(RunContext& ctx, int y);

// The last record of the report (or of the inputs record): a reset for the
// LaserJet of printout type 1, a form feed for the other types.
void write_end_record(const RunContext& ctx, OutputFile& file);

}  // namespace pavecast
