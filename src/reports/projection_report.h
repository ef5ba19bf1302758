// The projection report: title, cost table by year, totals, score
// distribution and policy block, written after the year loop.
#pragma once

#include "driver/run_context.h"

namespace pavecast {

// Everything but the end-of-report record, which follows the final-conditions
// file (see finish_run).
void write_projection_report(RunContext& ctx);

}  // namespace pavecast
