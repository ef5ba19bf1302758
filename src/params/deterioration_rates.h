// Deterioration rates: the pavement type names and, per type, the score
// points lost in a year in each condition class.
#pragma once

#include "console/console.h"
#include "driver/run_context.h"

namespace pavecast {

void read_deterioration_rates(RunContext& ctx, Console& console);

}  // namespace pavecast
