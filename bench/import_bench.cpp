// Import/1M: `pavecast-scenarios import` of a ratings table of 1,000,000
// rows (about 60 MB: id, street, from, to, miles, width in feet, surface,
// ward, rating; one row in 50 unrated, one in 20 with a quoted street name
// holding a comma), run by the built tool in a child process started through
// /usr/bin/time, which reports the child's peak resident memory; cpu_s is
// the tool's processor time (user and system), the wall time's floor on a
// busy machine. The targets: under 10 s and under 1 GB.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr int kRows = 1'000'000;

struct TableDir {
  fs::path root;
  TableDir() {
    std::string pattern = (fs::temp_directory_path() / "pavecast-import-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    root = pattern;
    fs::copy(fs::path(PAVECAST_SOURCE_DIR) / "example" / "data", root / "data",
             fs::copy_options::recursive);
    fs::create_directories(root / "roads");
    std::ofstream out(root / "table.csv", std::ios::binary);
    out << "block_id,street,from_street,to_street,length_mi,width_ft,surface,ward,rating\n";
    const char* surfaces[] = {"Asphalt", "Asphalt", "Concrete", "Composite"};
    char line[256];
    for (int k = 0; k < kRows; ++k) {
      const char* street = k % 20 == 7 ? "\"Main St, North\"" : "Maple Ave";
      const int rating = k % 50 == 3 ? 0 : 1 + (k * 7) % 10;
      std::snprintf(line, sizeof line, "B%07d,%s,%d%s St,%d%s St,0.%03d,%d,%s,%d,%d\n", k, street,
                    k % 97, "th", k % 97 + 1, "th", 40 + k % 90, 20 + k % 30, surfaces[k % 4],
                    1 + k % 12, rating);
      out << line;
    }
  }
  ~TableDir() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
};

std::string slurp(const fs::path& path) {
  std::ifstream in(path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void BM_Import1M(benchmark::State& state) {
  TableDir dir;
  const std::string bin = std::string(PAVECAST_BINARY_DIR) + "/pavecast-scenarios";
  const fs::path report = dir.root / "peak.txt";
  long peak_kib = 0;
  double cpu_s = 0.0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
      std::FILE* out = std::freopen("/dev/null", "w", stdout);
      if (out == nullptr || ::chdir(dir.root.c_str()) != 0) ::_exit(126);
      ::execl("/usr/bin/time", "time", "-f", "%M", "-o", report.c_str(), bin.c_str(), "import",
              "table.csv", "--name", "CITY", "--year", "2025", "--replace", "--id", "block_id",
              "--score", "rating", "--miles", "length_mi", "--width-feet", "width_ft",
              "--type-column", "surface", "--type-map", "Asphalt=ACC,Concrete=PCC,Composite=COMP",
              "--jurisdiction", "ward", "--highway", "street", "--from", "from_street", "--to",
              "to_street", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    int status = 0;
    rusage usage{};  // the child's, with its own waited-for child: the tool
    ::wait4(pid, &status, 0, &usage);
    cpu_s = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("the import failed");
    const std::string peak = slurp(report);
    if (!peak.empty() && peak[0] >= '0' && peak[0] <= '9')
      peak_kib = std::max(peak_kib, std::stol(peak));
  }
  state.counters["peak_rss_MiB"] = static_cast<double>(peak_kib) / 1024.0;
  state.counters["cpu_s"] = cpu_s;
  state.counters["table_MB"] = static_cast<double>(fs::file_size(dir.root / "table.csv")) / 1e6;
}

BENCHMARK(BM_Import1M)
    ->Name("Import/1M")
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

}  // namespace
