#include "output/final_conditions.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/scenario.h"
#include "support/test_support.h"

namespace pavecast {
namespace {

using scenarios::blanks;
using testing::lines;
using testing::ScriptedConsole;
using testing::TempDir;

Segment& add_segment(RunContext& ctx, float score, float lane_miles, int32_t pavement_type) {
  Segment& seg = ctx.segments[++ctx.segments.segment_count];
  seg.score = score;
  seg.lane_miles = lane_miles;
  seg.pavement_type = pavement_type;
  return seg;
}

// Ten years from 1996; three pavement types, the second of which no segment
// has any longer.
std::unique_ptr<RunContext> final_run(const TempDir& dir) {
  auto ctx = testing::make_context(dir);
  ctx->settings.final_conditions_answer = 'Y';
  ctx->settings.final_conditions_file = "NET1.prd";
  ctx->settings.years = 10;
  ctx->network.first_year = 1996;
  ctx->network.network_name = "NORTH";
  ctx->tables.pavement.pavement_type_count = 3;
  ctx->tables.pavement.pavement_type_name[1] = "ASPHALT";
  ctx->tables.pavement.pavement_type_name[2] = "CONCRETE";
  ctx->tables.pavement.pavement_type_name[3] = "GRAVEL";
  add_segment(*ctx, 6.49f, 2.5f, 3);
  add_segment(*ctx, 6.5f, 1000.0f, 1);
  add_segment(*ctx, 9.99f, 0.04f, 3);
  add_segment(*ctx, 1.0f, 12.3f, 1);  // a piece split off during the run
  return ctx;
}

TEST(FinalConditions, ShortFormGroupsSegmentsByCurrentPavementType) {
  TempDir dir;
  auto ctx = final_run(dir);
  ScriptedConsole console;
  write_final_conditions(output_of(*ctx), console);
  ctx->files.set.commit(dir.path());  // it takes its name with the run's other files

  EXPECT_EQ(console.output(), "Writing final condition data to \"NET1.prd    \".\n");
  // Class INT(score + 0.5): 6.49 is 6, 6.5 is 7; 1000 lane-miles do not fit
  // F5.1; 0.04 lane-miles keep one decimal.
  EXPECT_EQ(dir.read("NET1.prd"), lines({
                                      "2006      ",
                                      "NORTH                ",
                                      "ASPHALT ",
                                      " 7  *****",
                                      " 1   12.3",
                                      blanks(76),
                                      "CONCRETE",
                                      blanks(76),
                                      "GRAVEL  ",
                                      " 6    2.5",
                                      "10    0.0",
                                      blanks(76),
                                  }));
  // No temporary file is left beside it.
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    EXPECT_FALSE(e.path().filename().string().starts_with("NET1.prd.")) << e.path();
}

TEST(FinalConditions, NamesFormKeepsTheNamesAndCodes) {
  TempDir dir;
  auto ctx = final_run(dir);
  ctx->network.scores_tag = "NAMES";
  ctx->network.names_format = 1;
  ctx->tables.pavement.pavement_type_count = 1;
  ctx->segments.segment_count = 0;
  Segment& seg = add_segment(*ctx, 4.2f, 3.75f, 1);
  seg.mcd = 1234;
  seg.jurisdiction = 7;
  seg.highway_name = "I-94";
  seg.segment_description = "Main St to Elm St";
  dir.write("NET1.prd", "an older file\n");
  ScriptedConsole console;
  write_final_conditions(output_of(*ctx), console);
  ctx->files.set.commit(dir.path());  // it takes its name with the run's other files
  EXPECT_EQ(
      dir.read("NET1.prd"),
      lines({"2006 NAMES", "NORTH                ", "ASPHALT ",
             " 4    3.81234 7 I-94" + blanks(19) + " Main St to Elm St" + blanks(21), blanks(76)}));
}

}  // namespace
}  // namespace pavecast
