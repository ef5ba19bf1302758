// Benchmarks of the scenario tool on the bundled example network (800
// segments) projected 20 years, on every core, from the command line in:
//
// Scenarios/Sweep100: a sweep of 100 funding levels ($0 to $49.50M by $0.50M),
//   loading included; the target is under 1 s.
// Scenarios/Needs: the funding needed for 45 percent poor; under 1 s.
// Scenarios/OneProjection: one projection of the loaded base, for scale.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "scenarios/scenario.h"
#include "scenarios/scenarios_tool.h"

namespace pavecast {
namespace {

// A scratch copy of the example's working directory, removed at the end.
struct ExampleCopy {
  std::filesystem::path path;

  ExampleCopy() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "pavecast-scenarios-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path = pattern;
    const std::filesystem::path example = std::filesystem::path(PAVECAST_SOURCE_DIR) / "example";
    for (const char* sub : {"data", "roads"})
      std::filesystem::copy(example / sub, path / sub, std::filesystem::copy_options::recursive);
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

}  // namespace
}  // namespace pavecast
