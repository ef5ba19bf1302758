#include "support/literal_scan.h"

namespace pavecast::testing {

int32_t scan_next_segment(const PassOrder& order, int32_t count, int32_t split_segment,
                          bool best_first) {
  const int32_t n = count;
  const int32_t s = split_segment;
  float best_value = best_first ? 0.0f : 21.0f;
  int32_t choice = 0;
  for (int32_t p = 1; p <= n; ++p) {
    const int32_t d = p > s ? p - s : n + p - s;
    if (order.handled[static_cast<std::size_t>(d)] == 1) continue;
    const float key = order.key[static_cast<std::size_t>(d)];
    if (best_first ? key > best_value : key < best_value) {
      choice = d;
      best_value = key;
    }
  }
  return choice;
}

}  // namespace pavecast::testing
