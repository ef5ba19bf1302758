// Benchmarks of the projection engine.
//
// OneYear/*: one simulated year of 2,500 segments (the program's capacity),
// worst first under a budget, with the ordered selection the program uses and
// with the whole-table scan it reproduces; the first should be at least 20
// times faster than the second.
// LargeNetwork: 250,000 segments over 30 years, random order, constrained
// budget, through run_projection; the target is at least 4 times faster than
// the 0.66 s it took before the engine kept its order beside the table.
// NetworkGrowth: the same run on 25,000 and on 250,000 segments, one after
// the other in each iteration (the money scaled with the network); the
// target is a cost growing no faster than n log n, a ratio of at most
// 10 x log(250,000) / log(25,000) = 12.3 (nlogn_ratio).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "app/run_context.h"
#include "app/stages.h"
#include "engine/projection.h"
#include "io/console.h"
#include "support/literal_scan.h"

namespace pavecast {
namespace {

// A scratch working directory with data/random.dat, removed at the end.
struct ScratchDir {
  std::filesystem::path path;

  ScratchDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "pavecast-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path = pattern;
    std::filesystem::create_directories(path / "data");
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> digits(0, 99999);
    std::ofstream random(path / "data" / "random.dat");
    for (int n = 0; n < 5000; ++n) {
      std::string d = std::to_string(digits(rng));
      random << '.' << std::string(5 - d.size(), '0') << d << '\n';
    }
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
};

// A run like the program's bundled example: eight actions from crack seal to
// reconstruction, three pavement types, a matrix by class, rates rising as the
// condition falls, scores spread over 1..10 and lengths of 0.1 to 4 lane-miles.
std::unique_ptr<RunContext> make_run(const ScratchDir& dir, int32_t segments, int32_t years,
                                     int32_t capacity, int32_t order, float funding) {
  auto ctx = std::make_unique<RunContext>(Workdir{dir.path}, capacity);
  ctx->settings.years = years;
  ctx->settings.year_slots = years + 1;
  ctx->settings.budget_constrained = 'Y';
  ctx->settings.repair_order = order;
  ctx->settings.auxiliary_answer = 'N';
  ctx->settings.vmt_answer = 'N';
  ctx->settings.reconstruct_answer = 'N';
  ctx->settings.annual_funding = funding;
  for (int y = 1; y <= kMaxYearSlots; ++y) ctx->tables.funding[y] = funding;

  RepairActions& a = ctx->tables.actions;
  a.action_count = 8;
  a[1] = {1, 10, 2, "Crack seal", 1.0f, 0.02f, 0};
  a[2] = {2, 20, 2, "Chip seal", 1.5f, 0.08f, 0};
  a[3] = {3, 30, 2, "Thin overlay", 2.5f, 0.12f, 0};
  a[4] = {4, 35, 2, "Concrete repair", 2.5f, 0.3f, 0};
  a[5] = {5, 40, 2, "Mill and overlay", 4.0f, 0.35f, 0};
  a[6] = {6, 50, 1, "Structural overlay", 5.5f, 0.6f, 0};
  a[7] = {7, 55, 1, "Rubblize and overlay", 7.0f, 1.2f, 3};
  a[8] = {9, 60, 1000, "Reconstruction", 9.0f, 2.0f, 0};
  const int32_t matrix[kClasses + 1] = {0, 60, 60, 50, 40, 30, 20, 10, 10, 0, 0};
  ctx->tables.pavement.pavement_type_count = 3;
  for (int p = 1; p <= 3; ++p) {
    for (int c = 1; c <= kClasses; ++c) {
      ctx->tables.policy[p][c] = matrix[c];
      ctx->tables.pavement.det_rate[p][11 - c] = 0.15f + 0.05f * static_cast<float>(10 - c);
    }
  }
  ctx->tables.policy[2][4] = 35;

  std::mt19937 rng(42);
  std::uniform_int_distribution<int> score(100, 1000), miles(1, 40), type(1, 3);
  for (int32_t i = 1; i <= segments; ++i) {
    Segment& s = ctx->segments[i];
    s.score = static_cast<float>(score(rng)) / 100.0f;
    s.lane_miles = static_cast<float>(miles(rng)) / 10.0f;
    s.pavement_type = type(rng);
    s.original_number = i;
    s.order_key = static_cast<float>(static_cast<int>(s.score));
    s.last_action = 999;
    ctx->network.total_lane_miles += s.lane_miles;
  }
  ctx->segments.segment_count = segments;
  return ctx;
}

void one_year(benchmark::State& state, SegmentSelection* selection) {
  ScratchDir dir;
  for (auto _ : state) {
    state.PauseTiming();
    auto ctx = make_run(dir, 2500, 1, 2600, 3, 25.0f);  // room for the split
    std::istringstream in;
    std::ostringstream out;
    Console console(in, out);
    state.ResumeTiming();
    run_projection(*ctx, console, selection);
    benchmark::DoNotOptimize(ctx->stats.score_miles[2]);
  }
}

void BM_OneYear2500_Ordered(benchmark::State& state) {
  one_year(state, nullptr);
}
void BM_OneYear2500_LiteralScan(benchmark::State& state) {
  testing::LiteralScan scan;
  one_year(state, &scan);
}
BENCHMARK(BM_OneYear2500_Ordered)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OneYear2500_LiteralScan)->Unit(benchmark::kMicrosecond);

// Seconds of run_projection for `segments` segments over 30 years, random
// order, $2,000M a year for 250,000 segments (the same per segment for others).
double projection_seconds(const ScratchDir& dir, int32_t segments, int32_t* at_end = nullptr) {
  auto ctx = make_run(dir, segments, 30, segments + 100, 1,
                      2000.0f * static_cast<float>(segments) / 250000.0f);
  std::istringstream in;
  std::ostringstream out;
  Console console(in, out);
  const auto start = std::chrono::steady_clock::now();
  run_projection(*ctx, console);
  const auto stop = std::chrono::steady_clock::now();
  benchmark::DoNotOptimize(ctx->stats.score_miles[31]);
  if (at_end != nullptr) *at_end = ctx->segments.segment_count;
  return std::chrono::duration<double>(stop - start).count();
}

void BM_LargeNetwork_250000x30(benchmark::State& state) {
  ScratchDir dir;
  int32_t at_end = 0;
  for (auto _ : state) state.SetIterationTime(projection_seconds(dir, 250000, &at_end));
  state.counters["segments_at_end"] = at_end;
}
BENCHMARK(BM_LargeNetwork_250000x30)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

void BM_NetworkGrowth(benchmark::State& state) {
  ScratchDir dir;
  double small = 0.0, large = 0.0;
  for (auto _ : state) {
    const double s = projection_seconds(dir, 25000);
    const double l = projection_seconds(dir, 250000);
    small += s;
    large += l;
    state.SetIterationTime(s + l);
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["ms_25000"] = small * 1e3 / n;
  state.counters["ms_250000"] = large * 1e3 / n;
  state.counters["ratio"] = large / small;
  state.counters["nlogn_ratio"] = 10.0 * std::log(250000.0) / std::log(25000.0);
}
BENCHMARK(BM_NetworkGrowth)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

}  // namespace
}  // namespace pavecast
