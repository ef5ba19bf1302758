#include "scenarios/funding_search.h"

#include <algorithm>
#include <cmath>

namespace pavecast {

namespace {

Scenario fixed_level(int64_t cents, int32_t repair_order) {
  return {fixed_budget(cents), repair_order};
}

// Tries `levels` not tried yet and records the outcomes.
void try_levels(const LevelTest& test, std::vector<int64_t> levels, LevelSearch& search) {
  std::erase_if(levels, [&](int64_t c) { return search.tried.contains(c); });
  if (levels.empty()) return;
  std::vector<bool> met = test(levels);
  for (std::size_t i = 0; i < levels.size(); ++i) search.tried[levels[i]] = met[i];
}

}  // namespace

LevelSearch search_levels(const LevelTest& test, int64_t top, int grid, int width) {
  LevelSearch search;
  grid = std::max(grid, 2);
  width = std::max(width, 1);

  std::vector<int64_t> levels;
  for (int i = 0; i < grid; ++i) levels.push_back(top * i / (grid - 1));
  levels.erase(std::unique(levels.begin(), levels.end()), levels.end());
  try_levels(test, levels, search);

  // The lowest grid level that meets the target, and the grid level below it.
  auto first_met =
      std::find_if(levels.begin(), levels.end(), [&](int64_t c) { return search.tried.at(c); });
  if (first_met == levels.end()) return search;
  int64_t hi = *first_met;
  if (first_met == levels.begin()) {
    search.found = hi;
    return search;
  }
  int64_t lo = *(first_met - 1);

  // lo misses the target and hi meets it: narrow the step between them.
  while (hi - lo > 1) {
    std::vector<int64_t> points;
    for (int j = 1; j <= width; ++j) {
      int64_t c = lo + (hi - lo) * j / (width + 1);
      if (c > lo && c < hi && (points.empty() || points.back() != c)) points.push_back(c);
    }
    if (points.empty()) points.push_back(lo + (hi - lo) / 2);
    try_levels(test, points, search);
    int64_t new_lo = lo;
    int64_t new_hi = hi;
    for (int64_t c : points) {
      if (search.tried.at(c)) {
        new_hi = c;
        break;
      }
      new_lo = c;
    }
    lo = new_lo;
    hi = new_hi;
  }
  search.found = hi;
  return search;
}

std::optional<int64_t> missed_above(const LevelSearch& search, int64_t found) {
  std::optional<int64_t> missed;
  for (const auto& [cents, met] : search.tried)
    if (cents > found && !met) missed = cents;
  return missed;
}

bool meets_targets(const ScenarioRun& run, const Targets& targets) {
  for (std::size_t y = 1; y < run.years.size(); ++y) {
    const YearFigures& f = run.years[y];
    if (targets.from_year && f.calendar_year < *targets.from_year) continue;
    if (targets.max_poor && static_cast<double>(f.pct_poor) > *targets.max_poor) return false;
    if (targets.min_mean && static_cast<double>(f.mean_score) < *targets.min_mean) return false;
    if (targets.min_good && static_cast<double>(f.pct_good) < *targets.min_good) return false;
  }
  return true;
}

FundingNeeded find_funding_needed(const ScenarioBatch& runs, int32_t repair_order,
                                  const Targets& targets, int width) {
  FundingNeeded needed;
  needed.unlimited = runs({fixed_level(kUnlimitedCents, repair_order)}).front();
  needed.projections = 1;
  if (!meets_targets(needed.unlimited, targets)) return needed;

  LevelTest test = [&](const std::vector<int64_t>& cents) {
    std::vector<Scenario> batch;
    for (int64_t c : cents) {
      batch.push_back(fixed_level(c, repair_order));
      batch.back().figures_only = true;  // the checks below are run whole
    }
    std::vector<ScenarioRun> done = runs(batch);
    needed.projections += static_cast<int>(done.size());
    std::vector<bool> met;
    for (const ScenarioRun& r : done) met.push_back(meets_targets(r, targets));
    return met;
  };

  // Money beyond the most that unlimited funding spends in a year is never
  // spent, so that level repairs as unlimited money does.
  double most_spent = 0.0;
  for (const YearFigures& y : needed.unlimited.years) most_spent = std::max(most_spent, y.spent);
  int64_t top = static_cast<int64_t>(std::ceil(most_spent * 100.0)) + 1;
  top = std::min(top, kUnlimitedCents);

  LevelSearch search = search_levels(test, top, 8 * width, width);
  if (!search.found) search = search_levels(test, kUnlimitedCents, 8 * width, width);
  if (!search.found) return needed;  // only a response that changes between runs gets here

  needed.cents = *search.found;
  std::vector<Scenario> checks = {fixed_level(needed.cents, repair_order)};
  if (needed.cents > 0) checks.push_back(fixed_level(needed.cents - 1, repair_order));
  std::vector<ScenarioRun> checked = runs(checks);
  needed.projections += static_cast<int>(checked.size());
  needed.run = checked[0];
  needed.run_meets = meets_targets(checked[0], targets);
  if (checked.size() > 1) {
    needed.below = checked[1];
    needed.below_meets = meets_targets(checked[1], targets);
  }
  needed.missed_above_cents = missed_above(search, needed.cents);
  return needed;
}

}  // namespace pavecast
