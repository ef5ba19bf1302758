#include "readers/scores.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "fatal/fatal.h"
#include "readers/forced_repair_file.h"
#include "support/test_support.h"

namespace pavecast {
namespace {

using testing::lines;
using testing::make_context;
using testing::ScriptedConsole;
using testing::TempDir;

using testing::fatal_text_of;

// A names-form segment line: I2,F7.2,I4,I2,1X,A23,1X,A38.
std::string names_line(int score, const char* miles, int mcd, int jur, const char* highway,
                       const char* description) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%2d%7s%4d%2d %-23s %-38s", score, miles, mcd, jur, highway,
                description);
  return buf;
}

// `n` short-form lines of score 5 and 1.00 lane-miles.
std::string short_lines(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += " 5   1.00\n";
  return s;
}

// A run context whose rates file named ASPHALT and CONCRETE, with three
// repair actions, ready to load roads/net.
std::unique_ptr<RunContext> loading_context(const TempDir& dir, int32_t capacity = 2500) {
  auto ctx = std::make_unique<RunContext>(dir.workdir(), capacity);
  ctx->tables.pavement.pavement_type_count = 2;
  ctx->tables.pavement.pavement_type_name[1] = "ASPHALT";
  ctx->tables.pavement.pavement_type_name[2] = "CONCRETE";
  ctx->tables.actions.action_count = 3;
  ctx->settings.scores_name = "net";
  ctx->settings.annual_funding = 25.0f;
  ctx->settings.auxiliary_answer = 'N';
  ctx->settings.split_answer = 'N';
  ctx->settings.randomize_answer = 'N';
  ctx->settings.force_fix_answer = 'N';
  ctx->settings.repair_order = 1;
  return ctx;
}

int load(RunContext& ctx, ScriptedConsole& console) {
  return open_and_load_network(ctx, console);
}

TEST(Loading, NamesFormStoresCodesAndTexts) {
  TempDir dir;
  dir.write("roads/net", lines({"1996 NAMES", "City Arterials", "ASPHALT",
                                names_line(10, "0.55", 12, 3, "Old Post Road", "school zone"),
                                names_line(5, "0.86", 4567, 79, "Route 9", "between exits 4 and 5"),
                                names_line(7, "2.00", 0, 0, "I-84", "north of the bridge"), ""}));
  auto ctx = loading_context(dir);
  ScriptedConsole console;
  ASSERT_EQ(load(*ctx, console), 0);
  const SegmentTable& t = ctx->segments;
  EXPECT_EQ(t.segment_count, 3);
  EXPECT_EQ(ctx->network.first_year, 1996);
  EXPECT_EQ(ctx->network.names_format, 1);
  EXPECT_EQ(ctx->network.network_name, "City Arterials       ");
  EXPECT_EQ(t[1].mcd, 12);
  EXPECT_EQ(t[1].jurisdiction, 3);
  EXPECT_EQ(t[2].mcd, 4567);
  EXPECT_EQ(t[2].jurisdiction, 79);
  EXPECT_EQ(t[2].highway_name.trimmed(), "Route 9");
  EXPECT_EQ(t[2].segment_description.trimmed(), "between exits 4 and 5");
  EXPECT_EQ(t[3].highway_name.trimmed(), "I-84");
  EXPECT_EQ(t[1].score, 10.0f);
  EXPECT_EQ(t[1].lane_miles, 0.55f);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(t[i].pavement_type, 1);
    EXPECT_EQ(t[i].original_number, i);
    EXPECT_EQ(t[i].last_action, 999);
  }
  EXPECT_EQ(console.output(), "");
}

