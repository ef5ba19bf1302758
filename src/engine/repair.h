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

// The budget test of the forced repairs' reservation: any answer but "N"/"n".
inline bool reserves_forced_repairs(const ProjectionInputs& in) {
  return in.budget_constrained != 'N' && in.budget_constrained != 'n';
}

// The budget test of a forced repair as it is made: "Y" alone. Such a repair
// was reserved at the start of the year, so it is neither checked against
// the money left nor taken from it.
inline bool exempts_forced_repairs(const ProjectionInputs& in) {
  return in.budget_constrained == 'Y';
}

// A forced repair of the end-of-year pass when the model is constrained by
// dollars: its cost was reserved at the start of the year, so it is neither
// checked against funds nor taken from them.
inline bool reserved_forced_repair(const Projection& p) {
  return p.forced_pass == 1 && exempts_forced_repairs(p.in);
}

// The decision for segment i of class c once the matrix names an action and
// the year's money has not run out at a split.
int32_t repair_by_matrix(Projection& p, int32_t i, int32_t c);

// Decides segment i's fate for the year and carries it out. Returns the
// segment that the trace lines and statistics then follow: the repaired piece
// after a split, else i. In the end-of-year pass (forced_pass = 1) a forced
// repair under a budget skips the budget check and is not taken from funds.
// Inline up to the deterioration of a segment the matrix or the money leaves
// unrepaired, what most segments of a year get.
inline int32_t choose_and_apply_repair(Projection& run, int32_t i) {
  const Segment& seg = run.segments[i];
  const int32_t c = condition_class(seg.score, kPolicyOffset);
  if (reserved_forced_repair(run)) run.split_segment = 0;
  if (run.split_segment > 0 || run.in.policy[seg.pavement_type][c] == 0) {
    deteriorate(run, i, c);
    return i;
  }
  return repair_by_matrix(run, i, c);
}

// Applies action k to segment i (splitting it first when the money does not
// reach) and returns the repaired segment.
int32_t apply_repair(Projection& p, int32_t i, int32_t k);

}  // namespace pavecast
