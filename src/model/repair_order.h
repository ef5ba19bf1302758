// The repair orders: how the year's pass takes the segments. The dialogue
// reads the order as a number (1..4) and keeps it as the analyst's answer;
// everything that acts on it asks these questions of it. The fifth, by cost
// effectiveness, is the scenario tool's alone.
#pragma once

#include <array>
#include <cstdint>

namespace pavecast {

enum class RepairOrder : int32_t {
  kRandom = 1,      // keys drawn from data\random.dat each year
  kPriority = 2,    // drawn keys divided by the priority of the segment's class
  kWorstFirst = 3,  // keys are scores, least first
  kBestFirst = 4,   // keys are scores, greatest first
  // Keys are minus the benefit per dollar of the matrix's action, computed
  // each year; least (the most benefit per dollar) first.
  kCostEffectiveness = 5,
};

// The order an answer names; an answer outside 1..5 is taken as random order
// (the dialogue never leaves one, nor 5).
inline RepairOrder repair_order_of(int32_t answer) {
  return answer >= 1 && answer <= 5 ? static_cast<RepairOrder>(answer) : RepairOrder::kRandom;
}

// Random and priority order draw every segment's key at the start of a year.
inline bool draws_order_keys(RepairOrder order) {
  return order == RepairOrder::kRandom || order == RepairOrder::kPriority;
}

// Keys follow the score after each repair and deterioration under priority,
// worst-first and best-first order; random keys stay as drawn, and
// cost-effectiveness keys as computed for the year.
inline bool keys_follow_score(RepairOrder order) {
  return order == RepairOrder::kPriority || order == RepairOrder::kWorstFirst ||
         order == RepairOrder::kBestFirst;
}

// The order's name in the report's title.
inline const char* repair_order_name(RepairOrder order) {
  static constexpr std::array<const char*, 6> kNames = {
      "", "Random Order", "  Priority  ", "Worst  First", " Best  First", "Cost-Effect."};
  return kNames[static_cast<int32_t>(order)];
}

}  // namespace pavecast
