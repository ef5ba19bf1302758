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
void clear_engine_statistics(Statistics& st) {
  for (int y = 2; y <= kMaxYearSlots; ++y) {
    st.poor_miles[y] = st.fair_poor_miles[y] = st.score_miles[y] = st.spent[y] = 0.0f;
    st.miles_repaired[y] = 0;
  }
  st.spent[1] = 0.0f;
  st.miles_repaired[1] = 0;
  st.total_miles_repaired = 0;
  st.miles_by_action.fill(0.0f);
  for (auto& by_year : st.cost_by_action) by_year.fill(0.0f);
}

// The segment pass: every segment taken once, in the repair order. A
// template on the selection, so that the ordered selection's calls (one per
// segment) are direct.
template <typename Selection>
void segment_pass(Projection& p, Selection& selection) {
  const bool best_first = p.in.order == RepairOrder::kBestFirst;
  const bool tell_taken = p.observer.follows_segments_taken();
  const bool tell_done = p.observer.follows_segments_done();
  YearSums sums = YearSums::of(p);
  selection.begin_year();
  for (;;) {
    const int32_t i = selection.next(p.segments, p.pass, p.split_segment, best_first);
    if (i == 0) break;
    Segment& seg = p.segments[i];
    p.pass.handled[static_cast<std::size_t>(i)] = 1;
    seg.order_key = p.pass.key[static_cast<std::size_t>(i)];
    p.list_position += 1;
    if (tell_taken) p.observer.segment_taken(p.year, p.list_position, i, seg);

    int32_t t = i;
    // The entry that names the segment (an index left from an abandoned
    // pass of the dialogue names another segment, and counts as none).
    const int32_t f = forced_entry(p.forced, p.segments, i);
    if (f >= 1 && p.forced.forced_year[f] == p.year) {
      continue;  // repaired in the end-of-year pass
    } else if (f >= 1 && p.forced.forced_year[f] > p.year) {
      // Waiting for its forced repair: not considered for repair, and
      // deteriorating by the class of its segment-list line.
      deteriorate(p, i, condition_class(seg.score, kListOffset));
    } else {
      t = choose_and_apply_repair(p, i);
    }
    if (tell_done) p.observer.segment_done(p.year, t, p.segments[t], false);
    sums.add(p.segments[t]);
  }
  sums.store(p);
  // Every segment has a key the scan can choose (keys of 21.0 or more stop
  // the run when drawn), so the pass has taken them all.
  for (int32_t d = 1; d <= p.segments.segment_count; ++d)
    if (p.pass.handled[static_cast<std::size_t>(d)] != 1)
      fatal("segment " + std::to_string(d) + " has an order key that cannot be taken in year " +
            std::to_string(p.year));
}

}  // namespace

Projection::Projection(const ProjectionInputs& inputs, const ProjectionTables& tables,
                       ProjectionObserver& obs, NumberSource* numbers, SegmentSelection* select)
    : in(inputs),
      segments(tables.segments),
      pavement(tables.pavement),
      forced(tables.forced),
      stats(tables.stats),
      observer(obs),
      order_numbers(numbers),
      selection(select) {
  take_keys_from_rows();
}

void Projection::take_keys_from_rows() {
  // Room for the pieces of a split a year and of the forced repairs, so
  // that the year loop does not allocate.
  const auto rows = static_cast<std::size_t>(segments.segment_count) + 1;
  pass.key.reserve(rows + kMaxYearSlots + kMaxForcedRepairs);
  pass.handled.reserve(rows + kMaxYearSlots + kMaxForcedRepairs);
  pass.key.resize(rows);
  pass.handled.assign(rows, 0);
  for (int32_t d = 1; d < static_cast<int32_t>(rows); ++d)
    pass.key[static_cast<std::size_t>(d)] = segments[d].order_key;
}

void Projection::run() {
  OrderedSelection ordered;
  loaded_count = segments.segment_count;
  take_keys_from_rows();
  for (int t = 1; t <= kMaxPavementTypes; ++t)
    for (int c = 1; c <= kClasses; ++c) matrix_action[t][c] = in.actions.find(in.policy[t][c]);
  clear_engine_statistics(stats);
  funds = 0.0f;
  forced_pass = 0;
  year_miles_repaired = 0.0f;

  const int32_t last_year = std::min(in.year_slots, kMaxYearSlots);
  for (year = 2; year <= last_year; ++year) {
    apply_traffic_growth(*this);
    list_position = 0;
    repair_number = 0;
    observer.year_begins(year, segments.segment_count);
    split_segment = 0;
    funds = stored(static_cast<double>(funds) + static_cast<double>(in.funding[year]));
    if (reserves_forced_repairs(in)) reserve_forced_repairs(*this);
    if (draws_order_keys(in.order)) draw_order_keys(*this);
    if (in.order == RepairOrder::kCostEffectiveness) rank_by_cost_effectiveness(*this);
    std::fill(pass.handled.begin(), pass.handled.end(), 0);

    if (selection == nullptr) {
      segment_pass(*this, ordered);
    } else {
      segment_pass(*this, *selection);
    }
    handle_forced_repairs(*this);
    close_year_statistics(*this);
  }
  observer.projection_ends();
}

}  // namespace pavecast
