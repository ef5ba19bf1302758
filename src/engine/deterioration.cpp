#include "engine/deterioration.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "model/condition_class.h"

namespace pavecast {

template <typename Money>
void BasicProjection<Money>::apply_traffic_growth() {
  const float factor = stored(1.0 + 0.75 * static_cast<double>(in_.vmt_increase[year_ - 1]));
  for (int t = 1; t <= kMaxPavementTypes; ++t)
    for (int j = 1; j <= kClasses; ++j) {
      float& rate = pavement_.det_rate[t][j];
      rate = stored(static_cast<double>(rate) * static_cast<double>(factor));
    }
}

namespace {

// Whole lane-miles as condition_class() gives them, but saturated at the
// ends of 32 bits: lengths far beyond any network (a scores file's 1E+30)
// print as asterisks instead of converting out of range.
int32_t whole_miles(float miles) {
  const double sum = static_cast<double>(miles) + static_cast<double>(kMilesOffset);
  if (sum >= 2147483648.0 || sum != sum) return std::numeric_limits<int32_t>::max();
  if (sum <= -2147483649.0) return std::numeric_limits<int32_t>::min();
  return condition_class(miles, kMilesOffset);
}

}  // namespace

template <typename Money>
void BasicProjection<Money>::close_year_statistics() {
  BasicStatistics<Money>& st = stats_;
  st.miles_repaired[year_] = whole_miles(year_miles_repaired_);
  const int64_t total = int64_t{st.total_miles_repaired} + st.miles_repaired[year_];
  st.total_miles_repaired = static_cast<int32_t>(std::clamp<int64_t>(
      total, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
  year_miles_repaired_ = 0.0f;
}

// The percentages and mean score of every year the report prints, 1 to the
// last (year 1 even when nothing was simulated).
template <typename Money>
void BasicProjection<Money>::derive_statistics() {
  const int32_t last = std::clamp(in_.year_slots, 1, kMaxYearSlots);
  for (int32_t y = 1; y <= last; ++y) derive_year_statistics(stats_, in_.total_lane_miles, y);
}

#define PAVECAST_INSTANTIATE(Money)                                \
  template void BasicProjection<Money>::apply_traffic_growth();   \
  template void BasicProjection<Money>::close_year_statistics();  \
  template void BasicProjection<Money>::derive_statistics();
PAVECAST_INSTANTIATE(float)
PAVECAST_INSTANTIATE(double)
#undef PAVECAST_INSTANTIATE

}  // namespace pavecast
