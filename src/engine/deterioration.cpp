#include "engine/deterioration.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "model/condition_class.h"

namespace pavecast {

void apply_traffic_growth(Projection& p) {
  const float factor = stored(1.0 + 0.75 * static_cast<double>(p.in.vmt_increase[p.year - 1]));
  for (int t = 1; t <= kMaxPavementTypes; ++t)
    for (int j = 1; j <= kClasses; ++j) {
      float& rate = p.pavement.det_rate[t][j];
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

void close_year_statistics(Projection& p) {
  Statistics& st = p.stats;
  st.miles_repaired[p.year] = whole_miles(p.year_miles_repaired);
  const int64_t total = int64_t{st.total_miles_repaired} + st.miles_repaired[p.year];
  st.total_miles_repaired = static_cast<int32_t>(std::clamp<int64_t>(
      total, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
  p.year_miles_repaired = 0.0f;
}

}  // namespace pavecast
