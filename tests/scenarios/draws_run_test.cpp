// The scenario tool's draws on a copy of the example: the band collapses to
// the deterministic line when nothing is drawn, the same seed gives the same
// files on one thread or two, bad draw options are usage errors, and a draws
// run stopped by Ctrl-C leaves the files it names as they were.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "support/tool_runs.h"

namespace pavecast {
namespace {

using testing::run_tool;
using testing::TempDir;

std::vector<std::vector<std::string>> csv_lines(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields(1);
    for (char c : line) {
      if (c == ',')
        fields.emplace_back();
      else
        fields.back().push_back(c);
    }
    rows.push_back(fields);
  }
  return rows;
}

// Columns: percent_poor 5, percent_good 7, mean_score 8; bands from 18.
void expect_bands(const std::string& csv, bool collapsed) {
  const auto rows = csv_lines(csv);
  ASSERT_GT(rows.size(), 2u);
  ASSERT_EQ(rows[0].size(), 27u);
  EXPECT_EQ(rows[0][18], "p10_percent_poor");
  EXPECT_EQ(rows[0][26], "p90_mean_score");
  bool any_wide = false;
  for (std::size_t r = 1; r < rows.size(); ++r) {
    ASSERT_EQ(rows[r].size(), 27u) << r;
    for (int f = 0; f < 3; ++f) {
      const std::string& own = rows[r][f == 0 ? 5 : f == 1 ? 7 : 8];
      const std::string& p10 = rows[r][static_cast<std::size_t>(18 + 3 * f)];
      const std::string& p90 = rows[r][static_cast<std::size_t>(20 + 3 * f)];
      if (collapsed) {
        EXPECT_EQ(p10, own) << r;
        EXPECT_EQ(rows[r][static_cast<std::size_t>(19 + 3 * f)], own) << r;
        EXPECT_EQ(p90, own) << r;
      }
      any_wide |= p10 != p90;
    }
  }
  EXPECT_EQ(any_wide, !collapsed);
}

TEST(DrawsRun, NothingDrawnCollapsesTheBandOntoTheDeterministicLine) {
  TempDir dir;
  testing::copy_example(dir);
  testing::set_line(dir, "data/default2.dat", 14, "N");  // scores not randomised
  testing::set_line(dir, "data/default2.dat", 15, "N");  // no random reconstruction
  // Worst first draws no order keys; a spread of 0 keeps every rate.
  auto r = run_tool(dir, {"sweep", "--from", "20", "--to", "60", "--step", "20", "--order", "3",
                          "--draws", "12", "--rate-spread", "0", "--csv", "flat.csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  expect_bands(dir.read("flat.csv"), true);
  // Random order with the same spread draws its keys: the band opens.
  r = run_tool(dir, {"sweep", "--from", "20", "--to", "60", "--step", "20", "--order", "1",
                     "--draws", "12", "--rate-spread", "0", "--csv", "keys.csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  expect_bands(dir.read("keys.csv"), false);
  // Without --draws the CSV keeps its columns.
  r = run_tool(dir, {"sweep", "--from", "20", "--to", "20", "--step", "20", "--csv", "plain.csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(csv_lines(dir.read("plain.csv"))[0].size(), 18u);
}

TEST(DrawsRun, TheSameSeedGivesTheSameFilesOnOneThreadOrTwoAndTheConfidenceCostsMore) {
  TempDir dir;
  testing::copy_example(dir);
  std::vector<std::string> outs;
  for (const char* jobs : {"1", "2"}) {
    const std::string stem = std::string("j") + jobs;
    const auto r = run_tool(dir, {"needs", "--max-poor", "30", "--from-year", "2028", "--draws",
                                  "40", "--confidence", "90", "--jobs", jobs, "--csv",
                                  stem + ".csv", "--svg", stem + ".svg"});
    ASSERT_EQ(r.status, 0) << r.err;
    outs.push_back(r.out);
  }
  EXPECT_EQ(dir.read("j1.csv"), dir.read("j2.csv"));
  EXPECT_EQ(dir.read("j1.svg"), dir.read("j2.svg"));
  EXPECT_NE(dir.read("j1.svg").find("80% band"), std::string::npos);
  // The confidence's level (the second "$...M a year") is above the
  // deterministic one (the first), and the share rose at every level.
  const std::string& out = outs[1];
  const std::size_t first = out.find("M a year.");
  const std::size_t second = out.find("M a year: ");
  ASSERT_NE(second, std::string::npos) << out;
  auto level = [&](std::size_t end) {
    return std::stod(out.substr(out.rfind('$', end) + 1, end - out.rfind('$', end) - 1));
  };
  EXPECT_GT(level(second), level(first)) << out;
  EXPECT_NE(out.find("rose with funding at every level checked"), std::string::npos) << out;
  // A different seed, different draws.
  const auto other = run_tool(dir, {"needs", "--max-poor", "30", "--from-year", "2028",
                                    "--draws", "40", "--seed", "2", "--csv", "s2.csv"});
  ASSERT_EQ(other.status, 0) << other.err;
  EXPECT_NE(dir.read("s2.csv"), dir.read("j1.csv"));
}

TEST(DrawsRun, TheReportPageShowsTheBandSaysWhatItMeansAndMarksBothAnswers) {
  TempDir dir;
  testing::copy_example(dir);
  const auto r = run_tool(dir, {"report", "--html", "page.html", "--from", "40", "--to", "80",
                                "--step", "20", "--max-poor", "30", "--from-year", "2028",
                                "--draws", "20", "--confidence", "80"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string page = dir.read("page.html");
  EXPECT_NE(page.find("Risk: percent poor by year over 20 draws"), std::string::npos);
  EXPECT_NE(page.find("holds the middle 80% of the draws"), std::string::npos);
  EXPECT_NE(page.find("<polygon"), std::string::npos);
  EXPECT_NE(page.find("80% confidence"), std::string::npos);
  EXPECT_NE(page.find(", deterministic"), std::string::npos);
  EXPECT_EQ(page.find("<?xml"), std::string::npos);  // the chart is inline
}

TEST(DrawsRun, BadDrawOptionsAreUsageErrors) {
  TempDir dir;
  testing::copy_example(dir);
  dir.write("iv.csv", "type,class,rate,low,high,count\nGRAVEL,4,0.1,0.05,0.15,9\n");
  const std::vector<std::string> sweep = {"sweep", "--from", "0", "--to", "10", "--step", "5"};
  for (const auto& [extra, says] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"--draws", "100001"}, "--draws takes a whole number from 0 to 100000"},
           {{"--draws", "5", "--rate-spread", "-1"}, "--rate-spread cannot be negative"},
           {{"--seed", "4"}, "--seed goes with --draws"},
           {{"--draws", "5", "--rate-intervals", "iv.csv"}, "no pavement type \"GRAVEL\""},
           {{"--draws", "5", "--rate-intervals", "none.csv"}, "there is no such file"}}) {
    std::vector<std::string> args = sweep;
    args.insert(args.end(), extra.begin(), extra.end());
    const auto r = run_tool(dir, args);
    EXPECT_EQ(r.status, 2) << extra[0];
    EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
  }
  for (const char* c : {"0", "100"}) {
    const auto r = run_tool(dir, {"needs", "--max-poor", "30", "--draws", "5", "--confidence", c});
    EXPECT_EQ(r.status, 2) << c;
    EXPECT_NE(r.err.find("--confidence takes a whole number from 1 to 99"), std::string::npos);
  }
}

// The built tool in `dir`, interrupted with SIGINT after `delay`: the
// earlier CSV and SVG stay as they were (or, when the run ended first, are
// the whole new files), and no temporary file is left.
TEST(DrawsRun, ACtrlCDuringADrawsRunLeavesTheEarlierFilesWhole) {
  TempDir dir;
  testing::copy_example(dir);
  const std::string tool = PAVECAST_BINARY_DIR "/pavecast-scenarios";
  ASSERT_TRUE(std::filesystem::exists(tool));
  for (int delay_ms : {50, 200, 600}) {
    dir.write("out.csv", "earlier\n");
    dir.write("out.svg", "earlier\n");
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      if (::chdir(dir.path().c_str()) != 0) ::_exit(99);
      ::signal(SIGINT, SIG_DFL);
      const char* argv[] = {tool.c_str(), "sweep", "--from", "0", "--to", "100", "--step", "10",
                            "--draws", "400", "--csv", "out.csv", "--svg", "out.svg", nullptr};
      ::execv(tool.c_str(), const_cast<char* const*>(argv));
      ::_exit(98);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
    ::kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    const std::string csv = dir.read("out.csv");
    const std::string svg = dir.read("out.svg");
    if (WIFSIGNALED(status)) {
      EXPECT_EQ(WTERMSIG(status), SIGINT);
      EXPECT_TRUE(csv == "earlier\n" || csv.ends_with("\n")) << delay_ms;
      EXPECT_TRUE(csv == "earlier\n" || csv.starts_with("kind,")) << delay_ms;
      EXPECT_TRUE(svg == "earlier\n" || svg.ends_with("</svg>\n")) << delay_ms;
    } else {
      EXPECT_EQ(WEXITSTATUS(status), 0) << delay_ms;
      EXPECT_TRUE(csv.starts_with("kind,")) << delay_ms;
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      EXPECT_FALSE(entry.path().filename().string().starts_with(".pavecast~"))
          << entry.path() << " after " << delay_ms << " ms";
  }
}

}  // namespace
}  // namespace pavecast
