#include "output/listing.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "engine/inputs.h"
#include "layout/layout.h"
#include "model/condition_class.h"
#include "support/engine_run.h"
#include "support/gcc_bugs.h"

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
  EXPECT_EQ(run.ctx.output.list_lines, 2 + 45);
  EXPECT_EQ(run.ctx.output.repair_lines, 2 + 260 - 54 - 55 - 55 - 55);
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

// The segment list's lines as the layout writes them from the segment, one
// by one: the reference for the listing writer, which keeps each segment's
// last line and writes again only the fields that changed.
class LineRecorder : public ProjectionObserver {
 public:
  explicit LineRecorder(bool names)
      : names_(names),
        line_(names ? "I4,3X,A23,1X,A38,1X,I4,2I5,I6,F8.1,F9.0" : "I4,3X,I4,2I5,I6,F9.1,F9.0") {}
  void segment_taken(int32_t year, int32_t position, int32_t i, const Segment& seg) override {
    const float key = static_cast<float>(static_cast<double>(seg.order_key) * 10000.0);
    const int32_t c = condition_class(seg.score, kListOffset);
    std::string text =
        names_ ? line_.format({position, seg.highway_name.view(), seg.segment_description.view(), i,
                               seg.pavement_type, year, c, seg.lane_miles, key})
               : line_.format({position, i, seg.pavement_type, year, c, seg.lane_miles, key});
    text.pop_back();
    lines.push_back(text);
  }
  std::vector<std::string> lines;

 private:
  bool names_;
  layout::Layout line_;
};

PAVECAST_GCC_BUG_105651_BEGIN
// Over years of random keys, repairs that change the pavement type and the
// class, and splits that change the lane-miles (and add pieces), every line
// the listing writer keeps and rewrites is the one the layout writes.
TEST(Listings, KeptLinesShowEveryChangedField) {
  auto build = [](EngineRun& run) {
    run.ctx.settings.repair_order = 1;
    run.set_funding(3.0f);
    run.ctx.tables.actions[kOverlay].new_pavement_type = 2;
    std::string numbers;
    for (int k = 1; k <= 97; ++k)
      numbers += "." + std::to_string(10000 + (k * 7919) % 89999) + "\n";
    run.dir.write("data/random.dat", numbers);
    for (int i = 1; i <= 40; ++i) {
      run.add_segment(static_cast<float>(1 + (i * 7) % 10) - 0.25f * static_cast<float>(i % 3),
                      0.5f + 0.25f * static_cast<float>(i % 9), 1 + i % 2);
      run.ctx.segments[i].highway_name = "Route " + std::to_string(i % 5);
      run.ctx.segments[i].segment_description = "Stretch " + std::to_string(i);
    }
  };
  for (bool names : {false, true}) {
    EngineRun run(8, 100);
    build(run);
    run.open_listings(names);
    run.run();
    std::vector<std::string> written;
    std::istringstream text(run.segment_list());
    for (std::string line; std::getline(text, line);)
      if (line.size() > 4 && line.find_first_of("0123456789") < 4) written.push_back(line);

    EngineRun again(8, 100);
    build(again);
    LineRecorder recorder(names);
    const ProjectionInputs inputs =
        projection_inputs(again.ctx.settings, again.ctx.tables, again.ctx.network);
    RandomFile numbers(
        InputFile::open_or_fatal(again.ctx.workdir.data("random.dat"), IfMissing::kCreateEmpty));
    Projection(inputs,
               {again.ctx.segments, again.ctx.tables.pavement, again.ctx.forced, again.ctx.stats},
               recorder, &numbers)
        .run();
    EXPECT_GT(again.ctx.segments.segment_count, 40);  // pieces were split off
    EXPECT_EQ(written, recorder.lines) << (names ? "names" : "short");
  }
}
PAVECAST_GCC_BUG_105651_END

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
  run.ctx.tables.actions[kSeal].score_gain = 0.0f;
  run.add_segment(7.0f, 1.0f);
  run.ctx.segments[1].times_applied[kSeal] = 11;
  run.ctx.segments[1].last_action = kSeal;
  run.trace(1);
  run.run();
  EXPECT_EQ(run.trace_file(1), lines({" 2  1    7    1.0   1    1   28    9"}));
}

// The names layout shows the matrix's action, the short layout the action
// applied: they differ when a reconstruction is drawn.
TEST(Listings, ReconstructionShowsTheMatrixActionOrTheActionApplied) {
  for (bool names : {true, false}) {
    EngineRun run(1);
    run.ctx.settings.reconstruct_answer = 'Y';
    run.ctx.settings.reconstruct_probability = 0.05f;
    run.ctx.settings.recon_numbers_loaded = true;
    for (int n = 1; n <= kReconNumbers; ++n) run.ctx.tables.recon_random[n] = 0.9f;
    run.ctx.tables.recon_random[1] = 0.01f;
    run.add_segment(4.0f, 1.0f);
    run.open_listings(names);
    run.run();
    if (names)
      EXPECT_NE(run.improvements().find("   1   1    2     4   47      1.0  1.000"),
                std::string::npos);
    else
      EXPECT_EQ(run.improvements(),
                lines({" ", "   1      1   1    2     4      84    1.0   1.000   1.000"}));
  }
}

// The key shown is stored as a float before it is written: 0.12345 x 10000
// is 1234.5, which prints as "1234.".
TEST(Listings, DrawnKeyShownTimesTenThousand) {
  EngineRun run(1);
  run.ctx.settings.repair_order = 1;
  run.dir.write("data/random.dat", ".12345\n");
  run.add_segment(9.0f, 1.0f);
  run.open_listings();
  run.run();
  EXPECT_EQ(run.segment_list(), lines({" ", "   1      1    1    2     9      1.0    1234."}));
}

}  // namespace
}  // namespace pavecast::testing
