// What a council reads of a year beside the condition figures: the backlog
// and the remaining service life of the network.
//
// Backlog: the cost of the repair the policy matrix calls for on a segment
// (its pavement type and class at offset 0.505; the action carrying that
// number, its cost per 2 lane-miles times the segment's lane-miles), in
// millions of dollars, and the lane-miles it covers. A matrix entry of 0 is
// no work; an entry no repair action carries (the engine stops on it) counts
// as no work here.
//
// Remaining service life: the whole years until a segment's score, losing
// each year the rate of its type and class at the rates given, reaches poor
// (class 5 or less at offset 0.505), without repair. A segment already poor
// has 0. The count stops at kLifeCap, which stands for that many years or
// more: a type whose rates are 0, or negative, never reaches poor. A band
// needs the count only up to the first year of the last band.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/projection.h"
#include "model/parameter_tables.h"
#include "model/segment_table.h"

namespace pavecast {

inline constexpr int32_t kLifeCap = 30;

// The years segment `seg` has left at `rates`, 0..limit (limit <= kLifeCap;
// limit stands for that many years or more).
int32_t remaining_life(const Segment& seg, const PavementTypes& rates,
                       int32_t limit = kLifeCap);

// The bands of remaining life: 0, 1-3, 4-7, 8-12 and 13 or more years.
inline constexpr int32_t kLifeBands = 5;
int32_t life_band(int32_t years);
inline constexpr int32_t kLastBandYears = 13;  // the last band's first year
// "0", "1-3", "4-7", "8-12", "13+".
const char* life_band_label(int32_t band);
// "30+" for kLifeCap, else the number.
std::string life_text(int32_t years);

// The repair action the policy calls for by pavement type and class (its
// index in the inputs' actions; 0: no work), looked up once for a run.
struct PolicyActions {
  explicit PolicyActions(const ProjectionInputs& in);
  std::array<std::array<int32_t, kClasses + 1>, kMaxPavementTypes + 1> index{};
};

// The sums of a year over a set of segments.
struct Outlook {
  double backlog = 0.0;  // $M
  double backlog_lane_miles = 0.0;
  std::array<double, kLifeBands> life_miles{};  // lane-miles by band

  void add_backlog(const Segment& seg, const ProjectionInputs& in, const PolicyActions& actions);
  void add_life(const Segment& seg, const PavementTypes& rates);
};

}  // namespace pavecast
