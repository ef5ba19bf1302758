// The funding file ("data\funding.dat", or the data set's): the money of each
// simulated year, one record each (2X,F7.3; without a point the last three
// digits are decimals).
#pragma once

#include <cstdint>

#include "io/record_files.h"
#include "model/parameter_tables.h"

namespace pavecast {

// Record k into funding[k + 1] for k = 1..years; reading stops at the end of
// the file or at the first unreadable record, and the last amount read
// carries over to the remaining years up to year_slots. No readable record
// (with at least one year) is a fatal stop naming the file and line: every
// year would be left without money.
void read_funding_file(InputFile& file, int32_t years, int32_t year_slots, PerYear<float>& funding);

}  // namespace pavecast
