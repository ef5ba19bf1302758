#include "output/listing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/engine_run.h"

namespace pavecast::testing {
namespace {

std::vector<std::string> split_pages(const std::string& text) {
  std::vector<std::string> pages;
  std::size_t start = 0;
  for (;;) {
    const std::size_t ff = text.find("\f\n", start);
    pages.push_back(text.substr(start, ff == std::string::npos ? std::string::npos : ff - start));
    if (ff == std::string::npos) return pages;
    start = ff + 2;
  }
}

// Line n (from 0) of a text, without its line end.
std::string line_of(const std::string& text, int n) {
  std::size_t start = 0;
  for (int i = 0; i < n; ++i) start = text.find('\n', start) + 1;
  return text.substr(start, text.find('\n', start) - start);
}

int count_lines(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

// The segment list breaks its page when its counter has reached 56, the
// improvements file when its counter has passed 56, so each improvements page
// holds one line more. The yearly blank records are not counted.
TEST(Listings, ImprovementsPageHoldsOneMoreLineThanASegmentListPage) {
  EngineRun run(2);
  for (int i = 1; i <= 130; ++i) run.add_segment(7.0f, 1.0f);
  run.open_listings();
  run.run();

  const std::vector<std::string> list = split_pages(run.segment_list());
  const std::vector<std::string> repairs = split_pages(run.improvements());
  // Segment list: 260 lines: 53 on the first page (headings took 3), 54 on
  // each further page after 2 heading lines, plus one year record per year.
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(count_lines(list[0]), 1 + 53);
  EXPECT_EQ(count_lines(list[1]), 2 + 54);
  EXPECT_EQ(count_lines(list[2]), 2 + 23 + 1 + 31);  // year 3 starts on this page
  EXPECT_EQ(line_of(list[1], 0), "        Seg#  Pvt  Yr   Surf   Miles    Order");
  EXPECT_EQ(line_of(list[1], 1), "        ----  ---  --   ----   -----    -----");
  EXPECT_EQ(line_of(list[1], 2), "  54     54    1    2     7      1.0       7.");
  // Improvements: year 2 seals all 130 (class 7 -> 8), year 3 all again.
  ASSERT_EQ(repairs.size(), 5u);
  EXPECT_EQ(count_lines(repairs[0]), 1 + 54);
  EXPECT_EQ(count_lines(repairs[1]), 2 + 55);
  EXPECT_EQ(count_lines(repairs[2]), 2 + 21 + 1 + 34);
  EXPECT_EQ(line_of(repairs[1], 0), "       Seg#  Pvt  Yr   Surf   Repair Miles    M$    Tot $");
  EXPECT_EQ(line_of(repairs[1], 1), "       ----  ---  --   ----   ------ -----   ----   -----");
  EXPECT_EQ(line_of(repairs[1], 2), "  55     55   1    2     7      28    1.0   0.050   2.750");
  EXPECT_EQ(run.ctx.list_lines, 2 + 45);
  EXPECT_EQ(run.ctx.repair_lines, 2 + 260 - 54 - 55 - 55 - 55);
}

TEST(Listings, NamesLayoutLinesAndHeadings) {
  EngineRun run(1);
  for (int i = 1; i <= 60; ++i) {
    run.add_segment(7.0f, 12.0f);
    run.ctx.segments[i].highway_name = "I-94";
    run.ctx.segments[i].segment_description = "Mile 3 to mile 7";
    run.ctx.segments[i].mcd = 1234;
    run.ctx.segments[i].jurisdiction = 56;
  }
  run.open_listings(true);
  run.run();

  const std::string hwy = std::string("I-94") + std::string(19, ' ');
  const std::string desc = std::string("Mile 3 to mile 7") + std::string(22, ' ');
  const std::vector<std::string> list = split_pages(run.segment_list());
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(line_of(list[0], 1),
            "   1   " + hwy + " " + desc + "    1    1    2     7    12.0       7.");
  EXPECT_EQ(line_of(list[1], 0),
            "       Highway                 Segment                                "
            "Seg#  Pvt  Yr   Surf   Miles    Order");
  EXPECT_EQ(line_of(list[1], 1),
            "       ----------------------- --------------------------------------  "
            "----  ---  --   ----   -----    -----");
  const std::vector<std::string> repairs = split_pages(run.improvements());
  ASSERT_EQ(repairs.size(), 2u);
  EXPECT_EQ(line_of(repairs[0], 1), "   1   " + hwy + " " + desc +
                                        "    1   1    2     7   28     12.0  0.600   0.6001234 56");
  EXPECT_EQ(line_of(repairs[1], 0),
            "       Highway                 Segment                                "
            "Seg#  Pvt  Yr   Surf  Repair Miles    M$    Tot $ MCD Jur Forced");
  EXPECT_EQ(line_of(repairs[1], 1),
            "       ----------------------- -------------------------------------- "
            "----  ---  --   ----  ------ -----   ----   ----- --- --- ------");
}

// A traced segment split in a year has a line for the repaired piece and one
// for the rest when it is taken again; both follow the original number.
TEST(Traces, EveryPieceOfATracedSegmentIsTraced) {
  EngineRun run(2);
  run.set_funding(1.0f);
  run.add_segment(4.0f, 5.01f);
  run.add_segment(4.25f, 1.0f);
  run.trace(1);
  run.trace(2);
  run.run();
  EXPECT_EQ(
      run.trace_file(1),
      lines({" 2  1    7    5.0   1    3   47    1", " 2  1    4    0.0   1    1    0    0",
             " 3  1    7    0.0   1    1   47    1", " 3  1    8    5.0   1    3   28    1"}));
  EXPECT_EQ(run.trace_file(2), lines({" 2  1    4    1.0   2    2    0    0",
                                      " 3  1    7    1.0   2    2   47    1"}));
}

TEST(Traces, CountAboveNineShowsAsNine) {
  EngineRun run(1);
  run.ctx.actions[kSeal].score_gain = 0.0f;
  run.add_segment(7.0f, 1.0f);
  run.ctx.segments[1].times_applied[kSeal] = 11;
  run.ctx.segments[1].last_action = kSeal;
  run.trace(1);
  run.run();
  EXPECT_EQ(run.trace_file(1), lines({" 2  1    7    1.0   1    1   28    9"}));
}

}  // namespace
}  // namespace pavecast::testing
