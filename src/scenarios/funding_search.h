// The funding needed: the smallest fixed annual funding, to the cent
// ($0.01M), whose projection meets every target (percent poor at most,
// mean score at least, percent good at least) in every year from a calendar
// year to the last. The loaded year never counts: no money can change it.
// The figures are compared unrounded, as the report computes them before
// rounding them for its columns.
//
// More money can reorder repairs (a split falls elsewhere, a repetition
// limit is reached sooner), so the response need not be monotonic, and a
// bisection alone would hide that. The search therefore:
//   1. runs unlimited funding ($99,999.9M a year, the program's own
//      unlimited amount, on the same repair order); if even that misses the
//      target, there is no answer;
//   2. takes as its upper end the largest yearly spending of that run (no
//      more can be spent, so that level repairs exactly as unlimited money
//      does), and tries an even grid of levels from 0 up to it;
//   3. narrows the step between the lowest grid level that meets the target
//      and the grid level below it, trying as many levels per round as there
//      are threads, down to the cent;
//   4. runs the level found and the level $0.01M below it once more, as the
//      check that is reported;
//   5. reports the response as not monotonic when any level tried above the
//      level found misses the target.
// The level found is the lowest level tried that meets the target; when the
// response is not monotonic a level below it that was not tried may meet it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "scenarios/scenario.h"

namespace pavecast {

inline constexpr int64_t kUnlimitedCents = 9999990;  // $99,999.90M

// Whether each of a batch of levels (in cents) meets the target.
using LevelTest = std::function<std::vector<bool>(const std::vector<int64_t>& cents)>;

struct LevelSearch {
  std::optional<int64_t> found;   // the lowest level tried that meets the target
  std::map<int64_t, bool> tried;  // every level tried and whether it met the target
};

// Steps 2 and 3 over `test`, given that `top` meets the target (checked
// again as part of the grid). `grid` levels are tried first, then `width`
// per round. No answer when no level up to `top` meets the target.
LevelSearch search_levels(const LevelTest& test, int64_t top, int grid, int width);

// Step 5: the highest level tried above `found` that missed the target, if any.
std::optional<int64_t> missed_above(const LevelSearch& search, int64_t found);

// What the funding must buy. Any of the three, all must hold; from
// `from_year` (default: the first simulated year) to the last year.
struct Targets {
  std::optional<double> max_poor;  // percent
  std::optional<double> min_mean;  // score
  std::optional<double> min_good;  // percent
  std::optional<int32_t> from_year;

  bool any() const { return max_poor || min_mean || min_good; }
};

// Whether every simulated year of `run` from the targets' year on meets them.
bool meets_targets(const ScenarioRun& run, const Targets& targets);

struct FundingNeeded {
  ScenarioRun unlimited;             // step 1
  std::optional<ScenarioRun> run;    // at the level found; none: no answer
  std::optional<ScenarioRun> below;  // at the level $0.01M lower (none at 0)
  int64_t cents = 0;                 // the level found
  bool run_meets = false;            // the check of step 4
  bool below_meets = false;
  std::optional<int64_t> missed_above_cents;  // step 5
  int projections = 0;                        // every projection run, checks included
};

// The whole search under `repair_order`, the projections run by `runs` (a
// batch at a time, `width` levels per round after a grid of 8 x `width`).
using ScenarioBatch = std::function<std::vector<ScenarioRun>(const std::vector<Scenario>&)>;
FundingNeeded find_funding_needed(const ScenarioBatch& runs, int32_t repair_order,
                                  const Targets& targets, int width);

}  // namespace pavecast
