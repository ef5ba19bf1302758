// The funding needed with a confidence: the smallest fixed annual funding,
// to the cent, at which at least C % of the N draws (draws.h) meet every
// target, the same N worlds at every level.
//
// The search starts from the deterministic answer (or, without one, from
// the highest level) and:
//   1. steps away from it, doubling the step (an eighth of the start, at
//      least $1M), until one level meets the confidence and the next lower
//      one tried does not (down to $0, up to the highest level);
//   2. halves the bracket down to the cent;
//   3. runs the level found and the level $0.01M below it on every draw, for
//      the shares reported.
// A level is settled on as few draws as decide it: the undecided draws run
// in fixed batches, in draw order, until enough have met the targets (it
// meets) or too few are left to reach the count (it misses). A draw that
// met at a level at or below this one (and missed at none at or above it)
// is counted as meeting without being run, and one that missed at a level
// at or above it as missing: as the bracket narrows, only the draws whose
// own answers lie inside it are run. The batches do not depend on the
// number of threads, so the same seed gives the same search.
//
// The inference takes each draw's response to funding as monotonic. When
// the full runs of step 3 do not bear the level out (the level misses, or a
// cent below meets), the search is made again settling every level on the
// draws run there alone, and that is said. Any two levels checked are then
// compared on the draws run at both: where fewer of them meet at the higher
// level, the share of draws meeting the targets does not rise with funding
// there, and it is reported.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "scenarios/scenario.h"

namespace pavecast {

// Whether each of `draws` (numbers 1..N) meets the targets at `cents` a year.
using DrawCount =
    std::function<std::vector<bool>(int64_t cents, const std::vector<int32_t>& draws)>;

struct LevelShare {
  int32_t run = 0;  // draws run at the level
  int32_t met = 0;  // draws meeting the targets, run or inferred
  bool meets = false;
  std::vector<int8_t> outcome;  // [d - 1]: 1 draw d run and met, 0 run and missed, -1 not run
};

// Two levels checked where the higher one's share of their common draws is
// the lower: of the first `common` draws, `met_lower` meet at `lower` and
// only `met_higher` at `higher`.
struct ShareFall {
  int64_t lower = 0, higher = 0;
  int32_t common = 0, met_lower = 0, met_higher = 0;
};

struct ConfidentFunding {
  int32_t draws = 0;
  int32_t needed = 0;             // ceil(C x N / 100) draws must meet
  std::optional<int64_t> cents;   // none: not even the highest level
  std::optional<LevelShare> at;   // the level found, every draw run
  std::optional<LevelShare> below;  // $0.01M below it (none at $0)
  std::map<int64_t, LevelShare> checked;  // every level the search checked
  std::optional<ShareFall> falls;  // the largest fall found, if any
  bool inferred_wrongly = false;    // the search was made again without inference
  int64_t projections = 0;
};

// What the commands report: the search, the draw-0 runs of the level found
// and of a cent below it with their bands, and the deterministic answer.
struct ConfidentAnswer {
  int32_t confidence = 50;
  ConfidentFunding found;
  std::vector<ScenarioRun> runs;         // the level found, then a cent below
  std::optional<int64_t> deterministic;  // the deterministic answer, if any
};

ConfidentFunding find_confident_funding(const DrawCount& count, int32_t draws,
                                        int32_t confidence, std::optional<int64_t> start,
                                        int64_t top, int32_t batch);

}  // namespace pavecast
