// The projection: the year loop that carries the segment table from the
// loaded year to the last, repairing or deteriorating every segment each year
// and gathering the statistics by year.
#pragma once

#include "console/console.h"
#include "driver/run_context.h"

namespace pavecast {

void run_projection(RunContext& ctx, Console& console);

}  // namespace pavecast
