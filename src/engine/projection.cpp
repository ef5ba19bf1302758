#include "engine/projection.h"

#include <algorithm>
#include <string>

#include "engine/deterioration.h"
#include "engine/forced_repairs.h"
#include "engine/repair.h"
#include "engine/selection.h"
#include "fatal/fatal.h"
#include "model/condition_class.h"

namespace pavecast {

namespace {

// Clears what the engine accumulates, leaving year 1 as the loader set it.
template <typename Money>
void clear_engine_statistics(BasicStatistics<Money>& st) {
  for (int y = 2; y <= kMaxYearSlots; ++y) {
    st.poor_miles[y] = st.fair_poor_miles[y] = st.score_miles[y] = 0.0f;
    st.spent[y] = 0;
    st.miles_repaired[y] = 0;
  }
  st.spent[1] = 0;
  st.miles_repaired[1] = 0;
  st.total_miles_repaired = 0;
  st.miles_by_action.fill(0.0f);
  for (auto& by_year : st.cost_by_action) by_year.fill(0);
}

}  // namespace

// The segment pass: every segment taken once, in the repair order. A
// template on the selection, so that the ordered selection's calls (one per
// segment) are direct.
template <typename Money>
template <typename Selection>
void BasicProjection<Money>::segment_pass(Selection& selection) {
  const bool best_first = in_.order == RepairOrder::kBestFirst;
  const bool tell_taken = observer_.follows_segments_taken();
  const bool tell_done = observer_.follows_segments_done();
  YearSums sums = YearSums::of(stats_, year_);
  selection.begin_year();
  for (;;) {
    const int32_t i = selection.next(segments_, pass_, split_segment_, best_first);
    if (i == 0) break;
    Segment& seg = segments_[i];
    pass_.handled[static_cast<std::size_t>(i)] = 1;
    seg.order_key = pass_.key[static_cast<std::size_t>(i)];
    list_position_ += 1;
    if (tell_taken) observer_.segment_taken(year_, list_position_, i, seg);

    int32_t t = i;
    // The entry that names the segment (an index left from an abandoned
    // pass of the dialogue names another segment, and counts as none).
    const int32_t f = forced_entry(forced_, segments_, i);
    if (f >= 1 && forced_.forced_year[f] == year_) {
      continue;  // repaired in the end-of-year pass
    } else if (f >= 1 && forced_.forced_year[f] > year_) {
      // Waiting for its forced repair: not considered for repair, and
      // deteriorating by the class of its segment-list line.
      deteriorate(i, condition_class(seg.score, kListOffset));
    } else {
      t = choose_and_apply_repair(i);
    }
    if (tell_done) observer_.segment_done(year_, t, segments_[t], false);
    sums.add(segments_[t]);
  }
  sums.store(stats_, year_);
  // Every segment has a key the scan can choose (keys of 21.0 or more stop
  // the run when drawn), so the pass has taken them all.
  for (int32_t d = 1; d <= segments_.segment_count; ++d)
    if (pass_.handled[static_cast<std::size_t>(d)] != 1)
      fatal("segment " + std::to_string(d) + " has an order key that cannot be taken in year " +
            std::to_string(year_));
}

template <typename Money>
BasicProjection<Money>::BasicProjection(const ProjectionInputs& inputs, const Tables& tables,
                                        Observer& obs, NumberSource* numbers,
                                        SegmentSelection* select)
    : in_(inputs),
      segments_(tables.segments),
      pavement_(tables.pavement),
      forced_(tables.forced),
      stats_(tables.stats),
      observer_(obs),
      order_numbers_(numbers),
      selection_(select) {}

// The pass order's keys from the rows' order_key, nothing handled.
template <typename Money>
void BasicProjection<Money>::take_keys_from_rows() {
  // Room for the pieces of a split a year and of the forced repairs, so
  // that the year loop does not allocate.
  const auto rows = static_cast<std::size_t>(segments_.segment_count) + 1;
  pass_.key.reserve(rows + kMaxYearSlots + kMaxForcedRepairs);
  pass_.handled.reserve(rows + kMaxYearSlots + kMaxForcedRepairs);
  pass_.key.resize(rows);
  pass_.handled.assign(rows, 0);
  for (int32_t d = 1; d < static_cast<int32_t>(rows); ++d)
    pass_.key[static_cast<std::size_t>(d)] = segments_[d].order_key;
}

template <typename Money>
void BasicProjection<Money>::run() {
  OrderedSelection ordered;
  loaded_count_ = segments_.segment_count;
  take_keys_from_rows();
  for (int t = 1; t <= kMaxPavementTypes; ++t)
    for (int c = 1; c <= kClasses; ++c) matrix_action_[t][c] = in_.actions.find(in_.policy[t][c]);
  clear_engine_statistics(stats_);
  funds_ = 0;
  forced_pass_ = false;
  year_miles_repaired_ = 0.0f;

  const int32_t last_year = std::min(in_.year_slots, kMaxYearSlots);
  for (year_ = 2; year_ <= last_year; ++year_) {
    apply_traffic_growth();
    list_position_ = 0;
    repair_number_ = 0;
    observer_.year_begins(year_, segments_.segment_count);
    split_segment_ = 0;
    funds_ = stored_money<Money>(static_cast<double>(funds_) +
                                 static_cast<double>(in_.funding[year_]));
    if (reserves_forced_repairs(in_)) reserve_forced_repairs();
    if (draws_order_keys(in_.order)) draw_order_keys();
    if (in_.order == RepairOrder::kCostEffectiveness) rank_by_cost_effectiveness();
    std::fill(pass_.handled.begin(), pass_.handled.end(), 0);

    if (selection_ == nullptr) {
      segment_pass(ordered);
    } else {
      segment_pass(*selection_);
    }
    handle_forced_repairs();
    close_year_statistics();
  }
  derive_statistics();
  observer_.projection_ends();
}

template class BasicProjection<float>;
template class BasicProjection<double>;

}  // namespace pavecast
