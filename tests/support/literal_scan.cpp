#include "support/literal_scan.h"

namespace pavecast::testing {

int32_t scan_next_segment(const SegmentTable& segments, int32_t split_segment, bool best_first) {
  const int32_t n = segments.segment_count;
  const int32_t s = split_segment;
  float best_value = best_first ? 0.0f : 21.0f;
  int32_t choice = 0;
  for (int32_t p = 1; p <= n; ++p) {
    const int32_t d = p > s ? p - s : n + p - s;
    const Segment& seg = segments[d];
    if (seg.handled_this_year == 1) continue;
    if (best_first ? seg.order_key > best_value : seg.order_key < best_value) {
      choice = d;
      best_value = seg.order_key;
    }
  }
  return choice;
}

}  // namespace pavecast::testing
