// The repair decision for one segment in a year: the policy-matrix action for
// its pavement type and class, random reconstruction, the repetition policy,
// the cost against the money left, and the split of the segment when the
// money pays for only part of it. A segment that gets no repair deteriorates.
//
// Money: funds carries over from year to year. A repair is affordable when
// funds - cost is 0.0 or more; otherwise the segment is split, the new piece
// gets the lane-miles the money pays for (0.0 when funds is 0.0 or below) and
// is repaired, the rest of the segment is taken again later in the year, and
// no further repair is made that year except forced ones under a budget.
#pragma once

#include <cstdint>

#include "engine/deterioration.h"
#include "engine/projection.h"
#include "model/condition_class.h"

namespace pavecast {

// A forced repair of the end-of-year pass when the model is constrained by
// dollars ("Y"): its cost was reserved at the start of the year, so it is
// neither checked against funds nor taken from them.
template <typename Money>
inline bool BasicProjection<Money>::reserved_forced_repair() const {
  return forced_pass_ && exempts_forced_repairs(in_);
}

// choose_and_apply_repair decides segment i's fate for the year and carries
// it out. Returns the segment that the trace lines and statistics then
// follow: the repaired piece after a split, else i. In the end-of-year pass
// a forced repair under a budget skips the budget check and is not taken
// from funds. Inline up to the deterioration of a segment the matrix or the
// money leaves unrepaired, what most segments of a year get; repair_by_matrix
// makes the decision once the matrix names an action and the year's money has
// not run out at a split, and apply_repair applies action k (splitting the
// segment first when the money does not reach).
template <typename Money>
inline int32_t BasicProjection<Money>::choose_and_apply_repair(int32_t i) {
  const Segment& seg = segments_[i];
  const int32_t c = condition_class(seg.score, kPolicyOffset);
  if (reserved_forced_repair()) split_segment_ = 0;
  if (split_segment_ > 0 || in_.policy[seg.pavement_type][c] == 0) {
    deteriorate(i, c);
    return i;
  }
  return repair_by_matrix(i, c);
}

}  // namespace pavecast
