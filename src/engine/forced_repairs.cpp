#include "engine/forced_repairs.h"

#include "engine/deterioration.h"
#include "engine/repair.h"
#include "model/condition_class.h"

namespace pavecast {

template <typename Money>
void BasicProjection<Money>::reserve_forced_repairs() {
  Money total = 0;
  for (int32_t k = 1; k <= forced_.forced_count; ++k) {
    if (forced_.forced_year[k] != year_ || !forced_entry_takes_part(k)) continue;
    Segment& seg = segments_[forced_.forced_segment[k]];
    const int32_t c = condition_class(seg.score, kPolicyOffset);
    const int32_t number = in_.policy[seg.pavement_type][c];
    if (number == 0) continue;
    const int32_t a = in_.actions.find(number);
    if (a == 0) continue;  // the end-of-year pass stops the run on it
    const RepairAction& action = in_.actions[a];
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
    total = stored_money<Money>(static_cast<double>(total) + cost);
    observer_.forced_repair_reserved(year_, forced_.forced_segment[k], a,
                                     stored_money<Money>(cost));
  }
  funds_ = stored_money<Money>(static_cast<double>(funds_) - static_cast<double>(total));
  Money& spent = stats_.spent[year_];
  spent = stored_money<Money>(static_cast<double>(spent) + static_cast<double>(total));
}

template <typename Money>
void BasicProjection<Money>::handle_forced_repairs() {
  // Each entry's year is tested when the pass reaches it: putting off a
  // segment named twice moves the later entry, which may then fall due.
  for (int32_t k = 1; k <= forced_.forced_count; ++k) {
    if (forced_.forced_year[k] != year_ || !forced_entry_takes_part(k)) continue;
    forced_pass_ = true;
    const int32_t i = forced_.forced_segment[k];
    pass_.handled[static_cast<std::size_t>(i)] = 1;
    repair_number_ += 1;
    const int32_t t = choose_and_apply_repair(i);  // puts the entry off if refused
    observer_.segment_done(year_, t, segments_[t], true);
    accumulate_statistics(t);
    forced_pass_ = false;
  }
}

#define PAVECAST_INSTANTIATE(Money)                                \
  template void BasicProjection<Money>::reserve_forced_repairs(); \
  template void BasicProjection<Money>::handle_forced_repairs();
PAVECAST_INSTANTIATE(float)
PAVECAST_INSTANTIATE(double)
#undef PAVECAST_INSTANTIATE

}  // namespace pavecast
