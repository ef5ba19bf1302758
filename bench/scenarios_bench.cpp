// Benchmarks of the scenario tool on the bundled example network (800
// segments) projected 20 years, on every core, from the command line in:
//
// Scenarios/Sweep100: a sweep of 100 funding levels ($0 to $49.50M by $0.50M),
//   loading included; the target is under 1 s.
// Scenarios/Needs: the funding needed for 45 percent poor; under 1 s.
// Scenarios/OneProjection: one projection of the loaded base, for scale.
// Scenarios/Needs100k: `needs --max-poor 30 --years 30` on a network of
//   100,000 segments (each group's lines of NET1 repeated 125 times; the
//   example's random.dat repeated so that the randomised scores have a
//   number each), on both cores, loading included; the target is under 5 s.
//   A second counter reports one projection of that network on one core.
// Scenarios/NeedsDraws: `needs --max-poor 30 --from-year 2028 --draws 200
//   --confidence 90` on the example over its 10 years, both cores, loading
//   included; the target is under 10 s.
// Scenarios/NeedsDraws100k: the same over 30 years (--from-year 2030) on the
//   100,000-segment network of Needs100k; targets under 5 minutes and 2 GB
//   of peak memory (peak_rss_mb, the benchmark process's). Counters: one
//   deterministic projection and one drawn projection on one core, each per
//   segment-year (ns).
// Scenarios/ExactMoney: one 10-year projection of 50,000 segments at
//   $2,500M a year and one of 1,000,000 segments at $60,000M (each group of
//   NET1 repeated); the counters are the most a year spent beyond its money
//   (its level and what earlier years left), which must not be above 0, and
//   the highest spent of a year.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "scenarios/scenario.h"
#include "scenarios/scenarios_tool.h"

namespace pavecast {
namespace {

// A scratch copy of the example's working directory, removed at the end.
struct ExampleCopy {
  std::filesystem::path path;

  // With `repeat` > 1, roads/NET1 holds each group's segment lines `repeat`
  // times over and data/random.dat enough numbers for every segment.
  explicit ExampleCopy(int repeat = 1) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "pavecast-scenarios-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path = pattern;
    const std::filesystem::path example = std::filesystem::path(PAVECAST_SOURCE_DIR) / "example";
    for (const char* sub : {"data", "roads"})
      std::filesystem::copy(example / sub, path / sub, std::filesystem::copy_options::recursive);
    if (repeat > 1) enlarge(repeat);
  }

