// Repair order: the order keys drawn at the start of a year and the choice of
// the next segment of the year's pass.
//
// The pass takes, among the segments not yet handled this year, the one with
// the least key (the greatest under best-first order), ties going to the
// segment met first in the scan. The scan runs 1..n when no segment has been
// split this year; after segment s is split it starts at n - s + 1 and wraps
// round: n - s + 1, ..., n, 1, ..., n - s. A key of 21.0 or more (0.0 or less
// under best first) is never chosen.
//
// The keys and the marks of the segments handled are the pass order's
// (projection.h). OrderedSelection gives the sequence of that scan done
// literally (a whole-table search per selection) from an order sorted once
// per year (a radix sort of the keys' bits, stable, so ties keep the scan's
// order) and carried on after a split, which changes n and s, without
// sorting again; it relies on the keys of segments not yet handled staying as
// they are during the pass, which holds because a segment's key changes only
// when it is handled (the remainder of a split keeps its key).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/projection.h"

namespace pavecast {

// How the year's pass picks its next segment.
class SegmentSelection {
 public:
  virtual ~SegmentSelection() = default;
  // A new year: the keys may all have changed.
  virtual void begin_year() = 0;
  // The next segment 1..segments.segment_count not yet handled, or 0 when
  // none can be chosen.
  virtual int32_t next(const SegmentTable& segments, const PassOrder& order,
                       int32_t split_segment, bool best_first) = 0;
};

class OrderedSelection final : public SegmentSelection {
 public:
  void begin_year() override;
  int32_t next(const SegmentTable& segments, const PassOrder& order, int32_t split_segment,
               bool best_first) override;

 private:
  void build(const PassOrder& order, int32_t count, int32_t split_segment, bool best_first);
  void radix_sort();
  // The queue carried on after segment s was split (a handled piece added as
  // segment n); false when the change is not such a split.
  bool resume_after_split(const PassOrder& order, int32_t n, int32_t s, bool best_first);

  std::vector<uint64_t> queue_;  // (key rank << 32 | segment), in scan order within a rank
  std::size_t next_ = 0;
  std::vector<uint64_t> scratch_;  // sorting space, kept from year to year
  std::vector<uint32_t> counts_;
  int32_t built_count_ = -1;  // segment_count and split_segment the queue is
  int32_t built_split_ = -1;  // ordered for
};

// The keys drawn at the start of a year (BasicProjection::draw_order_keys):
// under random order the key of d = the next number, for d =
// 1..segment_count; under priority order the number divided by priority(c),
// c the class of the score at offset 0.5002. A segment whose draw fails
// keeps its key. The keys are the pass order's; each row takes its own when
// the pass takes it.
//
// BasicProjection::rank_by_cost_effectiveness, under cost-effectiveness
// order: the key of d = minus the benefit per dollar of
// the matrix's action for segment d this year, so that the pass, taking the
// least key first with ties to the lower segment number, takes the most
// benefit per dollar first. The benefit is the lane-miles times the area
// between the segment's score curves with the action this year and without
// it, year by year to the last year of the run, each deteriorating at this
// year's rates and repaired no more; the cost is what the repair would be
// charged. A segment the matrix gives no action (or whose action neither
// costs nor gains anything) gets 0, after every segment worth repairing.

}  // namespace pavecast
