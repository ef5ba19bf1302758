// data\vmt-inc.dat: the traffic increase of each year, one F5.4 percent per
// line, read once before the year loop when the increases are wanted.
#pragma once

#include <cstdint>

#include "io/record_files.h"
#include "model/parameter_tables.h"

namespace pavecast {

// increase[y] = line y / 100 for y = 1..year_slots (at most kMaxYearSlots);
// from the end of the file or its first unreadable line on, every year is
// 0.0. Without a file (the increases not wanted) every year is 0.0.
void read_traffic_increases(InputFile* file, int32_t year_slots, PerYear<float>& increase);

}  // namespace pavecast
