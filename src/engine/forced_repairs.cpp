#include "engine/forced_repairs.h"

#include "model/condition_class.h"
#include "engine/deterioration.h"
#include "output/listing.h"
#include "engine/repair.h"

namespace pavecast {

void reserve_forced_repairs(RunContext& ctx, int32_t loaded_count) {
  float total = 0.0f;
  for (int32_t k = 1; k <= ctx.forced.forced_count; ++k) {
    if (ctx.forced.forced_year[k] != ctx.year || !forced_entry_takes_part(ctx, k, loaded_count))
      continue;
    Segment& seg = ctx.segments[ctx.forced.forced_segment[k]];
    const int32_t c = condition_class(seg.score, kPolicyOffset);
    const int32_t number = ctx.policy[seg.pavement_type][c];
    if (number == 0) continue;
    const int32_t a = ctx.actions.find(number);
    if (a == 0) continue;  // the end-of-year pass stops the run on it
    const RepairAction& action = ctx.actions[a];
    seg.chosen_rank[a] = action.action_rank;
    // At the limit the cost is still reserved; the repair itself will be
    // put off unless a reconstruction is drawn.
    if (seg.times_applied[a] >= action.max_repeats) {
      if (action.max_repeats <= 0) continue;
      if (seg.last_action != a && seg.last_action >= 1 && seg.last_action <= kMaxActions)
        seg.times_applied[seg.last_action] = 0;
      seg.last_action = a;
    }
    total = static_cast<float>(static_cast<double>(total) +
                               static_cast<double>(seg.lane_miles) *
                                   static_cast<double>(action.action_cost) / 2.0);
  }
  ctx.funds = static_cast<float>(static_cast<double>(ctx.funds) - static_cast<double>(total));
  float& spent = ctx.stats.spent[ctx.year];
  spent = static_cast<float>(static_cast<double>(spent) + static_cast<double>(total));
}

void handle_forced_repairs(RunContext& ctx, int32_t loaded_count) {
  // Each entry's year is tested when the pass reaches it: putting off a
  // segment named twice moves the later entry, which may then fall due.
  for (int32_t k = 1; k <= ctx.forced.forced_count; ++k) {
    if (ctx.forced.forced_year[k] != ctx.year || !forced_entry_takes_part(ctx, k, loaded_count))
      continue;
    ctx.forced_pass = 1;
    const int32_t i = ctx.forced.forced_segment[k];
    ctx.segments[i].handled_this_year = 1;
    ctx.repair_number += 1;
    const int32_t t = choose_and_apply_repair(ctx, i);  // puts the entry off if refused
    write_trace_lines(ctx, t);
    accumulate_statistics(ctx, t);
    ctx.forced_pass = 0;
  }
}

}  // namespace pavecast