TEST(Loading, LowerCaseTagReadsTheShortForm) {
  TempDir dir;
  // Lane-miles without a point take two implied decimals; columns after 9
  // are ignored, letters included.
  dir.write("roads/net",
            lines({"1996 names", "County", "CONCRETE", names_line(4, "1250", 12, 3, "Route 9", "x"),
                   " 6   3.5  anything", ""}));
  auto ctx = loading_context(dir);
  ScriptedConsole console;
  ASSERT_EQ(load(*ctx, console), 0);
  EXPECT_EQ(ctx->network.names_format, 0);
  EXPECT_EQ(ctx->segments.segment_count, 2);
  EXPECT_EQ(ctx->segments[1].lane_miles, 12.5f);
  EXPECT_EQ(ctx->segments[1].mcd, 0);
  EXPECT_TRUE(ctx->segments[1].highway_name.blank());
  EXPECT_EQ(ctx->segments[2].lane_miles, 3.5f);
  EXPECT_EQ(ctx->segments[2].pavement_type, 2);
}

TEST(Loading, ScoreZeroLinesAreSkippedAndCountNothing) {
  TempDir dir;
  dir.write("roads/net",
            lines({"1996", "County", "ASPHALT", " 4   2.00", " 0  12.50", " 8   1.00", ""}));
  auto ctx = loading_context(dir);
  ScriptedConsole console;
  ASSERT_EQ(load(*ctx, console), 0);
  EXPECT_EQ(ctx->segments.segment_count, 2);
  EXPECT_EQ(ctx->segments[2].score, 8.0f);
  EXPECT_EQ(ctx->network.total_lane_miles, 3.0f);
}

TEST(Loading, GroupsInAnyOrderAndNoneBeyondTheTypeCount) {
  TempDir dir;
  // Two types in the rates file: the third group (even with a name the rates
  // file lacks) is never read; a type may have two groups.
  dir.write("roads/net", lines({"2001", "County", "CONCRETE", " 3   1.00", "", "ASPHALT",
                                " 4   1.00", " 5   1.00", "", "GRAVEL", " 6   1.00", ""}));
  auto ctx = loading_context(dir);
  ScriptedConsole console;
  ASSERT_EQ(load(*ctx, console), 0);
  EXPECT_EQ(ctx->segments.segment_count, 3);
  EXPECT_EQ(ctx->segments[1].pavement_type, 2);
  EXPECT_EQ(ctx->segments[2].pavement_type, 1);
  EXPECT_EQ(ctx->segments[3].pavement_type, 1);

  dir.write("roads/net", lines({"2001", "County", "ASPHALT", " 3   1.00", "", "ASPHALT",
                                " 7   1.00", "", "CONCRETE", " 6   1.00", ""}));
  ASSERT_EQ(load(*ctx, console), 0);
  EXPECT_EQ(ctx->segments.segment_count, 2);  // the third group is beyond the count
  EXPECT_EQ(ctx->segments[2].score, 7.0f);
}

