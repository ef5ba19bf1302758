// Deterioration and the yearly statistics: what happens to a segment that
// receives no repair in a year, the traffic growth that raises every
// deterioration rate from one year to the next, and the sums the report
// prints for each year.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#if defined(__SSE__)
#include <xmmintrin.h>
#endif

#include "engine/projection.h"
#include "model/condition_class.h"

namespace pavecast {

// One stored float from a formula evaluated in double.
inline float stored(double value) {
  return static_cast<float>(value);
}

// One stored amount of money from a formula evaluated in double: a float for
// the program, the double itself for the scenario tool.
template <typename Money>
inline Money stored_money(double value) {
  return static_cast<Money>(value);
}

// The start of a year (BasicProjection::apply_traffic_growth): every det_rate
// entry (all 5 types, all 10 columns) is multiplied by 1 + 0.75 x the
// previous year's traffic increase, so the growth of one year acts on the
// next and the factors compound.

// x kept within 1.0..10.0 as the tests "below 1.0: 1.0" and "above 10.0:
// 10.0" keep it (a NaN stays), without a branch: in the year's pass, whose
// order mixes segments at the floor of the scale with the rest, a branch on
// it is mispredicted again and again.
inline float within_scale(float x) {
#if defined(__SSE__)
  // maxss(a, b) is a > b ? a : b and minss(a, b) is a < b ? a : b, each b
  // when either is a NaN.
  return _mm_cvtss_f32(
      _mm_min_ss(_mm_set_ss(10.0f), _mm_max_ss(_mm_set_ss(1.0f), _mm_set_ss(x))));
#else
  return std::min(std::max(x, 1.0f), 10.0f);
#endif
}

// Segment i loses one year's deterioration at class c: the class at offset
// 0.505 when the segment was considered for repair, at 0.5002 when it waits
// for a forced repair in a later year. The score stays within 1.0..10.0 (a
// negative rate may raise it, never above 10.0). In the end-of-year pass of
// forced repairs the segment's forced repair is first put off by one year.
// Inline, as the next, for the year's pass does it for most segments.
template <typename Money>
inline void BasicProjection<Money>::deteriorate(int32_t i, int32_t c) {
  Segment& seg = segments_[i];
  if (forced_pass_) {
    const int32_t f = forced_entry(forced_, segments_, i);
    if (f >= 1) forced_.forced_year[f] += 1;
  }
  const float rate = pavement_.det_rate[seg.pavement_type][11 - c];
  // Only a negative rate takes a score above 10.0.
  const float new_score =
      within_scale(stored(static_cast<double>(seg.score) - static_cast<double>(rate)));
  seg.score = new_score;
  if (keys_follow_score(in_.order)) set_key(i, new_score);
}

// v, or +0.0 when `keep` is false, chosen by masking its bits: no branch.
inline double kept_if(bool keep, double v) {
  return std::bit_cast<double>(std::bit_cast<uint64_t>(v) & (uint64_t{0} - uint64_t{keep}));
}

// Adds segment t, as it stands after this year's repair or deterioration, to
// the current year's poor, fair-and-poor and score-times-miles sums. A
// segment outside a sum adds +0.0 to it, which leaves the sum as it is (a
// sum from +0.0 is never -0.0), so that no branch depends on the class: the
// pass mixes the classes, and such a branch is mispredicted again and again.
//
// YearSums holds the three sums of the year while the segment pass adds to
// them, as locals: in the statistics, where an observer's call could read
// them, each add would wait for the one before it to go through memory.
struct YearSums {
  float fair_poor_miles;
  float poor_miles;
  float score_miles;

  template <typename Money>
  static YearSums of(const BasicStatistics<Money>& st, int32_t year) {
    return {st.fair_poor_miles[year], st.poor_miles[year], st.score_miles[year]};
  }
  template <typename Money>
  void store(BasicStatistics<Money>& st, int32_t year) const {
    st.fair_poor_miles[year] = fair_poor_miles;
    st.poor_miles[year] = poor_miles;
    st.score_miles[year] = score_miles;
  }
  void add(const Segment& seg) {
    const int32_t c = condition_class(seg.score, kPolicyOffset);
    const double m = seg.lane_miles;
    fair_poor_miles = stored(static_cast<double>(fair_poor_miles) + kept_if(c <= 6, m));
    poor_miles = stored(static_cast<double>(poor_miles) + kept_if(c <= 5, m));
    score_miles = stored(static_cast<double>(score_miles) + m * static_cast<double>(seg.score));
  }
};

template <typename Money>
inline void BasicProjection<Money>::accumulate_statistics(int32_t t) {
  YearSums sums = YearSums::of(stats_, year_);
  sums.add(segments_[t]);
  sums.store(stats_, year_);
}

// The end of a year (BasicProjection::close_year_statistics): the lane-miles
// repaired, rounded to a whole number, saturated at the ends of 32 bits.

}  // namespace pavecast
