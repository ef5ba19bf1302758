// Horizon and funding: the number of years to project and the money for
// repairs each year (unlimited, a fixed amount, or variable from the funding
// file), filling `funding` for year indices 1..year_slots.
#pragma once

#include "console/console.h"
#include "driver/run_context.h"

namespace pavecast {

void ask_years_and_funding(RunContext& ctx, Console& console);

}  // namespace pavecast
