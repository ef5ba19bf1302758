// Deterioration rates: the pavement type names and, per type, the score
// points lost in a year in each condition class.
//
// Clears `types` and reads up to five blocks.
// The end of the file ends the reading quietly; a non-numeric rate is a fatal
// stop naming the file and line.
#pragma once

#include "io/record_files.h"
#include "model/parameter_tables.h"

namespace pavecast {

void read_deterioration_rates_file(PavementTypes& types, InputFile& file);

}  // namespace pavecast
