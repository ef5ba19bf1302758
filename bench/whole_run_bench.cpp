// Whole runs of the program on the largest network it accepts, from a
// scripted console in a scratch working directory holding the bundled
// example's data files and a generated scores file:
//
// WholeRun/AllFiles: 2,400 segments in the names form, 97 years, random
//   order, $25M a year (so the money runs out and a segment is split every
//   year: 97 splits bring the table to 2,497 of its 2,500 rows), auxiliary
//   files and 10 traced segments. Reports the I/O floor measured beside it
//   and the ratio (target: at most 3).
// WholeRun/NoFiles: the same run without the auxiliary and trace files.
// IoFloor: the bytes of the files the AllFiles run leaves, written through
//   the program's own output files with no computation.
// PeakMemory: the AllFiles run by the built program in a child process; its
//   peak resident memory (target: under 16 MiB).
//
// The scratch directories are under $TMPDIR (/tmp): the floor is the cost of
// writing these bytes to that file system's page cache. Each iteration
// starts without the files of the one before, for the run and the floor
// alike (rewriting files whose pages are still being written back would
// make both wait on the disk).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>

#include "app/run_driver.h"
#include "layout/layout.h"
#include "io/record_files.h"

namespace pavecast {
namespace {

namespace fs = std::filesystem;

constexpr int kSegments = 2400;
constexpr int kTraced = 10;

std::string slurp(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

// The scores file: three groups (the example's pavement types), scores
// spread over 1..10, 0.1 to 4.0 lane-miles, names and descriptions.
std::string scores_file() {
  static const layout::Layout kLine("I2,F7.2,I4,I2,1X,A23,1X,A38");
  std::mt19937 rng(2400);
  std::uniform_int_distribution<int> score(1, 10), miles(10, 400), mcd(1000, 9999), jur(1, 3);
  std::string text = "2025 NAMES\nLargest Network      \n";
  const char* const types[] = {"ACC     ", "PCC     ", "COMP    "};
  const int per_type[] = {1200, 500, 700};
  for (int t = 0; t < 3; ++t) {
    text += std::string(types[t]) + "\n";
    for (int k = 0; k < per_type[t]; ++k) {
      std::string name = "Route " + std::to_string(1 + (k + 17 * t) % 90);
      std::string from = "From mile " + std::to_string(k) + " to mile " + std::to_string(k + 1);
      kLine.write(text, {score(rng), static_cast<float>(miles(rng)) / 100.0f, mcd(rng), jur(rng),
                         name, from});
    }
    text += std::string(76, ' ') + "\n";
  }
  return text;
}

// The replies: the example's defaults but 97 years, random order, the
// scores file BENCH and, with all files, 10 traced segments and the
// auxiliary files.
std::string replies(bool all_files) {
  std::string r = "n\n\n\n\n";  // introduction, secondary data, printout, date
  if (all_files) {
    r += "Y\n10\n";
    for (int t = 0; t < kTraced; ++t) {
      char entry[8];
      std::snprintf(entry, sizeof entry, "%3d\n", 1 + t * 240);
      r += entry;
    }
    r += "\n";  // the pause after the list of trace files
  } else {
    r += "N\n";
  }
  r += "\n97\nY\n25\nY\n1\n\nBENCH\n\n\n\n\n\n\n";  // force-fix .. print
  r += all_files ? "Y\n" : "N\n";
  return r;
}

// A scratch working directory with the example's data and the scores file.
struct Workspace {
  fs::path root;
  std::string answers;

  explicit Workspace(bool all_files) : answers(replies(all_files)) {
    std::string pattern = (fs::temp_directory_path() / "pavecast-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    root = pattern;
    fs::copy(fs::path(PAVECAST_SOURCE_DIR) / "example" / "data", root / "data",
             fs::copy_options::recursive);
    fs::create_directories(root / "roads");
    std::ofstream(root / "roads" / "BENCH", std::ios::binary) << scores_file();
    std::ofstream(root / "answers.txt", std::ios::binary) << answers;
  }
  ~Workspace() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }

  // The files a run made or changed, by name.
  std::map<std::string, std::string> outputs() const {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(root))
      if (e.is_regular_file() && e.path().filename() != "answers.txt")
        files[e.path().filename().string()] = slurp(e.path());
    files["data/default.dat"] = slurp(root / "data" / "default.dat");
    files["data/default2.dat"] = slurp(root / "data" / "default2.dat");
    return files;
  }

  // Removes what a run left, so the next run starts alike.
  void clear_outputs() const {
    for (const auto& e : fs::directory_iterator(root))
      if (e.is_regular_file() && e.path().filename() != "answers.txt") fs::remove(e.path());
  }

  int run() const {
    ProgramOptions options;
    options.workdir = Workdir{root};
    options.start_time = StartTime{2026, 12, 8, 9, 30};
    std::istringstream in(answers);
    std::ostringstream out;
    return run_program(options, in, out);
  }
};

// Removes the files write_floor() wrote, so that it writes them afresh as
// the run does after Workspace::clear_outputs().
void clear_floor(const fs::path& root, const std::map<std::string, std::string>& files) {
  for (const auto& [name, bytes] : files) fs::remove(root / name);
}

// Writes the files' bytes as the program writes them: through OutputFile,
// in its buffer-sized pieces, each replaced atomically.
void write_floor(const fs::path& root, const std::map<std::string, std::string>& files) {
  constexpr std::size_t kPiece = 1 << 16;
  Workdir dir{root};
  for (const auto& [name, bytes] : files) {
    FilePath path = name.starts_with("data/") ? dir.data(name.substr(5)) : dir.local(name);
    auto file = OutputFile::create_replacement(path);
    for (std::size_t at = 0; at < bytes.size(); at += kPiece)
      file->write(std::string_view(bytes).substr(at, kPiece));
    file->close();
  }
}

double seconds_of(const std::function<void()>& f) {
  auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::size_t total_bytes(const std::map<std::string, std::string>& files) {
  std::size_t n = 0;
  for (const auto& [name, bytes] : files) n += bytes.size();
  return n;
}

void BM_WholeRun(benchmark::State& state, bool all_files) {
  Workspace ws(all_files);
  if (ws.run() != 0) state.SkipWithError("the run stopped");
  const auto files = ws.outputs();
  fs::path floor_dir = ws.root / "floor";
  fs::create_directories(floor_dir / "data");
  double run_time = 0.0, floor_time = 0.0;
  for (auto _ : state) {
    state.PauseTiming();
    ws.clear_outputs();
    state.ResumeTiming();
    double t = seconds_of([&] { benchmark::DoNotOptimize(ws.run()); });
    state.PauseTiming();
    run_time += t;
    clear_floor(floor_dir, files);
    floor_time += seconds_of([&] { write_floor(floor_dir, files); });
    state.ResumeTiming();
  }
  state.counters["output_MB"] = static_cast<double>(total_bytes(files)) / 1e6;
  state.counters["io_floor_ms"] = floor_time * 1e3 / static_cast<double>(state.iterations());
  state.counters["floor_ratio"] = run_time / floor_time;
}

void BM_IoFloor(benchmark::State& state) {
  Workspace ws(true);
  if (ws.run() != 0) state.SkipWithError("the run stopped");
  const auto files = ws.outputs();
  fs::path floor_dir = ws.root / "floor";
  fs::create_directories(floor_dir / "data");
  for (auto _ : state) {
    state.PauseTiming();
    clear_floor(floor_dir, files);
    state.ResumeTiming();
    write_floor(floor_dir, files);
  }
  state.counters["output_MB"] = static_cast<double>(total_bytes(files)) / 1e6;
}

// The program's peak resident memory. A child forked from this process
// counts the pages it shares with it until exec, so the program is started
// by /usr/bin/time, a small process, which reports the peak of its own
// child; without it the figure is only an upper bound.
void BM_PeakMemory(benchmark::State& state) {
  Workspace ws(true);
  const std::string bin = std::string(PAVECAST_BINARY_DIR) + "/pavecast";
  const bool timed = ::access("/usr/bin/time", X_OK) == 0;
  const fs::path report = ws.root / "peak.txt";
  long peak_kib = 0;
  for (auto _ : state) {
    ws.clear_outputs();
    pid_t pid = ::fork();
    if (pid == 0) {
      std::FILE* in = std::freopen((ws.root / "answers.txt").c_str(), "r", stdin);
      std::FILE* out = std::freopen("/dev/null", "w", stdout);
      if (in == nullptr || out == nullptr || ::chdir(ws.root.c_str()) != 0) ::_exit(126);
      if (timed)
        ::execl("/usr/bin/time", "time", "-f", "%M", "-o", report.c_str(), bin.c_str(),
                static_cast<char*>(nullptr));
      else
        ::execl(bin.c_str(), bin.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("the program failed");
    long kib = usage.ru_maxrss;
    if (timed) kib = std::stol(slurp(report));
    peak_kib = std::max(peak_kib, kib);
  }
  state.counters["peak_rss_MiB"] = static_cast<double>(peak_kib) / 1024.0;
  state.counters["exact"] = timed ? 1 : 0;
}

BENCHMARK(BM_PeakMemory)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_WholeRun, AllFiles, true)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_WholeRun, NoFiles, false)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_IoFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace pavecast
