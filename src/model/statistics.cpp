#include "model/statistics.h"

namespace pavecast {

namespace {

// A real divided by a real, or 0.0 when the divisor is 0.
float ratio_or_zero(double numerator, double divisor) {
  return divisor == 0.0 ? 0.0f : static_cast<float>(numerator / divisor);
}

}  // namespace

void derive_year_statistics(Statistics& s, float total_lane_miles, int y) {
  const double total = total_lane_miles;
  s.pct_poor[y] = ratio_or_zero(static_cast<double>(s.poor_miles[y]) * 100.0, total);
  s.pct_fair[y] =
      total == 0.0 ? 0.0f
                   : static_cast<float>(static_cast<double>(s.fair_poor_miles[y]) * 100.0 / total -
                                        static_cast<double>(s.pct_poor[y]));
  s.mean_score[y] = ratio_or_zero(s.score_miles[y], total);
}

}  // namespace pavecast
