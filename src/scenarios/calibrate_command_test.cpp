#include "scenarios/calibrate_command.h"

#include <gtest/gtest.h>

#include "io/record_files.h"
#include "readers/deterioration_rates.h"
#include "support/tool_runs.h"
#include "support/gcc_bugs.h"

// These tests build strings as "literal" + a temporary.
PAVECAST_GCC_BUG_105651_BEGIN

namespace pavecast {
namespace {

using testing::run_tool;
using testing::TempDir;

// 60 ACC segments of score 8 and 40 PCC of score 6; a year later ACC loses
// a point on every third segment, and segments 5 and 7 were repaved to 10.
std::string rating(int year, bool later) {
  std::string text = std::to_string(year) + " SHORT\nTest Network\nACC     \n";
  for (int i = 1; i <= 60; ++i) {
    int score = 8;
    if (later) score = i == 5 || i == 7 ? 10 : i % 3 == 0 ? 7 : 8;
    text += (score == 10 ? "10" : " " + std::to_string(score)) + "   1.50\n";
  }
  text += "\nPCC     \n";
  for (int i = 1; i <= 40; ++i) text += std::string(" 6   2.00\n");
  return text + "\n";
}

struct CalibrateTest : ::testing::Test {
  TempDir dir;
  void SetUp() override {
    testing::copy_example(dir);
    testing::set_line(dir, "data/default2.dat", 14, "N");  // whole scores
    dir.write("roads/Y1", rating(2023, false));
    dir.write("roads/Y2", rating(2024, true));
  }
};

TEST_F(CalibrateTest, WritesTheFittedTableTheIntervalsAndTheTreated) {
  const auto r = run_tool(dir, {"calibrate", "--before", "Y1", "--after=Y2", "--rates-out",
                                "fitted.dat", "--intervals-out", "intervals.csv", "--csv",
                                "treated.csv", "--min-count", "10"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("by segment number: 100 matched"), std::string::npos) << r.out;

  // ACC class 8: 20 of the 58 untreated lost a point.
  auto file = InputFile::open_or_fatal(dir.workdir().local("fitted.dat"), IfMissing::kFail);
  PavementTypes fitted;
  read_deterioration_rates_file(fitted, *file);
  ASSERT_EQ(fitted.pavement_type_count, 3);
  EXPECT_FLOAT_EQ(fitted.det_rate[1][3], 0.34f);
  EXPECT_FLOAT_EQ(fitted.det_rate[2][5], 0.0f);      // PCC class 6 lost nothing
  EXPECT_FLOAT_EQ(fitted.det_rate[1][1], 0.10f);     // ACC class 10: as it was
  EXPECT_EQ(fitted.pavement_type_name[3], Text<8>("COMP"));

  EXPECT_EQ(dir.read("treated.csv"),
            "asset_id,highway,description,before,after\n5,,,8,10\n7,,,8,10\n");
  const std::string intervals = dir.read("intervals.csv");
  EXPECT_EQ(intervals.substr(0, intervals.find('\n')), "type,class,rate,low,high,count");
  EXPECT_NE(intervals.find("\nACC,8,0.34,"), std::string::npos) << intervals;
  EXPECT_NE(intervals.find("\nPCC,6,0.00,"), std::string::npos) << intervals;
}

TEST_F(CalibrateTest, RefusesToWriteOverWhatItReads) {
  const std::string rates = dir.read("data/detrates.dat");
  auto r = run_tool(dir, {"calibrate", "--before", "Y1", "--after", "Y2", "--rates-out",
                          "data/detrates.dat"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--rates-out names data/detrates.dat"), std::string::npos) << r.err;
  EXPECT_EQ(dir.read("data/detrates.dat"), rates);

  dir.write("mine.dat", rates);
  r = run_tool(dir, {"calibrate", "--before", "Y1", "--after", "Y2", "--rates", "mine.dat",
                     "--rates-out", "./mine.dat"});
  EXPECT_EQ(r.status, 2) << r.err;
  r = run_tool(dir, {"calibrate", "--before", "Y1", "--after", "Y2", "--csv", "roads/Y2"});
  EXPECT_EQ(r.status, 2) << r.err;
  r = run_tool(dir, {"calibrate", "--before", "Y1", "--after", "Y2", "--csv", "a.csv",
                     "--intervals-out", "a.csv"});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_FALSE(dir.exists("a.csv"));
}

TEST_F(CalibrateTest, UsageAndRatingErrors) {
  auto r = run_tool(dir, {"calibrate", "--before", "Y1"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("needs --after"), std::string::npos);
  r = run_tool(dir, {"calibrate", "--before", "Y1", "--after", "Y2", "--noise", "1.5"});
  EXPECT_EQ(r.status, 2);
  // The same year twice: no interval.
  r = run_tool(dir, {"calibrate", "--before", "Y1", "--after", "Y1"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("not a later year"), std::string::npos) << r.err;
  // A network with other segments cannot be matched by number.
  dir.write("roads/Y3", "2025 SHORT\nTest Network\nACC     \n 8   1.50\n\n");
  r = run_tool(dir, {"calibrate", "--before", "Y1", "--after", "Y3"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("import both with their asset ids"), std::string::npos) << r.err;
  r = run_tool(dir, {"calibrate", "--before", "Y1", "--after", "missing"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("roads/missing"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace pavecast

PAVECAST_GCC_BUG_105651_END
