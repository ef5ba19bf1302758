// Forced repairs: listed segments repaired in given years, outside the repair
// order. Under a budget their cost is reserved out of the year's money before
// anything else; the repairs themselves are made in a pass at the end of the
// year, in the order of the list. A repair that cannot be made (no matrix
// action, the repetition limit, the money gone at a split) is put off to the
// next year, year after year.
//
// Entries naming a segment outside the table as loaded take no part: they are
// never reserved or handled. `loaded_count` is segment_count when the year
// loop began (pieces split off later are no forced repair's segment).
#pragma once

#include <cstdint>

#include "engine/projection.h"

namespace pavecast {

// Whether forced-repair entry k names a segment of the table as loaded (the
// loader also flags the entries it found beyond the network).
template <typename Money>
inline bool BasicProjection<Money>::forced_entry_takes_part(int32_t k) const {
  const int32_t i = forced_.forced_segment[k];
  return forced_.forced_ignored[k] == 0 && i >= 1 && i <= loaded_count_;
}

// reserve_forced_repairs, at the start of a year under a budget: takes the
// cost of this year's forced repairs out of funds and adds it to
// spent(year); records the chosen rank and applies the repetition reset as
// the decision would.
//
// handle_forced_repairs, at the end of a year: makes each of this year's
// forced repairs, with its segment_done marked forced and its statistics.

}  // namespace pavecast