TEST(Loading, YearOneStatisticsFromTheFileScore) {
  TempDir dir;
  dir.write("roads/net", lines({"1996", "County", "ASPHALT", " 6   1.00", " 5   2.00", " 7   4.00",
                                "10   8.00", ""}));
  auto ctx = loading_context(dir);
  ctx->settings.repair_order = 3;
  ScriptedConsole console;
  ASSERT_EQ(load(*ctx, console), 0);
  EXPECT_EQ(ctx->stats.fair_poor_miles[1], 3.0f);  // score 6 counts as fair only
  EXPECT_EQ(ctx->stats.poor_miles[1], 2.0f);
  EXPECT_EQ(ctx->stats.score_miles[1], 6.0f + 10.0f + 28.0f + 80.0f);
  EXPECT_EQ(ctx->network.total_lane_miles, 15.0f);
  EXPECT_EQ(ctx->segments[3].order_key, 7.0f);

  // Randomised: a file score 6 drawn down to 5.7 still counts as 6, and a
  // file score 10 drawn above 10 is capped; a negative number gives no less
  // than a file score of 1 can (0.5, class 1).
  dir.write("data/random.dat", lines({"0.2000", "0.5000", "0.0000", "0.9999"}));
  ctx->settings.randomize_answer = 'Y';
  ASSERT_EQ(load(*ctx, console), 0);
  EXPECT_EQ(ctx->segments[1].score, static_cast<float>(5.5 + static_cast<double>(0.2f)));
  EXPECT_EQ(ctx->segments[2].score, 5.0f);
  EXPECT_EQ(ctx->segments[3].score, 6.5f);
  EXPECT_EQ(ctx->segments[4].score, 10.0f);
  EXPECT_EQ(ctx->segments[3].order_key, 7.0f);
  EXPECT_EQ(ctx->stats.fair_poor_miles[1], 3.0f);
  EXPECT_EQ(ctx->stats.poor_miles[1], 2.0f);
  float score_miles = 0.0f;
  for (int i = 1; i <= 4; ++i)
    score_miles = static_cast<float>(static_cast<double>(score_miles) +
                                     static_cast<double>(ctx->segments[i].lane_miles) *
                                         static_cast<double>(ctx->segments[i].score));
  EXPECT_EQ(ctx->stats.score_miles[1], score_miles);
  EXPECT_EQ(ctx->network.total_lane_miles, 15.0f);  // started again from 0

  dir.write("data/random.dat", lines({"-.9000", "-99.99", "5.0000", "-.0001"}));
  ASSERT_EQ(load(*ctx, console), 0);
  EXPECT_EQ(ctx->segments[1].score, static_cast<float>(5.5 - static_cast<double>(0.9f)));
  EXPECT_EQ(ctx->segments[2].score, 0.5f);
  EXPECT_EQ(ctx->segments[3].score, 10.0f);
  EXPECT_EQ(ctx->segments[4].score, static_cast<float>(9.5 - static_cast<double>(0.0001f)));
}

TEST(Loading, SubdivisionMakesNumberedPiecesEachWithItsOwnRandomNumber) {
  TempDir dir;
  dir.write("roads/net", lines({"1996", "County", "ASPHALT", " 3  10.00", " 0   5.00", " 7   2.00",
                                "", "CONCRETE", " 9   3.00", ""}));
  auto ctx = loading_context(dir);
  ctx->settings.split_answer = 'Y';
  ctx->settings.split_factor = 4;
  ScriptedConsole console;
  ASSERT_EQ(load(*ctx, console), 0);
  ASSERT_EQ(ctx->segments.segment_count, 12);
  for (int i = 1; i <= 12; ++i) {
    const Segment& s = ctx->segments[i];
    EXPECT_EQ(s.original_number, i);
    EXPECT_EQ(s.score, i <= 4 ? 3.0f : i <= 8 ? 7.0f : 9.0f) << i;
    EXPECT_EQ(s.lane_miles, i <= 4 ? 2.5f : i <= 8 ? 0.5f : 0.75f) << i;
    EXPECT_EQ(s.pavement_type, i <= 8 ? 1 : 2) << i;
  }
  EXPECT_EQ(ctx->stats.poor_miles[1], 10.0f);
  EXPECT_EQ(ctx->network.total_lane_miles, 15.0f);

  const char* const kRandom[] = {"0.0700", "0.1400", "0.2100", "0.2800", "0.3500", "0.4200",
                                 "0.4900", "0.5600", "0.6300", "0.7000", "0.7700", "0.8400"};
  std::string random;
  for (const char* r : kRandom) random += std::string(r) + "\n";
  dir.write("data/random.dat", random);
  ctx->settings.randomize_answer = 'Y';
  ASSERT_EQ(load(*ctx, console), 0);
  for (int i = 1; i <= 12; ++i) {
    int file_score = i <= 4 ? 3 : i <= 8 ? 7 : 9;
    double r = static_cast<double>(std::stof(kRandom[i - 1]));
    EXPECT_EQ(ctx->segments[i].score, static_cast<float>((file_score - 0.5) + r)) << i;
  }
}

