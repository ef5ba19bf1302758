// Statistics by year, gathered by the loader (year index 1) and the engine
// (2..year_slots), and read by the projection report. Index y of every
// per-year table is calendar year first_year + y - 1.
#pragma once

#include <array>
#include <cstdint>

#include "model/parameter_tables.h"

namespace pavecast {

inline constexpr int kMaxYearSlots = 99;  // per-year tables: indices 1..99
inline constexpr int kMaxYears = 97;      // the traffic table holds years 1..98

template <typename T>
using PerYear = std::array<T, kMaxYearSlots + 1>;

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

}  // namespace pavecast
