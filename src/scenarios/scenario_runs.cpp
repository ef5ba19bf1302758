#include "scenarios/scenario_runs.h"

#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <iterator>
#include <thread>

namespace pavecast {

int thread_count(int jobs) {
  if (jobs > 0) return jobs;
  return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

std::vector<ScenarioRun> run_scenarios(const BaseScenario& base, const std::vector<Scenario>& list,
                                       const RunnerOptions& options) {
  const std::size_t total = list.size();
  std::vector<ScenarioRun> runs(total);
  std::vector<std::exception_ptr> stops(total);
  std::atomic<std::size_t> next{0};
  std::atomic<std::size_t> done{0};
  std::atomic<bool> stopping{false};

  // Each worker takes the next scenario not yet taken; runs[i] and stops[i]
  // are written by the one worker that took i.
  auto work = [&](bool reporting) {
    for (;;) {
      if (stopping.load()) return;
      const std::size_t i = next.fetch_add(1);
      if (i >= total) return;
      try {
        runs[i] = run_scenario(base, list[i], RunDetail{options.by, {}});
      } catch (...) {
        stops[i] = std::current_exception();
        stopping.store(true);
      }
      const std::size_t finished = done.fetch_add(1) + 1;
      if (reporting && options.progress) options.progress(finished, total);
    }
  };

  int threads =
      std::min<int>(thread_count(options.jobs), static_cast<int>(std::max<std::size_t>(total, 1)));
  // Each projection copies the segment table: on its own, the tool keeps
  // the copies of a large network within half a gigabyte.
  if (options.jobs == 0) {
    constexpr std::size_t kCopiesBudget = std::size_t{512} << 20;
    const std::size_t table = base.segments.rows.size() * sizeof(Segment);
    threads = std::min<int>(threads, static_cast<int>(std::max<std::size_t>(
                                         1, kCopiesBudget / std::max<std::size_t>(table, 1))));
  }
  // The helpers take no signal: the calling thread alone handles an
  // interrupt, so that the handler never runs between a temporary file's
  // creation and its registration there. A thread the system refuses stops
  // the batch once the threads started have ended.
  std::vector<std::thread> helpers;
  std::exception_ptr refused;
  {
    sigset_t all, old;
    sigfillset(&all);
    ::pthread_sigmask(SIG_BLOCK, &all, &old);
    try {
      for (int t = 1; t < threads; ++t) helpers.emplace_back(work, false);
    } catch (...) {
      refused = std::current_exception();
      stopping.store(true);
    }
    ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
  }
  if (!refused) work(true);
  for (std::thread& t : helpers) t.join();
  if (refused) std::rethrow_exception(refused);

  for (const std::exception_ptr& stop : stops)
    if (stop) std::rethrow_exception(stop);
  if (options.progress) options.progress(total, total);
  return runs;
}

std::vector<YearBand> bands_of(const std::vector<ScenarioRun>& draws) {
  std::vector<YearBand> bands;
  if (draws.empty()) return bands;
  const std::size_t years = draws.front().years.size();
  std::vector<float> poor(draws.size()), good(draws.size()), mean(draws.size());
  for (std::size_t y = 0; y < years; ++y) {
    for (std::size_t d = 0; d < draws.size(); ++d) {
      poor[d] = draws[d].years[y].pct_poor;
      good[d] = draws[d].years[y].pct_good;
      mean[d] = draws[d].years[y].mean_score;
    }
    bands.push_back({percentiles(poor), percentiles(good), percentiles(mean)});
  }
  return bands;
}

std::vector<ScenarioRun> run_drawn(
    const BaseScenario& base, const std::vector<Scenario>& list,
    const std::function<std::vector<ScenarioRun>(const std::vector<Scenario>&)>& runs) {
  const auto per = static_cast<std::size_t>(base.worlds.count) + 1;
  // A few thousand projections' figures held at a time.
  const std::size_t chunk = std::max<std::size_t>(1, 4096 / per);
  std::vector<ScenarioRun> out;
  for (std::size_t first = 0; first < list.size(); first += chunk) {
    std::vector<Scenario> expanded;
    const std::size_t last = std::min(list.size(), first + chunk);
    for (std::size_t i = first; i < last; ++i)
      for (std::size_t d = 0; d < per; ++d) {
        Scenario s = list[i];
        s.draw = static_cast<int32_t>(d);
        expanded.push_back(s);
      }
    std::vector<ScenarioRun> done = runs(expanded);
    for (std::size_t i = 0; i < last - first; ++i) {
      std::vector<ScenarioRun> draws(std::make_move_iterator(done.begin() + i * per + 1),
                                     std::make_move_iterator(done.begin() + (i + 1) * per));
      ScenarioRun run = std::move(done[i * per]);
      run.bands = bands_of(draws);
      run.draws = base.worlds.count;
      out.push_back(std::move(run));
    }
  }
  return out;
}

}  // namespace pavecast