TEST(Loading, SegmentCapacityWithAndWithoutSubdivision) {
  const std::string kTooMany =
      "\n  ** Fatal Error: You have exceeded the maximum number of segments.\n";
  TempDir dir;
  auto ctx = loading_context(dir);
  ScriptedConsole console;
  const std::string head = lines({"1996", "County", "ASPHALT"});

  dir.write("roads/net", head + short_lines(2500) + "\n");
  ASSERT_EQ(load(*ctx, console), 0);
  EXPECT_EQ(ctx->segments.segment_count, 2500);
  dir.write("roads/net", head + short_lines(2501) + "\n");
  EXPECT_EQ(fatal_text_of([&] { load(*ctx, console); }), kTooMany);

  ctx->settings.split_answer = 'Y';
  ctx->settings.split_factor = 4;
  dir.write("roads/net", head + short_lines(625) + "\n");
  ASSERT_EQ(load(*ctx, console), 0);
  EXPECT_EQ(ctx->segments.segment_count, 2500);
  dir.write("roads/net", head + short_lines(626) + "\n");
  EXPECT_EQ(fatal_text_of([&] { load(*ctx, console); }), kTooMany);

  // The capacity is the table's own: larger networks load into a larger table.
  dir.write("roads/net", head + short_lines(3000) + "\n");
  auto large = loading_context(dir, 5000);
  ASSERT_EQ(load(*large, console), 0);
  EXPECT_EQ(large->segments.segment_count, 3000);
  auto small = loading_context(dir, 10);
  EXPECT_EQ(fatal_text_of([&] { load(*small, console); }), kTooMany);
}

TEST(Loading, InvalidPavementTypeStopsWithTheHeadersEightCharacters) {
  TempDir dir;
  dir.write("roads/net", lines({"1996", "County", "asphalt", " 3   1.00", ""}));
  auto ctx = loading_context(dir);
  ScriptedConsole console;
  EXPECT_EQ(fatal_text_of([&] { load(*ctx, console); }),
            "\n\n ** Fatal Error: An invalid pavement type was entered (asphalt ).\n");
}

TEST(Loading, BadScoresFilesStopTheRun) {
  struct Case {
    std::string content;  // empty: no scores file at all (the open creates it)
    std::string stop;
    char randomize = 'N';
  };
  const std::string head = lines({"1996 NAMES", "County", "ASPHALT"});
  const Case cases[] = {
      // no terminator after the last line of the group
      {head + names_line(3, "1.00", 1, 1, "a", "b") + "\n",
       " ** Fatal Error: unexpected end of file, file roads/net, line 5\n"},
      // letters in the score field
      {head + "x3   1.00\n\n", " ** Fatal Error: unreadable record, file roads/net, line 4\n"},
      // a bad numeric field on a line whose columns 1-23 are blank
      {head + std::string(9, ' ') + "ab\n",
       " ** Fatal Error: unreadable record, file roads/net, line 4\n"},
      // a score outside 0..10
      {head + names_line(11, "1.00", 1, 1, "a", "b") + "\n\n",
       " ** Fatal Error: a score of 11 is outside 0..10, file roads/net, line 4\n"},
      {head + names_line(-1, "1.00", 1, 1, "a", "b") + "\n\n",
       " ** Fatal Error: a score of -1 is outside 0..10, file roads/net, line 4\n"},
      // a header that cannot be read
      {"19x6\nCounty\n", " ** Fatal Error: unreadable record, file roads/net, line 1\n"},
      // header and name only
      {"1996\nCounty\n", " ** Fatal Error: the scores file holds no segments, file roads/net\n"},
      {"", " ** Fatal Error: unexpected end of file, file roads/net, line 1\n"},
      // data/random.dat holds one number for two segments
      {lines({"1996", "County", "ASPHALT", " 3   1.00", " 4   1.00", ""}),
       " ** Fatal Error: unexpected end of file, file data/random.dat, line 2\n", 'Y'},
  };
  for (const Case& c : cases) {
    TempDir dir;
    if (!c.content.empty()) dir.write("roads/net", c.content);
    dir.write("data/random.dat", "0.5000\n");
    auto ctx = loading_context(dir);
    ctx->settings.randomize_answer = c.randomize;
    ScriptedConsole console;
    EXPECT_EQ(fatal_text_of([&] { load(*ctx, console); }), c.stop) << c.content;
    EXPECT_TRUE(dir.exists("roads/net"));
  }
}

