// Deterioration and the yearly statistics: what happens to a segment that
// receives no repair in a year, the traffic growth that raises every
// deterioration rate from one year to the next, and the sums the report
// prints for each year.
#pragma once

#include <cstdint>

#include "engine/projection.h"

namespace pavecast {

// One stored float from a formula evaluated in double.
inline float stored(double value) {
  return static_cast<float>(value);
}

// The start of a year: every det_rate entry (all 5 types, all 10 columns) is
// multiplied by 1 + 0.75 x the previous year's traffic increase, so the
// growth of one year acts on the next and the factors compound.
void apply_traffic_growth(Projection& p);

// Segment i loses one year's deterioration at class c: the class at offset
// 0.505 when the segment was considered for repair, at 0.5002 when it waits
// for a forced repair in a later year. The score stays within 1.0..10.0 (a
// negative rate may raise it, never above 10.0). In the end-of-year pass of
// forced repairs the segment's forced repair is first put off by one year.
void deteriorate(Projection& p, int32_t i, int32_t c);

// Adds segment t, as it stands after this year's repair or deterioration, to
// the current year's poor, fair-and-poor and score-times-miles sums.
void accumulate_statistics(Projection& p, int32_t t);

// The end of a year: the lane-miles repaired, rounded to a whole number.
void close_year_statistics(Projection& p);

}  // namespace pavecast
