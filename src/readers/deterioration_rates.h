// Deterioration rates: the pavement type names and, per type, the score
// points lost in a year in each condition class.
//
// Writes the progress message "Reading Deterioration Rates" (which also closes
// the repair actions dialogue), clears `pavement` and reads up to five blocks.
// The end of the file ends the reading quietly; a non-numeric rate is a fatal
// stop naming the file and line.
#pragma once

#include "io/console.h"
#include "app/run_context.h"

namespace pavecast {

void read_deterioration_rates(RunContext& ctx, Console& console);

// The file alone, from an open file, without the progress message.
void read_deterioration_rates_file(PavementTypes& types, InputFile& file);

}  // namespace pavecast
