#include "engine/projection.h"

#include <algorithm>
#include <string>

#include "model/condition_class.h"
#include "engine/deterioration.h"
#include "engine/forced_repairs.h"
#include "output/listing.h"
#include "engine/repair.h"
#include "engine/selection.h"
#include "fatal/fatal.h"
#include "readers/forced_repairs.h"
#include "layout/layout.h"

namespace pavecast {

namespace {

bool draws_order_keys(const RunContext& ctx) {
  return ctx.repair_order == 1 || ctx.repair_order == 2;
}

// Clears what the engine accumulates, leaving year 1 as the loader set it.
void clear_engine_statistics(RunContext& ctx) {
  Statistics& st = ctx.stats;
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

struct YearPass {
  RunContext& ctx;
  SelectionMethod method;
  OrderKeySource keys;
  SegmentOrder order;
  int32_t loaded_count;

  int32_t next_segment() {
    return method == SelectionMethod::kOrdered ? select_next_segment(ctx, order)
                                               : scan_next_segment(ctx);
  }

  // The segment pass: every segment taken once, in the repair order.
  void segment_pass() {
    begin_year_order(order);
    for (;;) {
      const int32_t i = next_segment();
      if (i == 0) break;
      Segment& seg = ctx.segments[i];
      seg.handled_this_year = 1;
      ctx.list_position += 1;
      write_segment_list_line(ctx, i);

      int32_t t = i;
      // The entry that names the segment (an index left from an abandoned
      // pass of the dialogue names another segment, and counts as none).
      const int32_t f = forced_entry(ctx, i);
      if (f >= 1 && ctx.forced.forced_year[f] == ctx.year) {
        continue;  // repaired in the end-of-year pass
      } else if (f >= 1 && ctx.forced.forced_year[f] > ctx.year) {
        // Waiting for its forced repair: not considered for repair, and
        // deteriorating by the class of its segment-list line.
        deteriorate(ctx, i, condition_class(seg.score, kListOffset));
      } else {
        t = choose_and_apply_repair(ctx, i);
      }
      write_trace_lines(ctx, t);
      accumulate_statistics(ctx, t);
    }
    // Every segment has a key the scan can choose (keys of 21.0 or more stop
    // the run when drawn), so the pass has taken them all.
    for (int32_t d = 1; d <= ctx.segments.segment_count; ++d)
      if (ctx.segments[d].handled_this_year != 1)
        fatal("segment " + std::to_string(d) + " has an order key that cannot be taken in year " +
              std::to_string(ctx.year));
  }
};

}  // namespace

void read_traffic_increases(RunContext& ctx) {
  ctx.vmt_increase.fill(0.0f);
  if (is_no(ctx.vmt_answer)) return;
  static const layout::Layout kIncrease("F5.4");
  auto file = InputFile::open_or_fatal(ctx.workdir.data("vmt-inc.dat"), IfMissing::kCreateEmpty);
  const int32_t last = std::min(ctx.year_slots, kMaxYearSlots);
  for (int32_t y = 1; y <= last; ++y) {
    float percent = 0.0f;
    if (kIncrease.read(*file, {percent}) != layout::ReadStatus::kOk) break;
    ctx.vmt_increase[y] = static_cast<float>(static_cast<double>(percent) / 100.0);
  }
}

void run_projection(RunContext& ctx, Console& console) {
  run_projection(ctx, console, SelectionMethod::kOrdered);
}

void run_projection(RunContext& ctx, Console& console, SelectionMethod method) {
  static const layout::Layout kYearMessage(
      "17X,' Processing year ',I3,'.  It has ',I4,' segments.'");
  static const layout::Layout kClosing("17X,'" + std::string(47, ' ') + "'");

  YearPass pass{ctx, method, {}, {}, ctx.segments.segment_count};
  if (draws_order_keys(ctx)) open_order_keys(pass.keys, ctx.workdir);
  read_traffic_increases(ctx);
  clear_engine_statistics(ctx);
  ctx.funds = 0.0f;
  ctx.forced_pass = 0;
  ctx.year_miles_repaired = 0.0f;

  const int32_t last_year = std::min(ctx.year_slots, kMaxYearSlots);
  for (ctx.year = 2; ctx.year <= last_year; ++ctx.year) {
    apply_traffic_growth(ctx);
    write_year_records(ctx);
    ctx.list_position = 0;
    ctx.repair_number = 0;
    console.write(kYearMessage, {ctx.year, ctx.segments.segment_count});
    ctx.split_segment = 0;
    ctx.funds = static_cast<float>(static_cast<double>(ctx.funds) +
                                   static_cast<double>(ctx.funding[ctx.year]));
    if (reserves_forced_repairs(ctx)) reserve_forced_repairs(ctx, pass.loaded_count);
    if (draws_order_keys(ctx)) draw_order_keys(ctx, pass.keys);
    for (int32_t d = 1; d <= ctx.segments.segment_count; ++d) ctx.segments[d].handled_this_year = 0;

    pass.segment_pass();
    handle_forced_repairs(ctx, pass.loaded_count);
    close_year_statistics(ctx);
  }

  close_order_keys(pass.keys);
  console.write(kClosing, {});
}

}  // namespace pavecast
