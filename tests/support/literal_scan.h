// The selection scan done literally, as the program's documentation states
// it: for each selection a whole-table search for the least key (the
// greatest under best first) among the segments not yet handled, in scan
// order, ties to the segment met first. The ordered selection must give the
// same sequence; tests and benchmarks compare the two.
#pragma once

#include <cstdint>

#include "engine/selection.h"

namespace pavecast::testing {

// The next segment 1..count not yet handled, or 0 when none can be chosen.
int32_t scan_next_segment(const PassOrder& order, int32_t count, int32_t split_segment,
                          bool best_first);

class LiteralScan : public SegmentSelection {
 public:
  void begin_year() override {}
  int32_t next(const SegmentTable& segments, const PassOrder& order, int32_t split_segment,
               bool best_first) override {
    return scan_next_segment(order, segments.segment_count, split_segment, best_first);
  }
};

}  // namespace pavecast::testing
