// Condition classes: a real score turned into a whole class by adding an
// offset and truncating toward zero. Each offset is a single-precision
// constant and the sum is formed in double from the two stored floats, which
// puts the class boundary of offset 0.505 just above x.495 (5.495 is class 5,
// 5.4951 class 6) and that of 0.5002 between 5.4997 and 5.4998. With scores
// kept within 1.0..10.0 every class is 1..10.
#pragma once

#include <cstdint>

namespace pavecast {

// Policy-matrix entry, deterioration rate, statistics, trace and repair line.
inline constexpr float kPolicyOffset = 0.505f;
// Segment-list "Surf" column and the priority that divides an order key.
inline constexpr float kListOffset = 0.5002f;
// Whole lane-miles repaired in a year.
inline constexpr float kMilesOffset = 0.5005f;

inline int32_t condition_class(float value, float offset) {
  return static_cast<int32_t>(static_cast<double>(value) + static_cast<double>(offset));
}

}  // namespace pavecast