  void enlarge(int repeat) {
    std::vector<std::string> lines;
    {
      std::ifstream in(path / "roads" / "NET1");
      for (std::string line; std::getline(in, line);) lines.push_back(line);
    }
    // Two heading lines, then groups: a pavement type line, segment lines
    // and a blank line that ends the group.
    std::ofstream out(path / "roads" / "NET1", std::ios::binary | std::ios::trunc);
    out << lines[0] << '\n' << lines[1] << '\n';
    std::size_t k = 2;
    int segments = 0;
    while (k < lines.size()) {
      out << lines[k++] << '\n';
      const std::size_t first = k;
      while (k < lines.size() && lines[k].find_first_not_of(' ') != std::string::npos) ++k;
      for (int r = 0; r < repeat; ++r)
        for (std::size_t j = first; j < k; ++j) out << lines[j] << '\n';
      segments += static_cast<int>(k - first) * repeat;
      if (k < lines.size()) out << lines[k++] << '\n';
    }
    std::string numbers;
    {
      std::ifstream in(path / "data" / "random.dat");
      std::ostringstream s;
      s << in.rdbuf();
      numbers = s.str();
    }
    const auto per_copy = static_cast<int>(std::count(numbers.begin(), numbers.end(), '\n'));
    std::ofstream random(path / "data" / "random.dat", std::ios::binary | std::ios::trunc);
    for (int copied = 0; copied <= segments; copied += per_copy) random << numbers;
  }
  ~ExampleCopy() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
};

void run_command(benchmark::State& state, const std::vector<std::string>& args) {
  ExampleCopy dir;
  for (auto _ : state) {
    std::ostringstream out, err;
    int status = run_scenarios_tool(args, dir.path, out, err, false);
    if (status != 0) state.SkipWithError(err.str().c_str());
    benchmark::DoNotOptimize(out.str().size());
  }
}

void BM_Sweep100(benchmark::State& state) {
  run_command(state, {"sweep", "--from", "0", "--to", "49.5", "--step", "0.5", "--years", "20"});
}
BENCHMARK(BM_Sweep100)->Name("Scenarios/Sweep100")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Needs(benchmark::State& state) {
  run_command(state, {"needs", "--max-poor", "45", "--years", "20"});
}
BENCHMARK(BM_Needs)->Name("Scenarios/Needs")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OneProjection(benchmark::State& state) {
  ExampleCopy dir;
  std::istringstream in;
  std::ostringstream warnings;
  Console console(in, warnings);
  BaseOptions options;
  options.years = 20;
  BaseScenario base = load_base_scenario(dir.path, options, console);
  for (auto _ : state) {
    ScenarioRun run = run_scenario(base, {{BudgetKind::kFixed, 25.0f}, base.order});
    benchmark::DoNotOptimize(run.total_spent);
  }
}
BENCHMARK(BM_OneProjection)->Name("Scenarios/OneProjection")->Unit(benchmark::kMicrosecond);

void BM_Needs100k(benchmark::State& state) {
  ExampleCopy dir(125);
  const std::vector<std::string> args = {"needs", "--max-poor", "30", "--years", "30"};
  for (auto _ : state) {
    std::ostringstream out, err;
    int status = run_scenarios_tool(args, dir.path, out, err, false);
    if (status != 0) state.SkipWithError(err.str().c_str());
    benchmark::DoNotOptimize(out.str().size());
  }
  // One projection of the same network on this thread, for scale.
  std::istringstream in;
  std::ostringstream warnings;
  Console console(in, warnings);
  BaseOptions options;
  options.years = 30;
  BaseScenario base = load_base_scenario(dir.path, options, console);
  const auto start = std::chrono::steady_clock::now();
  ScenarioRun run = run_scenario(base, {{BudgetKind::kFixed, 15000.0f}, base.order});
  benchmark::DoNotOptimize(run.total_spent);
  state.counters["segments"] = base.segments.segment_count;
  state.counters["one_projection_ms"] =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() * 1e3;
}
BENCHMARK(BM_Needs100k)
    ->Name("Scenarios/Needs100k")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

void BM_NeedsDraws(benchmark::State& state) {
  run_command(state, {"needs", "--max-poor", "30", "--from-year", "2028", "--draws", "200",
                      "--confidence", "90"});
}
BENCHMARK(BM_NeedsDraws)
    ->Name("Scenarios/NeedsDraws")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

// One projection of `scenario` on this thread, in nanoseconds per segment-year.
double per_segment_year(const BaseScenario& base, const Scenario& scenario) {
  const auto start = std::chrono::steady_clock::now();
  ScenarioRun run = run_scenario(base, scenario);
  benchmark::DoNotOptimize(run.total_spent);
  const double ns =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() * 1e9;
  return ns / (static_cast<double>(base.segments.segment_count) * base.settings.years);
}

// The base of the network in `dir` over `years` years, with one draw to run.
BaseScenario load_drawn_base(const ExampleCopy& dir, int32_t years) {
  std::istringstream in;
  std::ostringstream warnings;
  Console console(in, warnings);
  BaseOptions options;
  options.years = years;
  BaseScenario base = load_base_scenario(dir.path, options, console);
  base.worlds.count = 1;
  return base;
}

// Counters: one deterministic projection of `base` and one drawn, each in
// nanoseconds per segment-year.
void count_projection_speeds(benchmark::State& state, const BaseScenario& base) {
  state.counters["deterministic_ns"] =
      per_segment_year(base, {{BudgetKind::kFixed, 15000.0f}, base.order, 0});
  state.counters["drawn_ns"] =
      per_segment_year(base, {{BudgetKind::kFixed, 15000.0f}, base.order, 1});
}

void BM_NeedsDraws100k(benchmark::State& state) {
  ExampleCopy dir(125);
  const std::vector<std::string> args = {"needs", "--max-poor", "30", "--from-year", "2030",
                                         "--years", "30", "--draws", "200", "--confidence", "90"};
  for (auto _ : state) {
    std::ostringstream out, err;
    int status = run_scenarios_tool(args, dir.path, out, err, false);
    if (status != 0) state.SkipWithError(err.str().c_str());
    benchmark::DoNotOptimize(out.str().size());
  }
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  count_projection_speeds(state, load_drawn_base(dir, 30));
}
BENCHMARK(BM_NeedsDraws100k)
    ->Name("Scenarios/NeedsDraws100k")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// One projection of the 100,000-segment network over 30 years, deterministic
// and drawn, per segment-year, without the search.
void BM_DrawnProjection100k(benchmark::State& state) {
  ExampleCopy dir(125);
  const BaseScenario base = load_drawn_base(dir, 30);
  for (auto _ : state) count_projection_speeds(state, base);
}
BENCHMARK(BM_DrawnProjection100k)
    ->Name("Scenarios/DrawnProjection100k")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// The most a year of `run` spent beyond its money, and the most it spent.
std::pair<double, double> overspent(const ScenarioRun& run, double level) {
  double carried = 0.0, worst = -1e300, most = 0.0;
  for (std::size_t k = 1; k < run.years.size(); ++k) {
    const double money = carried + level, spent = run.years[k].spent;
    worst = std::max(worst, spent - money);
    most = std::max(most, spent);
    carried = money - spent;
  }
  return {worst, most};
}

void BM_ExactMoney(benchmark::State& state) {
  struct Size {
    int repeat;
    float level;
    const char* name;
  };
  for (auto _ : state) {
    for (const Size& size : {Size{63, 2500.0f, "50k"}, Size{1250, 60000.0f, "1M"}}) {
      ExampleCopy dir(size.repeat);
      std::istringstream in;
      std::ostringstream warnings;
      Console console(in, warnings);
      BaseOptions options;
      options.years = 10;
      BaseScenario base = load_base_scenario(dir.path, options, console);
      const ScenarioRun run = run_scenario(base, {{BudgetKind::kFixed, size.level}, 3});
      const auto [worst, most] = overspent(run, size.level);
      state.counters[std::string("segments_") + size.name] = base.segments.segment_count;
      state.counters[std::string("overspent_") + size.name] = worst;
      state.counters[std::string("most_spent_") + size.name] = most;
    }
  }
}
BENCHMARK(BM_ExactMoney)
    ->Name("Scenarios/ExactMoney")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace
}  // namespace pavecast
