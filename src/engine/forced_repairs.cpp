#include "engine/forced_repairs.h"

#include "engine/deterioration.h"
#include "engine/repair.h"
#include "model/condition_class.h"

namespace pavecast {

void reserve_forced_repairs(Projection& p) {
  float total = 0.0f;
  for (int32_t k = 1; k <= p.forced.forced_count; ++k) {
    if (p.forced.forced_year[k] != p.year || !forced_entry_takes_part(p, k)) continue;
    Segment& seg = p.segments[p.forced.forced_segment[k]];
    const int32_t c = condition_class(seg.score, kPolicyOffset);
    const int32_t number = p.in.policy[seg.pavement_type][c];
    if (number == 0) continue;
    const int32_t a = p.in.actions.find(number);
    if (a == 0) continue;  // the end-of-year pass stops the run on it
    const RepairAction& action = p.in.actions[a];
    seg.chosen_rank[a] = action.action_rank;
    // At the limit the cost is still reserved; the repair itself will be
    // put off unless a reconstruction is drawn.
    if (seg.times_applied[a] >= action.max_repeats) {
      if (action.max_repeats <= 0) continue;
      if (seg.last_action != a && seg.last_action >= 1 && seg.last_action <= kMaxActions)
        seg.times_applied[seg.last_action] = 0;
      seg.last_action = a;
    }
    const double cost =
        static_cast<double>(seg.lane_miles) * static_cast<double>(action.action_cost) / 2.0;
    total = stored(static_cast<double>(total) + cost);
    p.observer.forced_repair_reserved(p.year, p.forced.forced_segment[k], a, stored(cost));
  }
  p.funds = stored(static_cast<double>(p.funds) - static_cast<double>(total));
  float& spent = p.stats.spent[p.year];
  spent = stored(static_cast<double>(spent) + static_cast<double>(total));
}

void handle_forced_repairs(Projection& p) {
  // Each entry's year is tested when the pass reaches it: putting off a
  // segment named twice moves the later entry, which may then fall due.
  for (int32_t k = 1; k <= p.forced.forced_count; ++k) {
    if (p.forced.forced_year[k] != p.year || !forced_entry_takes_part(p, k)) continue;
    p.forced_pass = 1;
    const int32_t i = p.forced.forced_segment[k];
    p.pass.handled[static_cast<std::size_t>(i)] = 1;
    p.repair_number += 1;
    const int32_t t = choose_and_apply_repair(p, i);  // puts the entry off if refused
    p.observer.segment_done(p.year, t, p.segments[t], true);
    accumulate_statistics(p, t);
    p.forced_pass = 0;
  }
}

}  // namespace pavecast
