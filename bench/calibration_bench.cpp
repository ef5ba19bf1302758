// Benchmarks of calibrate, from the command line in, loading included, on
// two ratings of a network of 1,000,000 segments (three pavement types,
// scores 3 to 10, a share of segments a point lower in the later rating, one
// in fifty repaved) in a copy of the example's working directory, whose
// saved answers randomise scores (the projections are averaged over ten
// offsets into data/random.dat):
//
// Calibration/OneYear: ratings a year apart; the target is under 10 s.
// Calibration/TwoYears: ratings two years apart (the least-squares fit with
//   its 200 bootstrap samples), for scale.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "scenarios/scenarios_tool.h"

namespace pavecast {
namespace {

constexpr int kSegments = 1000000;

struct Ratings {
  std::filesystem::path path;

  Ratings() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "pavecast-calibration-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path = pattern;
    const std::filesystem::path example = std::filesystem::path(PAVECAST_SOURCE_DIR) / "example";
    for (const char* sub : {"data", "roads"})
      std::filesystem::copy(example / sub, path / sub, std::filesystem::copy_options::recursive);
    write("R1", 2023, 0);
    write("R2", 2024, 1);
    write("R3", 2025, 2);
  }
  ~Ratings() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }

  // Segment i's score in the rating `years` after the first.
  static int score(int i, int years) {
    const int first = 3 + i % 8;
    if (i % 50 == 0 && years > 0) return 10;
    int lost = 0;
    for (int y = 1; y <= years; ++y) lost += (i * 7 + y * 13) % 10 < 3 ? 1 : 0;
    return std::max(first - lost, 1);
  }

  void write(const char* name, int year, int years) {
    std::ofstream out(path / "roads" / name, std::ios::binary | std::ios::trunc);
    out << year << " SHORT\nCalibration bench\n";
    const char* types[] = {"ACC     ", "PCC     ", "COMP    "};
    int i = 0;
    for (int t = 0; t < 3; ++t) {
      out << types[t] << '\n';
      const int end = t == 2 ? kSegments : (t + 1) * kSegments / 3;
      for (; i < end; ++i) {
        const int s = score(i, years);
        out << (s == 10 ? "" : " ") << s << "   1.50\n";
      }
      out << '\n';
    }
  }
};

Ratings& ratings() {
  static Ratings r;
  return r;
}

void calibrate(benchmark::State& state, const char* after) {
  Ratings& r = ratings();
  for (auto _ : state) {
    std::ostringstream out, err;
    const int status =
        run_scenarios_tool({"calibrate", "--before", "R1", "--after", after}, r.path, out, err, false);
    if (status != 0) state.SkipWithError(err.str().c_str());
    benchmark::DoNotOptimize(out.str());
  }
}

void BM_OneYear(benchmark::State& state) {
  calibrate(state, "R2");
}
BENCHMARK(BM_OneYear)->Name("Calibration/OneYear")->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_TwoYears(benchmark::State& state) {
  calibrate(state, "R3");
}
BENCHMARK(BM_TwoYears)->Name("Calibration/TwoYears")->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace pavecast