TEST(Loading, CrlfLineEnds) {
  TempDir dir;
  dir.write("roads/net", "1996 NAMES\r\nCounty\r\nASPHALT\r\n" +
                             names_line(3, "1.00", 5, 6, "Route 9", "a") + "\r\n\r\n");
  auto ctx = loading_context(dir);
  ScriptedConsole console;
  ASSERT_EQ(load(*ctx, console), 0);
  EXPECT_EQ(ctx->network.names_format, 1);
  EXPECT_EQ(ctx->segments.segment_count, 1);
  EXPECT_EQ(ctx->segments[1].jurisdiction, 6);
}

TEST(Loading, EveryLoadingStartsFromAClearedTableExceptTheForcedIndex) {
  TempDir dir;
  dir.write("roads/net",
            lines({"1996 NAMES", "County", "ASPHALT", names_line(3, "1.00", 5, 6, "Route 9", "a"),
                   names_line(4, "1.00", 5, 6, "Route 10", "b"), ""}));
  auto ctx = loading_context(dir);
  ScriptedConsole console;
  ASSERT_EQ(load(*ctx, console), 0);
  ctx->segments[2].times_applied[1] = 4;
  ctx->segments[2].forced_index = 1;
  ctx->segments[2].last_action = 1;

  dir.write("roads/net", lines({"1997", "County", "ASPHALT", " 5   1.00", ""}));
  ASSERT_EQ(load(*ctx, console), 0);
  EXPECT_EQ(ctx->segments.segment_count, 1);
  EXPECT_EQ(ctx->network.names_format, 0);
  EXPECT_TRUE(ctx->segments[1].highway_name.blank());
  EXPECT_TRUE(ctx->segments[2].highway_name.blank());
  EXPECT_EQ(ctx->segments[2].times_applied[1], 0);
  EXPECT_EQ(ctx->segments[2].last_action, 999);
  EXPECT_EQ(ctx->segments[2].forced_index, 1);
  EXPECT_EQ(ctx->network.total_lane_miles, 1.0f);
  EXPECT_EQ(ctx->stats.score_miles[1], 5.0f);
}

// ------------------------------------------------------------ the whole stage

const std::string kNet = lines({"1996", "County", "ASPHALT", " 3   1.00", " 7   2.00", ""});

TEST(LoadingStage, OpensTheRunFilesAndWritesTheHeadings) {
  TempDir dir;
  dir.write("roads/rd96", kNet);
  auto ctx = loading_context(dir);
  ctx->settings.scores_name = "rd96";
  ctx->settings.auxiliary_answer = 'Y';
  ScriptedConsole console;
  ASSERT_EQ(load(*ctx, console), 0);
  EXPECT_EQ(ctx->output.report_file_name, "rd96-c.out  ");
  EXPECT_EQ(ctx->output.condition_file_name, "rd96-c.scr  ");
  EXPECT_EQ(ctx->output.improvements_file_name, "rd96-c.rep  ");
  // The files take their names when closed.
  EXPECT_FALSE(dir.exists("rd96-c.scr"));
  ctx->files.segment_list->close();
  ctx->files.report->close();
  EXPECT_EQ(dir.read("rd96-c.scr"),
            lines({"This is a list of all segments at the start of each year.", "",
                   "        Seg#  Pvt  Yr   Surf   Miles    Order",
                   "        ----  ---  --   ----   -----    -----"}));
  EXPECT_TRUE(dir.exists("rd96-c.out"));
}

