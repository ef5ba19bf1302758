// The model's parameter tables, read from the parameter files and the
// dialogue: repair actions, pavement types with their deterioration rates,
// the policy matrices, the priorities, the money by year, the reconstruction
// numbers and the traffic increases. Plain data indexed from 1 like every
// table of the run (index 0 unused).
#pragma once

#include <array>
#include <cstdint>

#include "layout/text.h"

namespace pavecast {

inline constexpr int kMaxActions = 11;
inline constexpr int kMaxPavementTypes = 5;
inline constexpr int kClasses = 10;
inline constexpr int kReconNumbers = 500;

// Per-year tables: index 1 is the loaded year (first_year), index y calendar
// year first_year + y - 1; indices 1..99.
inline constexpr int kMaxYearSlots = 99;
inline constexpr int kMaxYears = 97;  // the traffic table holds years 1..98

template <typename T>
using PerYear = std::array<T, kMaxYearSlots + 1>;

// One repair action, a record of the repair actions file.
struct RepairAction {
  int32_t action_rank = 0;    // place in the order of greatness; 9 is exempt from the limit
  int32_t action_number = 0;  // the number the policy matrices use
  int32_t max_repeats = 0;    // 1000 where the file gave 9
  Text<29> action_description;
  float score_gain = 0.0f;
  float action_cost = 0.0f;       // millions of dollars per 2 lane-miles
  int32_t new_pavement_type = 0;  // 0: unchanged
};

struct RepairActions {
  int32_t action_count = 0;
  std::array<RepairAction, kMaxActions + 1> action{};  // 1..action_count in file order

  RepairAction& operator[](int a) { return action[a]; }
  const RepairAction& operator[](int a) const { return action[a]; }
  // The first action 1..action_count carrying `number`, or 0.
  int find(int32_t number) const {
    for (int a = 1; a <= action_count; ++a)
      if (action[a].action_number == number) return a;
    return 0;
  }
};

// Pavement types and their deterioration rates. det_rate[p][k] applies to a
// segment of type p whose class is 11 - k (column 1 is class 10).
struct PavementTypes {
  int32_t pavement_type_count = 0;
  std::array<Text<8>, kMaxPavementTypes + 1> pavement_type_name{};
  std::array<std::array<float, kClasses + 1>, kMaxPavementTypes + 1> det_rate{};

  // The first type 1..pavement_type_count named exactly `name`, or 0.
  int find(const Text<8>& name) const {
    for (int p = 1; p <= pavement_type_count; ++p)
      if (pavement_type_name[p] == name) return p;
    return 0;
  }
};

// policy[p][c]: the action number for pavement type p in class c; 0 = none.
using PolicyMatrix = std::array<std::array<int32_t, kClasses + 1>, kMaxPavementTypes + 1>;

// The priority of classes 1..10 under priority order (classes 9 and 10: 1000).
using Priorities = std::array<int32_t, kClasses + 1>;
inline constexpr int32_t kTopClassPriority = 1000;

struct ParameterTables {
  PerYear<float> funding{};  // millions of dollars available in each year
  Priorities priority{};
  RepairActions actions;
  PavementTypes pavement;
  PolicyMatrix policy{};
  std::array<float, kReconNumbers + 1> recon_random{};  // data\random.dat's first 500
  PerYear<float> vmt_increase{};  // traffic increase of each year, percent / 100
};

}  // namespace pavecast
