// Statistics by year, gathered by the loader (year index 1) and the engine
// (2..year_slots), and read by the projection report and the closing. Index y
// of every per-year table is calendar year first_year + y - 1.
//
// Money is a parameter: the program keeps it in single precision (float), as
// every real of the program; the scenario tool keeps it in double, so that
// its sums stay exact to the cent on networks of any size. Lane-miles and
// scores are float in both.
#pragma once

#include <array>
#include <cstdint>

#include "model/parameter_tables.h"

namespace pavecast {

template <typename Money>
struct BasicStatistics {
  PerYear<float> poor_miles{};       // lane-miles of class 5 or less
  PerYear<float> fair_poor_miles{};  // lane-miles of class 6 or less
  PerYear<float> score_miles{};      // sum of lane_miles x score
  PerYear<Money> spent{};
  PerYear<int32_t> miles_repaired{};
  int32_t total_miles_repaired = 0;
  std::array<float, kMaxActions + 1> miles_by_action{};
  std::array<PerYear<Money>, kMaxActions + 1> cost_by_action{};  // [a][y]

  // Derived from the lane-mile sums when the year loop ends (the report and
  // the closing only read them).
  PerYear<float> pct_poor{};
  PerYear<float> pct_fair{};
  PerYear<float> mean_score{};
};

using Statistics = BasicStatistics<float>;

// The same statistics with money of another type (the loaded year's sums as
// they are, money converted).
template <typename To, typename From>
BasicStatistics<To> with_money(const BasicStatistics<From>& s) {
  BasicStatistics<To> out;
  out.poor_miles = s.poor_miles;
  out.fair_poor_miles = s.fair_poor_miles;
  out.score_miles = s.score_miles;
  out.miles_repaired = s.miles_repaired;
  out.total_miles_repaired = s.total_miles_repaired;
  out.miles_by_action = s.miles_by_action;
  out.pct_poor = s.pct_poor;
  out.pct_fair = s.pct_fair;
  out.mean_score = s.mean_score;
  for (std::size_t y = 0; y < s.spent.size(); ++y) out.spent[y] = static_cast<To>(s.spent[y]);
  for (std::size_t a = 0; a < s.cost_by_action.size(); ++a)
    for (std::size_t y = 0; y < s.spent.size(); ++y)
      out.cost_by_action[a][y] = static_cast<To>(s.cost_by_action[a][y]);
  return out;
}

// pct_poor, pct_fair and mean_score of year index y from the lane-mile sums,
// as the report prints them (the scenario tool's numbers must be the
// report's). A network of 0 lane-miles gives 0.0 for all three.
template <typename Money>
void derive_year_statistics(BasicStatistics<Money>& s, float total_lane_miles, int y) {
  const double total = total_lane_miles;
  auto ratio_or_zero = [](double numerator, double divisor) {
    return divisor == 0.0 ? 0.0f : static_cast<float>(numerator / divisor);
  };
  s.pct_poor[y] = ratio_or_zero(static_cast<double>(s.poor_miles[y]) * 100.0, total);
  s.pct_fair[y] =
      total == 0.0 ? 0.0f
                   : static_cast<float>(static_cast<double>(s.fair_poor_miles[y]) * 100.0 / total -
                                        static_cast<double>(s.pct_poor[y]));
  s.mean_score[y] = ratio_or_zero(s.score_miles[y], total);
}

}  // namespace pavecast
