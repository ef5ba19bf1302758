#include "engine/repair.h"

#include <gtest/gtest.h>

#include "support/engine_run.h"

namespace pavecast::testing {
namespace {

TEST(Budget, RepairCostingExactlyTheMoneyLeftIsAffordable) {
  EngineRun run(1);
  run.set_funding(1.0f);
  run.add_segment(4.0f, 5.0f);  // overlay: 5 x 0.4 / 2 = 1.0
  run.run();
  EXPECT_EQ(run.ctx.segments.segment_count, 1);
  EXPECT_FLOAT_EQ(run.ctx.segments[1].score, 7.0f);
  EXPECT_EQ(run.end().funds, 0.0f);
  EXPECT_EQ(run.ctx.stats.spent[2], 1.0f);
}

TEST(Budget, RepairCostingMoreSplitsAndStopsTheYearsRepairs) {
  EngineRun run(1);
  run.set_funding(1.0f);
  run.add_segment(4.0f, 5.01f);
  run.add_segment(4.25f, 1.0f);  // would need an overlay too
  run.open_listings();
  run.run();
  const RunContext& ctx = run.ctx;
  ASSERT_EQ(ctx.segments.segment_count, 3);
  EXPECT_FLOAT_EQ(ctx.segments[3].lane_miles, 5.0f);  // what $1M pays for
  EXPECT_FLOAT_EQ(ctx.segments[3].score, 7.0f);
  EXPECT_EQ(ctx.segments[3].original_number, 1);
  EXPECT_EQ(ctx.segments[3].repair_count, 1);
  EXPECT_NEAR(ctx.segments[1].lane_miles, 0.01f, 1e-6);
  EXPECT_FLOAT_EQ(ctx.segments[1].score, 3.5f);  // taken again and deteriorated
  EXPECT_FLOAT_EQ(ctx.segments[2].score, 3.75f);
  EXPECT_EQ(run.end().split_segment, 1);
  EXPECT_NEAR(run.end().funds, 0.0f, 1e-6);
  // After the split the scan starts at n - s + 1 = 3 (handled), then 1, 2.
  EXPECT_EQ(run.segment_list(), lines({" ", "   1      1    1    2     4      5.0       4.",
                                       "   2      1    1    2     4      0.0       4.",
                                       "   3      2    1    2     4      1.0       4."}));
  EXPECT_EQ(run.improvements(),
            lines({" ", "   1      3   1    2     4      47    5.0   1.000   1.000"}));
}

TEST(Budget, NoMoneyLeftGivesAPieceOfNoMilesAtNoCost) {
  EngineRun run(1);
  run.set_funding(0.0f);
  run.add_segment(9.0f, 1.0f);  // no action: does not split
  run.add_segment(4.0f, 2.0f);
  run.add_segment(3.0f, 2.0f);
  run.ctx.segments[3].order_key = 4.0f;  // taken after segment 2
  run.open_listings();
  run.run();
  const RunContext& ctx = run.ctx;
  ASSERT_EQ(ctx.segments.segment_count, 4);
  EXPECT_EQ(ctx.segments[4].lane_miles, 0.0f);
  EXPECT_EQ(ctx.segments[4].original_number, 2);
  EXPECT_FLOAT_EQ(ctx.segments[2].lane_miles, 2.0f);
  EXPECT_FLOAT_EQ(ctx.segments[2].score, 3.5f);
  EXPECT_FLOAT_EQ(ctx.segments[3].score, 2.5f);  // no repair once split
  EXPECT_EQ(ctx.stats.spent[2], 0.0f);
  EXPECT_EQ(run.end().funds, 0.0f);
  EXPECT_EQ(run.improvements(),
            lines({" ", "   1      4   1    2     4      47    0.0   0.000   0.000"}));
}

// Forced repairs reserved beyond the year's money leave funds below zero: a
// repair that does not fit then gets a piece of no miles and returns nothing.
TEST(Budget, FundsBelowZeroBuyNothingAndReturnNothing) {
  EngineRun run(1);
  run.set_funding(0.5f);
  run.add_segment(2.0f, 1.0f);  // forced: rebuild 1.0 reserved
  run.add_segment(4.0f, 1.0f);
  run.force(2, 1);
  run.run();
  const RunContext& ctx = run.ctx;
  ASSERT_EQ(ctx.segments.segment_count, 3);
  EXPECT_EQ(ctx.segments[3].lane_miles, 0.0f);
  EXPECT_FLOAT_EQ(run.end().funds, -0.5f);
  EXPECT_FLOAT_EQ(ctx.stats.spent[2], 1.0f);
  EXPECT_FLOAT_EQ(ctx.segments[1].score, 10.0f);  // the forced repair is still made
  EXPECT_FLOAT_EQ(ctx.stats.cost_by_action[kRebuild][2], 1.0f);
}

TEST(Repair, ScoreNeverRisesAboveTenAndPavementTypeChanges) {
  EngineRun run(1);
  run.ctx.actions[kRebuild].new_pavement_type = 2;
  run.add_segment(2.0f, 1.0f);
  run.run();
  EXPECT_EQ(run.ctx.segments[1].score, 10.0f);
  EXPECT_EQ(run.ctx.segments[1].pavement_type, 2);
}

TEST(Repair, ANegativeGainLeavesTheScoreAtTheBottomOfTheScale) {
  EngineRun run(2);
  run.ctx.actions[kSeal].score_gain = -9.0f;
  run.add_segment(7.0f, 1.0f);  // sealed in year 2, then rebuilt in class 1
  run.run();
  EXPECT_EQ(run.ctx.segments[1].score, 10.0f);
  EXPECT_EQ(run.ctx.stats.poor_miles[2], 1.0f);
  EXPECT_EQ(run.ctx.stats.score_miles[2], 1.0f);
}

TEST(Repair, PavementTypeOutsideTheTablesStopsTheRun) {
  EngineRun run(1);
  run.ctx.actions[kRebuild].new_pavement_type = 7;
  run.add_segment(2.0f, 1.0f);
  EXPECT_EQ(fatal_text_of([&] { run.run(); }),
            " ** Fatal Error: repair action #84 gives pavement type 7, which has no rates or "
            "policy\n");
}

// Seal limited to 2 in a row: sealed in years 2 and 3, refused in year 4
// (the segment deteriorates into class 6), overlaid in year 5, when the
// seal's count starts again from 0.
TEST(RepetitionPolicy, LimitRefusesThenAGreaterActionResetsTheCount) {
  EngineRun run(4);
  RunContext& ctx = run.ctx;
  ctx.actions[kSeal].max_repeats = 2;
  ctx.actions[kSeal].score_gain = 0.0f;
  for (int j = 1; j <= kClasses; ++j) ctx.pavement.det_rate[1][j] = 1.0f;
  ctx.policy[1][6] = 47;
  run.add_segment(7.0f, 1.0f);
  run.trace(1);
  run.run();
  EXPECT_EQ(
      run.trace_file(1),
      lines({" 2  1    7    1.0   1    1   28    1", " 3  1    7    1.0   1    1   28    2",
             " 4  1    6    1.0   1    1   28    2", " 5  1    9    1.0   1    1   47    1"}));
  EXPECT_EQ(ctx.segments[1].times_applied[kSeal], 0);
  EXPECT_EQ(ctx.segments[1].times_applied[kOverlay], 1);
  EXPECT_EQ(ctx.segments[1].reset_pending, 0);
  EXPECT_EQ(ctx.segments[1].repair_count, 3);
}

TEST(RepetitionPolicy, RankNineIsAppliedWhateverItsCount) {
  EngineRun run(3);
  RunContext& ctx = run.ctx;
  ctx.actions[kRebuild].max_repeats = 1;
  ctx.actions[kRebuild].score_gain = 0.0f;
  run.add_segment(1.0f, 1.0f);
  run.run();
  EXPECT_EQ(ctx.segments[1].repair_count, 3);
  EXPECT_EQ(ctx.segments[1].times_applied[kRebuild], 3);
}

TEST(RepetitionPolicy, LimitOfZeroIsNeverApplied) {
  EngineRun run(2);
  RunContext& ctx = run.ctx;
  ctx.actions[kSeal].max_repeats = 0;
  run.add_segment(8.0f, 1.0f);
  run.run();
  EXPECT_EQ(ctx.segments[1].repair_count, 0);
  EXPECT_EQ(ctx.segments[1].reset_pending, 0);
  EXPECT_EQ(ctx.segments[1].last_action, 999);
  EXPECT_FLOAT_EQ(ctx.segments[1].score, 7.0f);
}

TEST(RepairFailures, MatrixActionWithNoRepairActionStopsTheRun) {
  EngineRun run(1);
  run.ctx.policy[1][7] = 55;
  run.add_segment(9.0f, 1.0f);
  run.add_segment(7.0f, 1.0f);
  EXPECT_EQ(fatal_text_of([&] { run.run(); }),
            "\n\n **  Fatal Error: No match found for action #55 (1 7  ) yr- 2  seg #    2\n");
}

TEST(RepairFailures, SplitBeyondTheCapacityStopsTheRun) {
  EngineRun run(1, 2);
  run.set_funding(0.1f);
  run.add_segment(4.0f, 1.0f);
  run.add_segment(4.0f, 1.0f);
  EXPECT_EQ(fatal_text_of([&] { run.run(); }),
            "\n  ** Fatal Error: You have exceeded the maximum number of segments.\n");
  EXPECT_EQ(run.ctx.segments.segment_count, 2);
}

TEST(RepairFailures, CapacityAboveTheProgramsIsUsable) {
  EngineRun run(1, 3000);
  run.set_funding(100.1f);
  for (int i = 1; i <= 2999; ++i) run.add_segment(4.0f, 1.0f);
  run.run();
  EXPECT_EQ(run.ctx.segments.segment_count, 3000);
  EXPECT_EQ(run.ctx.segments[3000].original_number, 501);  // 500 overlays of 0.2, then a split
}

}  // namespace
}  // namespace pavecast::testing
