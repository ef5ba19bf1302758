// Many projections at once: one projection per thread, each on its own copy
// of the base scenario's inputs and tables (its own segment table,
// statistics and random.dat reader), the base itself only read. Results come back in the order of
// the scenarios, whatever the order in which the threads finish them.
//
// A fatal stop in any projection stops the remaining ones from starting and
// is raised again, once all threads have ended, as the stop of the first
// failing scenario in list order. A thread the system refuses
// (std::system_error) or memory running out (std::bad_alloc) is raised the
// same way, never left to end the process.
#pragma once

#include <functional>
#include <vector>

#include "scenarios/scenario.h"

namespace pavecast {

struct RunnerOptions {
  // Threads; 0: one per core, but no more than keeps the projections' copies
  // of the segment table within half a gigabyte.
  int jobs = 0;
  GroupBy by = GroupBy::kNone;  // the breakdown each projection gathers
  // Called on the calling thread only, with the projections done so far and
  // the total, after each projection the calling thread finishes and at the
  // end.
  std::function<void(std::size_t done, std::size_t total)> progress;
};

std::vector<ScenarioRun> run_scenarios(const BaseScenario& base, const std::vector<Scenario>& list,
                                       const RunnerOptions& options);

// The bands of a scenario's draws (draws.h), by year: each year's
// percentiles of percent poor, percent good and mean score over `draws`.
std::vector<YearBand> bands_of(const std::vector<ScenarioRun>& draws);

// Each scenario of `list` (draw 0) with base.worlds.count draws of it, in
// batches of `batch` scenarios' draws through `runs`: the draw-0 runs in list
// order, each with the bands of its draws (none when there are no draws).
std::vector<ScenarioRun> run_drawn(
    const BaseScenario& base, const std::vector<Scenario>& list,
    const std::function<std::vector<ScenarioRun>(const std::vector<Scenario>&)>& runs);

// The number of threads `jobs` asks for (0: the machine's cores, at least 1).
int thread_count(int jobs);

}  // namespace pavecast