TEST(LoadingStage, ForcedEntriesBeyondTheNetworkWarnAfterLoading) {
  TempDir dir;
  dir.write("roads/net", kNet);
  dir.write("force.txt", lines({" 3   2", " 4   3"}));
  auto ctx = loading_context(dir);
  ctx->settings.force_fix_answer = 'Y';
  ctx->settings.force_fix_file = "force.txt";
  ScriptedConsole console;
  ASSERT_EQ(load(*ctx, console), 0);
  EXPECT_EQ(console.output(), lines({" ** Warning: forced repair 2 names segment 3, but the "
                                     "network has 2 segments; the entry is ignored"}));
  EXPECT_EQ(forced_entry(ctx->forced, ctx->segments, 2), 1);
  EXPECT_EQ(ctx->forced.forced_ignored[2], 1);

  // A later pass that wants no forced repairs has no list.
  ctx->settings.force_fix_answer = 'N';
  ScriptedConsole quiet;
  ASSERT_EQ(load(*ctx, quiet), 0);
  EXPECT_EQ(ctx->forced.forced_count, 0);
  EXPECT_EQ(forced_entry(ctx->forced, ctx->segments, 2), 0);
  EXPECT_EQ(quiet.output(), "");
}

TEST(LoadingStage, ASecondPassReplacesTheFilesOfTheFirst) {
  TempDir dir;
  dir.write("roads/rd96", kNet);
  std::filesystem::create_directory(dir.path() / "trace.2");
  dir.write("trace.1", "an earlier run's trace\n");
  auto ctx = loading_context(dir);
  ctx->settings.scores_name = "rd96";
  ctx->settings.auxiliary_answer = 'Y';
  ctx->settings.trace_count = 3;
  ctx->settings.trace_segment = {0, 1, 2, 3};
  ctx->settings.trace_file_name[1] = "trace.1";
  ctx->settings.trace_file_name[2] = "trace.2";
  ctx->settings.trace_file_name[3] = "trace.3";
  ScriptedConsole console;
  ASSERT_EQ(load(*ctx, console), 2);
  EXPECT_TRUE(ctx->files.trace[1]);

  // Keep: the count is cut to the files opened, and the questions are asked
  // again; this time without auxiliary files and with another scores file.
  ctx->settings.trace_count = 1;
  ctx->settings.auxiliary_answer = 'N';
  ctx->settings.scores_name = "rd97";
  dir.write("roads/rd97", kNet);
  ASSERT_EQ(load(*ctx, console), 0);
  // The first pass's files are dropped, the earlier run's trace.1 kept until
  // this pass's takes its name; the closing list names no auxiliary file.
  EXPECT_EQ(dir.read("trace.1"), "an earlier run's trace\n");
  ctx->files.report->close();
  ctx->files.trace[1]->close();
  EXPECT_FALSE(dir.exists("rd96-c.out"));
  EXPECT_FALSE(dir.exists("rd96-c.scr"));
  EXPECT_FALSE(dir.exists("rd96-c.rep"));
  EXPECT_TRUE(dir.exists("rd97-c.out"));
  EXPECT_EQ(ctx->output.condition_file_name, "NA          ");
  EXPECT_EQ(ctx->files.segment_list, nullptr);
  // trace.1 holds one heading, not two.
  EXPECT_EQ(
      dir.read("trace.1"),
      lines({"This is a tracing of    1", "", "", std::string(23, ' ') + "Org. Cur. Last",
             "Yr Pvt Surf Miles Seg# Seg# Rep# Freq", "-- --- ---- ----- ---- ---- ---- ----"}));
  EXPECT_EQ(ctx->files.trace[2], nullptr);
}

}  // namespace
}  // namespace pavecast
