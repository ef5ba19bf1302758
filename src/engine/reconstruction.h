// Random reconstruction: with the probability the analyst gave, a segment in
// poor condition is rebuilt with the matrix's action for a score of 1 instead
// of the action its condition calls for, standing for roads rebuilt for
// reasons other than their condition. The draws use the 500 numbers loaded at
// set-up in turn, one per try, cycling over the run.
#pragma once

#include <cstdint>

#include "engine/projection.h"

namespace pavecast {

// BasicProjection::try_random_reconstruction tries segment i, whose matrix
// action is k. On a draw at or below the probability the segment's
// repetition counts start again from 0, k becomes the action for a score of
// 1 and true is returned (the repetition check is then skipped). Tried only
// for scores below 6.5.

}  // namespace pavecast
