// Statistics by year, gathered by the loader (year index 1) and the engine
// (2..year_slots), and read by the projection report. Index y of every
// per-year table is calendar year first_year + y - 1.
#pragma once

#include <array>
#include <cstdint>

#include "model/parameter_tables.h"

namespace pavecast {

struct Statistics {
  PerYear<float> poor_miles{};       // lane-miles of class 5 or less
  PerYear<float> fair_poor_miles{};  // lane-miles of class 6 or less
  PerYear<float> score_miles{};      // sum of lane_miles x score
  PerYear<float> spent{};
  PerYear<int32_t> miles_repaired{};
  int32_t total_miles_repaired = 0;
  std::array<float, kMaxActions + 1> miles_by_action{};
  std::array<PerYear<float>, kMaxActions + 1> cost_by_action{};  // [a][y]

  // Derived by the report for the closing summary.
  PerYear<float> pct_poor{};
  PerYear<float> pct_fair{};
  PerYear<float> mean_score{};
};

// pct_poor, pct_fair and mean_score of year index y from the lane-mile sums,
// as the report derives them (the scenario tool's numbers must be the
// report's). A network of 0 lane-miles gives 0.0 for all three.
void derive_year_statistics(Statistics& s, float total_lane_miles, int y);

}  // namespace pavecast
