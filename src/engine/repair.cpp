#include "engine/repair.h"

#include <cmath>
#include <string>
#include <type_traits>

#include "engine/deterioration.h"
#include "engine/reconstruction.h"
#include "fatal/fatal.h"
#include "layout/layout.h"
#include "model/condition_class.h"

namespace pavecast {

namespace {

bool names_an_action(int32_t a) {
  return a >= 1 && a <= kMaxActions;
}

}  // namespace

template <typename Money>
void BasicProjection<Money>::fatal_no_match(int32_t number, int32_t p, int32_t c,
                                            int32_t i) const {
  static const layout::Layout kNoMatch(
      "/,/,' **  Fatal Error: No match found for action #',I2,' (',I1,I2,2X,')',' yr-',I2,"
      "'  seg # ',I4");
  fatal_text(kNoMatch.format({number, p, c, year_, i}));
}

// Splits off segment i the piece that the money left pays for and returns
// it; `cost` becomes the cost of the piece.
template <typename Money>
int32_t BasicProjection<Money>::split_off(int32_t i, int32_t k, Money& cost) {
  const float action_cost = in_.actions[k].action_cost;
  float m = 0.0f;
  cost = 0;
  // Money below zero (forced repairs reserved beyond the year's money) buys
  // nothing; the piece must not return money to funds.
  if (funds_ >= 0) {
    m = stored((static_cast<double>(funds_) + static_cast<double>(funds_)) /
               static_cast<double>(action_cost));
    cost = stored_money<Money>(static_cast<double>(action_cost) * static_cast<double>(m) / 2.0);
    if constexpr (!std::is_same_v<Money, float>) {
      // The piece's lane-miles are a float, which may round up past what
      // the money pays for: shortened until its cost fits.
      while (m > 0.0f && cost > funds_) {
        m = std::nextafter(m, 0.0f);
        cost = static_cast<Money>(static_cast<double>(action_cost) * static_cast<double>(m) / 2.0);
      }
    }
  }

  SegmentTable& table = segments_;
  const int32_t j = table.add();

  Segment& seg = table[i];
  Segment& piece = table[j];
  piece = Segment{};
  piece.lane_miles = m;
  piece.segment_description = seg.segment_description;
  piece.highway_name = seg.highway_name;
  piece.jurisdiction = seg.jurisdiction;
  piece.mcd = seg.mcd;
  piece.pavement_type = seg.pavement_type;
  piece.score = seg.score;
  piece.original_number = seg.original_number;
  for (int a = 1; a <= in_.actions.action_count; ++a)
    piece.times_applied[a] = seg.times_applied[a];
  piece.last_action = seg.last_action;
  // Under random order the piece has no key until the next draw.
  piece.order_key = keys_follow_score(in_.order) ? piece.score : 0.0f;
  pass_.key.push_back(piece.order_key);
  pass_.handled.push_back(1);

  pass_.handled[static_cast<std::size_t>(i)] = 0;
  split_segment_ = i;
  seg.lane_miles = stored(static_cast<double>(seg.lane_miles) - static_cast<double>(m));
  return j;
}

template <typename Money>
int32_t BasicProjection<Money>::repair_by_matrix(int32_t i, int32_t c) {
  Segment& seg = segments_[i];
  const int32_t p = seg.pavement_type;
  int32_t k = matrix_action_[p][c];
  if (k == 0) fatal_no_match(in_.policy[p][c], p, c, i);
  seg.chosen_rank[k] = in_.actions[k].action_rank;

  if (!try_random_reconstruction(i, k)) {
    // Repetition policy: an action is applied at most max_repeats times in a
    // row on one segment (rank 9 has no limit); at the limit the segment
    // waits for the matrix to name another action.
    const RepairAction& action = in_.actions[k];
    if (!(seg.times_applied[k] < action.max_repeats || action.action_rank == 9)) {
      if (action.max_repeats > 0) {
        if (seg.last_action != k && names_an_action(seg.last_action))
          seg.times_applied[seg.last_action] = 0;
        seg.last_action = k;
        seg.reset_pending = 1;
      }
      deteriorate(i, c);
      return i;
    }
  }
  return apply_repair(i, k);
}

template <typename Money>
int32_t BasicProjection<Money>::apply_repair(int32_t i, int32_t k) {
  const RepairAction& action = in_.actions[k];
  const int y = year_;
  int32_t t = i;
  Money cost = stored_money<Money>(static_cast<double>(segments_[i].lane_miles) *
                                   static_cast<double>(action.action_cost) / 2.0);

  const bool reserved = reserved_forced_repair();
  if (!reserved) {
    repair_number_ += 1;
    const Money remaining =
        stored_money<Money>(static_cast<double>(funds_) - static_cast<double>(cost));
    if (!(remaining >= 0)) t = split_off(i, k, cost);
  }
  // A forced repair whose cost the reservation put in spent is counted once.
  BasicStatistics<Money>& st = stats_;
  if (!(forced_pass_ && reserves_forced_repairs(in_)))
    st.spent[y] = stored_money<Money>(static_cast<double>(st.spent[y]) + static_cast<double>(cost));
  Segment& target = segments_[t];
  observer_.repair_made({y, repair_number_, t, k, cost, st.spent[y], forced_pass_, t != i},
                        target);

  float new_score =
      stored(static_cast<double>(target.score) + static_cast<double>(action.score_gain));
  if (new_score > 10.0f) new_score = 10.0f;
  // A negative gain in the repair actions file must not take the score
  // below the scale (its class would index before the tables).
  if (new_score < 1.0f) new_score = 1.0f;
  target.score = new_score;
  if (keys_follow_score(in_.order)) set_key(t, new_score);

  st.miles_by_action[k] =
      stored(static_cast<double>(st.miles_by_action[k]) + static_cast<double>(target.lane_miles));
  year_miles_repaired_ =
      stored(static_cast<double>(year_miles_repaired_) + static_cast<double>(target.lane_miles));
  target.repair_count += 1;
  if (action.new_pavement_type > 0) {
    // The rates and matrices hold 5 pavement types; another type would send
    // the segment outside them.
    if (action.new_pavement_type > kMaxPavementTypes)
      fatal("repair action #" + std::to_string(action.action_number) + " gives pavement type " +
            std::to_string(action.new_pavement_type) + ", which has no rates or policy");
    target.pavement_type = action.new_pavement_type;
  }
  st.cost_by_action[k][y] =
      stored_money<Money>(static_cast<double>(st.cost_by_action[k][y]) + static_cast<double>(cost));
  if (!reserved) funds_ = stored_money<Money>(static_cast<double>(funds_) - static_cast<double>(cost));

  // Repetition counts: an action's count grows while the segment keeps
  // receiving it, and the previous action's count starts again from 0 when a
  // higher-ranked action follows it or after it was refused at its limit.
  target.times_applied[k] += 1;
  if (target.repair_count != 1 && names_an_action(target.last_action)) {
    if (target.chosen_rank[k] > target.chosen_rank[target.last_action]) target.reset_pending = 1;
    if (target.reset_pending == 1) {
      target.times_applied[target.last_action] = 0;
      target.reset_pending = 0;
    }
  }
  target.last_action = k;
  return t;
}

#define PAVECAST_INSTANTIATE(Money)                                                           \
  template void BasicProjection<Money>::fatal_no_match(int32_t, int32_t, int32_t, int32_t)  \
      const;                                                                                \
  template int32_t BasicProjection<Money>::split_off(int32_t, int32_t, Money&);             \
  template int32_t BasicProjection<Money>::repair_by_matrix(int32_t, int32_t);              \
  template int32_t BasicProjection<Money>::apply_repair(int32_t, int32_t);
PAVECAST_INSTANTIATE(float)
PAVECAST_INSTANTIATE(double)
#undef PAVECAST_INSTANTIATE

}  // namespace pavecast
