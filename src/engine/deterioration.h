// Deterioration and the yearly statistics: what happens to a segment that
// receives no repair in a year, the traffic growth that raises every
// deterioration rate from one year to the next, and the sums the report
// prints for each year. All of it works on the run context in place.
#pragma once

#include <cstdint>

#include "app/run_context.h"

namespace pavecast {

// The start of a year: every det_rate entry (all 5 types, all 10 columns) is
// multiplied by 1 + 0.75 x the previous year's traffic increase, so the
// growth of one year acts on the next and the factors compound.
void apply_traffic_growth(RunContext& ctx);

// Segment i loses one year's deterioration at class c: the class at offset
// 0.505 when the segment was considered for repair, at 0.5002 when it waits
// for a forced repair in a later year. The score stays within 1.0..10.0 (a
// negative rate may raise it, never above 10.0). In the end-of-year pass of
// forced repairs the segment's forced repair is first put off by one year.
void deteriorate(RunContext& ctx, int32_t i, int32_t c);

// Adds segment t, as it stands after this year's repair or deterioration, to
// the current year's poor, fair-and-poor and score-times-miles sums.
void accumulate_statistics(RunContext& ctx, int32_t t);

// The end of a year: the lane-miles repaired, rounded to a whole number.
void close_year_statistics(RunContext& ctx);

// Whether order keys follow the score after each repair and deterioration
// (priority, worst-first and best-first order; random keys stay as drawn).
inline bool keys_follow_score(int32_t repair_order) {
  return repair_order == 2 || repair_order == 3 || repair_order == 4;
}

}  // namespace pavecast
