// Whole runs from an independent model of the program: each folder holds the
// working directory before the run, the console replies, and the expected
// console transcript, exit status and files. Each run is replayed in a fresh
// temporary directory and compared byte for byte, except that the wording of
// file-error stops and of warnings is free (their first words must match).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "app/run_driver.h"
#include "support/test_support.h"

namespace pavecast {
namespace {

namespace fs = std::filesystem;

fs::path runs_dir() {
  if (const char* d = std::getenv("REFERENCE_RUNS_DIR")) return d;
  return fs::path(PAVECAST_SOURCE_DIR) / "tests" / "data" / "reference-runs";
}

std::vector<std::string> run_names() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(runs_dir(), ec))
    if (e.is_directory()) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string slurp(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> v;
  std::string cur;
  for (char c : text) {
    if (c == '\n') {
      v.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) v.push_back(cur);
  return v;
}

// The fixed fatal messages must match exactly; other stops only by their start.
bool loose_fatal(const std::string& line) {
  static const char* const kFixed[] = {
      "An invalid pavement type",  "The maximium number of forced", "You have exceeded the maximum",
      "No match found for action", "No repair for score of 1",      "end of console input"};
  const std::string prefix = " ** Fatal Error: ";
  if (!line.starts_with(prefix)) return false;
  for (const char* f : kFixed)
    if (line.find(f) != std::string::npos) return false;
  return true;
}

// Returns an empty string when the transcripts agree, else the first difference.
std::string compare_console(const std::string& expected, const std::string& actual) {
  auto e = split_lines(expected), a = split_lines(actual);
  for (std::size_t i = 0; i < std::max(e.size(), a.size()); ++i) {
    if (i >= e.size()) return "extra line " + std::to_string(i + 1) + ": [" + a[i] + "]";
    if (i >= a.size()) return "missing line " + std::to_string(i + 1) + ": [" + e[i] + "]";
    if (e[i] == a[i]) continue;
    if (e[i].starts_with(" ** Warning: ")) continue;
    if (loose_fatal(e[i]) && a[i].starts_with(" ** Fatal Error: ")) continue;
    return "line " + std::to_string(i + 1) + "\n  expected [" + e[i] + "]\n  actual   [" + a[i] +
           "]";
  }
  if (expected.ends_with('\n') != actual.ends_with('\n')) return "last line end differs";
  return "";
}

class ReferenceRun : public ::testing::TestWithParam<std::string> {};

TEST_P(ReferenceRun, MatchesTheExpectedTranscriptStatusAndFiles) {
  fs::path run = runs_dir() / GetParam();
  testing::TempDir dir;
  fs::copy(run / "input", dir.path(),
           fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  auto before = testing::files_under(dir.path());

  ProgramOptions options;
  options.workdir = dir.workdir();
  options.start_time = StartTime{2026, 12, 8, 9, 30};
  options.printers.device_prefix = (dir.path() / "no-such-printer" / "lp").string();
  std::istringstream in(slurp(run / "input" / "answers.txt"));
  std::ostringstream out;
  int status = run_program(options, in, out);

  EXPECT_EQ(std::to_string(status), split_lines(slurp(run / "expected" / "status.txt")).at(0));
  std::string diff = compare_console(slurp(run / "expected" / "console.txt"), out.str());
  EXPECT_EQ(diff, "") << "console";

  auto after = testing::files_under(dir.path());
  auto expected = testing::files_under(run / "expected" / "files");
  for (const auto& [name, content] : expected) {
    auto it = after.find(name);
    if (it == after.end()) {
      ADD_FAILURE() << "missing file " << name;
      continue;
    }
    if (it->second != content) {
      std::string d = compare_console(content, it->second);
      ADD_FAILURE() << "file " << name << " differs: " << (d.empty() ? "(bytes)" : d);
    }
  }
  for (const auto& [name, content] : after) {
    if (expected.count(name)) continue;
    auto it = before.find(name);
    if (it == before.end())
      ADD_FAILURE() << "unexpected new file " << name;
    else if (it->second != content)
      ADD_FAILURE() << "unexpected change to " << name;
  }
  std::set<std::string> deleted;
  for (const auto& l : split_lines(slurp(run / "expected" / "deleted.txt"))) deleted.insert(l);
  for (const auto& [name, content] : before) {
    if (after.count(name) == 0 && deleted.count(name) == 0)
      ADD_FAILURE() << "file deleted: " << name;
  }
  for (const std::string& name : deleted)
    if (after.count(name) != 0) ADD_FAILURE() << "file not deleted: " << name;
}

INSTANTIATE_TEST_SUITE_P(All, ReferenceRun, ::testing::ValuesIn(run_names()));

}  // namespace
}  // namespace pavecast
