// Whole numbers from reals, the way the reports round them: add an offset
// (a single-precision constant) to the stored value, the sum formed in double
// precision, and truncate toward zero. A value with no whole number in range
// (a division by zero upstream, say) gives an integer too wide for any report
// field, so it prints as asterisks instead of being undefined.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace pavecast {

inline constexpr float kReportOffset = 0.505f;      // percentages and score classes
inline constexpr float kLaneMilesOffset = 0.5005f;  // whole lane-miles
inline constexpr float kFinalClassOffset = 0.5f;    // the class in the final-conditions file

inline int32_t whole(float value, float offset) {
  double sum = static_cast<double>(value) + static_cast<double>(offset);
  if (std::isnan(sum) || sum <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  if (sum >= 2147483648.0) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(sum);
}

}  // namespace pavecast
