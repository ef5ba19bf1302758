#include "output/projection_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "fatal/fatal.h"
#include "support/scenario.h"
#include "support/test_support.h"

namespace pavecast {
namespace {

using scenarios::blanks;
using testing::lines;
using testing::TempDir;

const std::string kFF(1, '\f');

void add_segment(RunContext& ctx, float score, float lane_miles, int32_t pavement_type) {
  Segment& seg = ctx.segments[++ctx.segments.segment_count];
  seg.score = score;
  seg.lane_miles = lane_miles;
  seg.pavement_type = pavement_type;
}

// A network of 10 lane-miles in two pavement types, one repair action and a
// horizon of two years, every reported value easy to follow by hand.
// The report of the run as the year loop leaves it: the percentages and
// mean score of every year derived from the sums.
void write_report(RunContext& ctx) {
  for (int y = 1; y <= std::clamp(ctx.settings.year_slots, 1, kMaxYearSlots); ++y)
    derive_year_statistics(ctx.stats, ctx.network.total_lane_miles, y);
  write_projection_report(output_of(ctx));
}

std::unique_ptr<RunContext> small_run(const TempDir& dir) {
  auto ctx = testing::make_context(dir);
  ctx->files.report = OutputFile::create_replacement(dir.workdir().local("t-c.out"));
  ctx->settings.printout_type = 2;
  ctx->settings.page_lines = 74;
  ctx->settings.date_time_answer = 'N';
  ctx->settings.force_fix_answer = 'N';
  ctx->settings.annual_funding = 25.0f;
  ctx->settings.repair_order = 3;
  ctx->settings.years = 2;
  ctx->settings.year_slots = 3;

  ctx->network.first_year = 1996;
  ctx->network.network_name = "TEST NET";
  ctx->network.total_lane_miles = 10.0f;

  ctx->tables.pavement.pavement_type_count = 2;
  ctx->tables.pavement.pavement_type_name[1] = "ASPHALT";
  ctx->tables.pavement.pavement_type_name[2] = "CONCRETE";
  for (int k = 1; k <= 10; ++k) {
    ctx->tables.pavement.det_rate[1][k] = 0.25f;
    ctx->tables.pavement.det_rate[2][k] = 0.5f;
  }

  ctx->tables.actions.action_count = 1;
  ctx->tables.actions[1].action_number = 7;
  ctx->tables.actions[1].max_repeats = 1000;
  ctx->tables.actions[1].action_description = "Overlay";
  ctx->tables.actions[1].action_cost = 0.25f;

  Statistics& s = ctx->stats;
  s.poor_miles[1] = 4.0f;  // 40 % poor, 10 % fair, mean 6.0
  s.fair_poor_miles[1] = 5.0f;
  s.score_miles[1] = 60.0f;
  s.poor_miles[2] = 2.0f;  // 20 % poor, 30 % fair, mean 7.0
  s.fair_poor_miles[2] = 5.0f;
  s.score_miles[2] = 70.0f;
  s.spent[2] = 1.3f;
  s.miles_repaired[2] = 5;
  s.cost_by_action[1][2] = 1.3f;
  s.poor_miles[3] = 0.0f;  // 0 % poor, 10 % fair, mean 7.5
  s.fair_poor_miles[3] = 1.0f;
  s.score_miles[3] = 75.0f;
  s.spent[3] = 0.5f;
  s.miles_repaired[3] = 2;
  s.cost_by_action[1][3] = 0.5f;
  s.total_miles_repaired = 7;
  s.miles_by_action[1] = 7.4f;

  // The final distribution: classes 3, 6 and 10.
  add_segment(*ctx, 3.2f, 4.0f, 1);
  add_segment(*ctx, 6.0f, 1.0f, 2);
  add_segment(*ctx, 9.6f, 5.0f, 1);
  return ctx;
}

std::string report_text(RunContext& ctx, const TempDir& dir) {
  ctx.files.report->close();
  return dir.read("t-c.out");
}

const std::string kUndatedTitle = lines({
    blanks(41) + "Quillondarowmere Transportation Committee",
    blanks(41) + "Pavecast (PAVC)",
    "",
});

std::string roads_line() {
  return blanks(48) + "Roads: TEST NET" + blanks(13) + "\n";
}

std::string lane_miles_lines(const std::string& value) {
  return lines({blanks(48) + "Lane-Miles: " + value, "", "", "", ""});
}

std::string one_action_heading() {
  return lines({
      blanks(56) + "  Cost   Avg.  Mi`s  $/Mi   Cost By Action",
      blanks(30) + "Year  % Poor  % Fair Mean   (m$)   $/Yr  Rep.  Rep.      7",
      blanks(30) + "----  ------  ------ ----   ----   ----  ----  ----     ---",
  });
}

const std::string kDefinitions = lines({
    "",
    "",
    "",
    "",
    "A \"poor\" pavement is defined as having a score of 5 or less.",
    "A \"fair\" pavement is defined as having a score of 6.",
});

std::string policy_heading(const std::string& names) {
  return lines({
      "",
      "",
      "",
      blanks(22) + "Repetition of Action Policy" + blanks(35) + "Deterioration Rates",
      blanks(52) + "Cost",
      blanks(14) + "Act #Of" + blanks(31) + "Per 2",
      blanks(14) + " #  Rep     Description of Policy     Ln-Mi" + blanks(13) + "Score" +
          blanks(6) + names,
      blanks(14) + "--- --- ----------------------------- -----" + blanks(13) + "-----" +
          blanks(6) + "--------  --------  --------",
  });
}

std::string rate_rows(const std::string& first_action) {
  std::string text = first_action;
  for (int k = 2; k <= 10; ++k) {
    text += blanks(71) + (11 - k < 10 ? " " : "") + std::to_string(11 - k) + blanks(4) +
            "      0.25      0.50\n";
  }
  return text;
}

const std::string kOverlayRow = blanks(14) + " 7   9  Overlay" + blanks(22) + " 0.250" +
                                blanks(14) + "10" + blanks(4) + "      0.25      0.50\n";

TEST(ProjectionReport, WritesTheWholeReportOfASmallRun) {
  TempDir dir;
  auto ctx = small_run(dir);
  write_report(*ctx);

  std::string expected =
      kUndatedTitle + roads_line() +
      lines(
          {blanks(48) + "Funding: $ 25.00M Per Year", blanks(48) + "Repair Order: Worst  First"}) +
      lane_miles_lines("  10") + one_action_heading() +
      lines({
          blanks(30) + "1996    40      10    6.0",
          blanks(30) + "1997    20      30    7.0    1.3    1.3     5  .260     1.3",
          blanks(30) + "1998     0      10    7.5    0.5    0.9     2  .250     0.5",
          blanks(30) + "Total Cost ( 2 Years)        1.8    0.9     7  .257",
          "",
          "",
          blanks(58) + "Total Lane-Miles By Action    7",
      }) +
      kDefinitions +
      lines({"", "",
             "Percent of Miles by Score from 1 to 10:  0.0,  0.0, 40.0,  0.0,  0.0, 10.0,  0.0,"
             "  0.0,  0.0, 50.0, Average = 7.50",
             ""}) +
      policy_heading("ASPHALT   CONCRETE          ") + rate_rows(kOverlayRow);
  EXPECT_EQ(report_text(*ctx, dir), expected);

  EXPECT_EQ(ctx->output.report_line, 11 + 3 + 3 + 4);
}

TEST(ProjectionReport, TitleVariants) {
  struct Case {
    int32_t minute;
    const char* date_line;
  };
  for (Case c : {Case{5, " 3/ 7/1996  9:05"}, Case{42, " 3/ 7/1996  9:42"}}) {
    TempDir dir;
    auto ctx = small_run(dir);
    ctx->settings.date_time_answer = 'Y';
    ctx->settings.start_time = StartTime{1996, 3, 7, 9, c.minute};
    write_report(*ctx);
    std::string title =
        lines({blanks(11) + c.date_line + blanks(14) + "Quillondarowmere Transportation Committee",
               blanks(41) + "Pavecast (PAVC)", ""});
    EXPECT_EQ(report_text(*ctx, dir).substr(0, title.size()), title) << c.minute;
  }

  // Unlimited money has no repair order; forced repairs are noted.
  TempDir dir;
  auto ctx = small_run(dir);
  ctx->settings.annual_funding = 99999.9f;
  ctx->settings.force_fix_answer = 'Y';
  ctx->network.total_lane_miles = 1234.4994f;
  write_report(*ctx);
  std::string expected =
      kUndatedTitle + roads_line() +
      lines({blanks(48) + "Funding: Unlimited Dollars",
             blanks(48) + "Lane-Miles: 1234, (Some Repairs Are Forced)", "", ""});
  EXPECT_EQ(report_text(*ctx, dir).substr(0, expected.size()), expected);
}

TEST(ProjectionReport, VariableFundingAndTheLaserJetSetUp) {
  TempDir dir;
  auto ctx = small_run(dir);
  ctx->settings.printout_type = 1;
  ctx->settings.variable_funding = true;
  ctx->settings.repair_order = 2;
  write_report(*ctx);
  const std::string esc(1, '\x1b');
  std::string expected =
      lines({esc + "E", esc + "&l8D", esc + "&l4E",
             esc + "(0U" + esc + "(sp16.66h9.5vsb6d" + esc + "&a8L", esc + "&a6L", kFF}) +
      kUndatedTitle + roads_line() +
      lines({blanks(48) + "Funding: Variable", blanks(48) + "Repair Order:   Priority  "});
  EXPECT_EQ(report_text(*ctx, dir).substr(0, expected.size()), expected);
}

// The cost table's margin, gap and columns for 0, 5 and 11 repair actions.
TEST(ProjectionReport, CostTableFollowsTheNumberOfActions) {
  {
    TempDir dir;
    auto ctx = small_run(dir);
    ctx->tables.actions.action_count = 5;
    for (int a = 1; a <= 5; ++a) {
      ctx->tables.actions[a].action_number = 10 * a;
      ctx->stats.cost_by_action[a][2] = 0.1f * static_cast<float>(a);
      ctx->stats.miles_by_action[a] = static_cast<float>(a);
    }
    write_report(*ctx);
    std::string expected = lines({
        blanks(46) + "  Cost   Avg.  Mi`s  $/Mi" + blanks(11) + "Cost By Action",
        blanks(20) +
            "Year  % Poor  % Fair Mean   (m$)   $/Yr  Rep.  Rep.     10    20    30    40    50",
        blanks(20) +
            "----  ------  ------ ----   ----   ----  ----  ----     ---   ---   ---   ---   ---",
        blanks(20) + "1996    40      10    6.0",
        blanks(20) +
            "1997    20      30    7.0    1.3    1.3     5  .260     0.1   0.2   0.3   0.4   0.5",
        blanks(20) +
            "1998     0      10    7.5    0.5    0.9     2  .250     0.5   0.0   0.0   0.0   0.0",
        blanks(20) + "Total Cost ( 2 Years)        1.8    0.9     7  .257",
        "",
        "",
        blanks(48) + "Total Lane-Miles By Action    1     2     3     4     5",
    });
    std::string report = report_text(*ctx, dir);
    EXPECT_NE(report.find(expected), std::string::npos) << report;
  }
  {
    TempDir dir;
    auto ctx = small_run(dir);
    ctx->tables.actions.action_count = 11;
    for (int a = 1; a <= 11; ++a) {
      ctx->tables.actions[a].action_number = a;
      ctx->tables.actions[a].max_repeats = a - 1;
      ctx->tables.actions[a].action_description = "Act";
      ctx->tables.actions[a].action_cost = 1.5f;
      ctx->stats.cost_by_action[a][3] = 0.5f;
    }
    ctx->stats.miles_by_action[11] = 1234567.0f;
    write_report(*ctx);
    std::string expected = lines({
        blanks(28) + "  Cost   Avg.  Mi`s  $/Mi" + blanks(29) + "Cost By Action",
        blanks(2) +
            "Year  % Poor  % Fair Mean   (m$)   $/Yr  Rep.  Rep.      1     2     3     4     5"
            "     6     7     8     9    10    11",
        blanks(2) +
            "----  ------  ------ ----   ----   ----  ----  ----     ---   ---   ---   ---   ---"
            "   ---   ---   ---   ---   ---   ---",
        blanks(2) + "1996    40      10    6.0",
        blanks(2) +
            "1997    20      30    7.0    1.3    1.3     5  .260     1.3   0.0   0.0   0.0   0.0"
            "   0.0   0.0   0.0   0.0   0.0   0.0",
        blanks(2) +
            "1998     0      10    7.5    0.5    0.9     2  .250     0.5   0.5   0.5   0.5   0.5"
            "   0.5   0.5   0.5   0.5   0.5   0.5",
        blanks(2) + "Total Cost ( 2 Years)        1.8    0.9     7  .257",
        "",
        "",
        blanks(30) +
            "Total Lane-Miles By Action    7     0     0     0     0     0     0     0     0"
            "     0******",
    });
    std::string report = report_text(*ctx, dir);
    EXPECT_NE(report.find(expected), std::string::npos) << report;
    // Repetition limits above 9 show as 9; action 11 has no rate row.
    EXPECT_NE(report.find(blanks(14) + " 1   0  Act" + blanks(26) + " 1.500" + blanks(14) + "10"),
              std::string::npos);
    EXPECT_NE(report.find(blanks(14) + "10   9  Act" + blanks(26) + " 1.500" + blanks(14) + " 1"),
              std::string::npos);
    EXPECT_TRUE(report.ends_with("\n" + blanks(14) + "11   9  Act" + blanks(26) + " 1.500\n"))
        << report;
  }
  {
    TempDir dir;
    auto ctx = small_run(dir);
    ctx->tables.actions.action_count = 0;
    write_report(*ctx);
    std::string expected = lines({
        blanks(56) + "  Cost   Avg.  Mi`s  $/Mi   Cost By Action",
        blanks(30) + "Year  % Poor  % Fair Mean   (m$)   $/Yr  Rep.  Rep.  ",
        blanks(30) + "----  ------  ------ ----   ----   ----  ----  ----",
        blanks(30) + "1996    40      10    6.0",
        blanks(30) + "1997    20      30    7.0    1.3    1.3     5  .260",
        blanks(30) + "1998     0      10    7.5    0.5    0.9     2  .250",
        blanks(30) + "Total Cost ( 2 Years)        1.8    0.9     7  .257",
        "",
        "",
        blanks(58) + "Total Lane-Miles By Action",
    });
    std::string report = report_text(*ctx, dir);
    EXPECT_NE(report.find(expected), std::string::npos) << report;
    // Without actions the policy block has only rate rows.
    EXPECT_TRUE(
        report.ends_with(policy_heading("ASPHALT   CONCRETE          ") +
                         rate_rows(blanks(71) + "10" + blanks(4) + "      0.25      0.50\n")));
  }
}

// Values too wide for their fields, a year without repairs, and a horizon of
// no years.
TEST(ProjectionReport, AsterisksZerosAndAnEmptyHorizon) {
  {
    TempDir dir;
    auto ctx = small_run(dir);
    ctx->stats.score_miles[1] = 100.0f;  // mean 10.0 does not fit F3.1
    ctx->stats.spent[2] = 1000000.0f;
    ctx->stats.miles_repaired[2] = 1;
    ctx->stats.cost_by_action[1][2] = 1000000.0f;
    ctx->stats.spent[3] = 0.0f;
    ctx->stats.miles_repaired[3] = 0;  // no lane-miles: 0.0 per lane-mile
    ctx->stats.cost_by_action[1][3] = 0.0f;
    write_report(*ctx);
    std::string expected = lines({
        blanks(30) + "1996    40      10    ***",
        blanks(30) + "1997    20      30    7.0**************     1  ****   *****",
        blanks(30) + "1998     0      10    7.5    0.0*******     0  .000     0.0",
        blanks(30) + "Total Cost ( 2 Years)   ******** ******     7  ****",
    });
    std::string report = report_text(*ctx, dir);
    EXPECT_NE(report.find(expected), std::string::npos) << report;
  }
  {
    TempDir dir;
    auto ctx = small_run(dir);
    ctx->settings.years = 0;
    ctx->settings.year_slots = 1;
    ctx->stats.total_miles_repaired = 0;
    write_report(*ctx);
    std::string expected = lines({
        blanks(30) + "1996    40      10    6.0",
        blanks(30) + "Total Cost ( 0 Years)        0.0    0.0     0  .000",
    });
    std::string report = report_text(*ctx, dir);
    EXPECT_NE(report.find(expected), std::string::npos) << report;
    EXPECT_NE(report.find("Average = 6.00"), std::string::npos);
  }
}

TEST(ProjectionReport, NetworkWithoutLaneMilesReportsZeros) {
  TempDir dir;
  auto ctx = small_run(dir);
  ctx->network.total_lane_miles = 0.0f;
  write_report(*ctx);
  std::string report = report_text(*ctx, dir);
  EXPECT_NE(report.find(blanks(48) + "Lane-Miles:    0\n"), std::string::npos);
  EXPECT_NE(report.find(blanks(30) + "1996     0       0    0.0\n"), std::string::npos);
  EXPECT_NE(report.find(blanks(30) + "1998     0       0    0.0    0.5"), std::string::npos);
  EXPECT_NE(report.find("10:  0.0,  0.0,  0.0,  0.0,  0.0,  0.0,  0.0,  0.0,  0.0,  0.0,"
                        " Average = 0.00\n"),
            std::string::npos)
      << report;
}

// 97 simulated years on 53-line pages: the table breaks before the rows of
// years 40 and 90 with a form feed and the full heading.
TEST(ProjectionReport, LongRunBreaksPagesInsideTheTable) {
  TempDir dir;
  auto ctx = small_run(dir);
  ctx->settings.printout_type = 3;
  ctx->settings.page_lines = 53;
  ctx->settings.years = 97;
  ctx->settings.year_slots = 98;
  ctx->stats = Statistics{};
  ctx->tables.actions[1].action_number = 7;
  write_report(*ctx);

  std::string table = one_action_heading();
  for (int y = 1; y <= 98; ++y) {
    if (y == 40 || y == 90) table += kFF + "\n" + one_action_heading();
    std::string year = std::to_string(1995 + y);
    table += blanks(30) + year +
             (y == 1 ? "     0       0    0.0\n"
                     : "     0       0    0.0    0.0    0.0     0  .000     0.0\n");
  }
  table += lines({blanks(30) + "Total Cost (97 Years)        0.0    0.0     0  .000", "", "",
                  blanks(58) + "Total Lane-Miles By Action    0"});
  std::string report = report_text(*ctx, dir);
  std::size_t start = report.find(blanks(56) + "  Cost");
  ASSERT_NE(start, std::string::npos);
  // 3 + 9 rows on the last page and the four total lines: no break before
  // the definitions.
  EXPECT_EQ(report.substr(start, table.size() + kDefinitions.size()), table + kDefinitions);
  EXPECT_EQ(ctx->output.report_line, 3 + 9 + 4);
}

// Twenty years on 53-line pages fill more than the page allows below the
// table, so the definitions start a new page.
TEST(ProjectionReport, DefinitionsStartANewPageWhenTheTableIsLong) {
  TempDir dir;
  auto ctx = small_run(dir);
  ctx->settings.page_lines = 53;
  ctx->settings.years = 20;
  ctx->settings.year_slots = 21;
  write_report(*ctx);
  std::string report = report_text(*ctx, dir);
  EXPECT_EQ(ctx->output.report_line, 11 + 3 + 21 + 4);
  EXPECT_NE(report.find("Total Lane-Miles By Action    7\n" + kFF + "\n" + kDefinitions),
            std::string::npos);
  EXPECT_EQ(report.find(kFF + "\n" + blanks(56)), std::string::npos);  // no break in the table
}

TEST(ProjectionReport, EndRecordDependsOnThePrintoutType) {
  TempDir dir;
  RunContext ctx(dir.workdir());
  auto file = OutputFile::create_replacement(dir.workdir().local("end"));
  ctx.settings.printout_type = 1;
  write_end_record(ctx.settings.printout_type, *file);
  ctx.settings.printout_type = 3;
  write_end_record(ctx.settings.printout_type, *file);
  file->close();
  EXPECT_EQ(dir.read("end"),
            "\x1b"
            "E\n\f\n");
}

}  // namespace
}  // namespace pavecast
