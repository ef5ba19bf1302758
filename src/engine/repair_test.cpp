#include "engine/repair.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/projection_fixture.h"

namespace pavecast::testing {
namespace {

TEST(Budget, RepairCostingExactlyTheMoneyLeftIsAffordable) {
  TestNetwork run(1);
  run.set_funding(1.0f);
  run.add_segment(4.0f, 5.0f);  // overlay: 5 x 0.4 / 2 = 1.0
  run.run();
  EXPECT_EQ(run.segments.segment_count, 1);
  EXPECT_FLOAT_EQ(run.segments[1].score, 7.0f);
  EXPECT_EQ(run.end().funds(), 0.0f);
  EXPECT_EQ(run.stats.spent[2], 1.0f);
}

TEST(Budget, RepairCostingMoreSplitsAndStopsTheYearsRepairs) {
  TestNetwork run(1);
  run.set_funding(1.0f);
  run.add_segment(4.0f, 5.01f);
  run.add_segment(4.25f, 1.0f);  // would need an overlay too
  run.run();
  ASSERT_EQ(run.segments.segment_count, 3);
  EXPECT_FLOAT_EQ(run.segments[3].lane_miles, 5.0f);  // what $1M pays for
  EXPECT_FLOAT_EQ(run.segments[3].score, 7.0f);
  EXPECT_EQ(run.segments[3].original_number, 1);
  EXPECT_EQ(run.segments[3].repair_count, 1);
  EXPECT_NEAR(run.segments[1].lane_miles, 0.01f, 1e-6);
  EXPECT_FLOAT_EQ(run.segments[1].score, 3.5f);  // taken again and deteriorated
  EXPECT_FLOAT_EQ(run.segments[2].score, 3.75f);
  EXPECT_EQ(run.end().split_segment(), 1);
  EXPECT_NEAR(run.end().funds(), 0.0f, 1e-6);
  // After the split the scan starts at n - s + 1 = 3 (handled), then 1, 2.
  using Lines = std::vector<std::string>;
  EXPECT_EQ(run.observer.of("taken"), (Lines{"taken 2 #1: 1 score 4 miles 5.01 key 4",
                                             "taken 2 #2: 1 score 4 miles 0.0100002 key 4",
                                             "taken 2 #3: 2 score 4.25 miles 1 key 4.25"}));
  EXPECT_EQ(run.observer.of("repair"),
            (Lines{"repair 2 #1: 3 by 2 score 4 miles 5 for 1, spent 1, split"}));
}

TEST(Budget, NoMoneyLeftGivesAPieceOfNoMilesAtNoCost) {
  TestNetwork run(1);
  run.set_funding(0.0f);
  run.add_segment(9.0f, 1.0f);  // no action: does not split
  run.add_segment(4.0f, 2.0f);
  run.add_segment(3.0f, 2.0f);
  run.segments[3].order_key = 4.0f;  // taken after segment 2
  run.run();
  ASSERT_EQ(run.segments.segment_count, 4);
  EXPECT_EQ(run.segments[4].lane_miles, 0.0f);
  EXPECT_EQ(run.segments[4].original_number, 2);
  EXPECT_FLOAT_EQ(run.segments[2].lane_miles, 2.0f);
  EXPECT_FLOAT_EQ(run.segments[2].score, 3.5f);
  EXPECT_FLOAT_EQ(run.segments[3].score, 2.5f);  // no repair once split
  EXPECT_EQ(run.stats.spent[2], 0.0f);
  EXPECT_EQ(run.end().funds(), 0.0f);
  EXPECT_EQ(run.observer.of("repair"),
            (std::vector<std::string>{"repair 2 #1: 4 by 2 score 4 miles 0 for 0, spent 0, split"}));
}

// Forced repairs reserved beyond the year's money leave funds below zero: a
// repair that does not fit then gets a piece of no miles and returns nothing.
TEST(Budget, FundsBelowZeroBuyNothingAndReturnNothing) {
  TestNetwork run(1);
  run.set_funding(0.5f);
  run.add_segment(2.0f, 1.0f);  // forced: rebuild 1.0 reserved
  run.add_segment(4.0f, 1.0f);
  run.force(2, 1);
  run.run();
  ASSERT_EQ(run.segments.segment_count, 3);
  EXPECT_EQ(run.segments[3].lane_miles, 0.0f);
  EXPECT_FLOAT_EQ(run.end().funds(), -0.5f);
  EXPECT_FLOAT_EQ(run.stats.spent[2], 1.0f);
  EXPECT_FLOAT_EQ(run.segments[1].score, 10.0f);  // the forced repair is still made
  EXPECT_FLOAT_EQ(run.stats.cost_by_action[kRebuild][2], 1.0f);
}

TEST(Repair, ScoreNeverRisesAboveTenAndPavementTypeChanges) {
  TestNetwork run(1);
  run.in.actions[kRebuild].new_pavement_type = 2;
  run.add_segment(2.0f, 1.0f);
  run.run();
  EXPECT_EQ(run.segments[1].score, 10.0f);
  EXPECT_EQ(run.segments[1].pavement_type, 2);
}

TEST(Repair, ANegativeGainLeavesTheScoreAtTheBottomOfTheScale) {
  TestNetwork run(2);
  run.in.actions[kSeal].score_gain = -9.0f;
  run.add_segment(7.0f, 1.0f);  // sealed in year 2, then rebuilt in class 1
  run.run();
  EXPECT_EQ(run.segments[1].score, 10.0f);
  EXPECT_EQ(run.stats.poor_miles[2], 1.0f);
  EXPECT_EQ(run.stats.score_miles[2], 1.0f);
}

TEST(Repair, PavementTypeOutsideTheTablesStopsTheRun) {
  TestNetwork run(1);
  run.in.actions[kRebuild].new_pavement_type = 7;
  run.add_segment(2.0f, 1.0f);
  EXPECT_EQ(stop_text_of([&] { run.run(); }),
            " ** Fatal Error: repair action #84 gives pavement type 7, which has no rates or "
            "policy\n");
}

// Seal limited to 2 in a row: sealed in years 2 and 3, refused in year 4
// (the segment deteriorates into class 6), overlaid in year 5, when the
// seal's count starts again from 0.
TEST(RepetitionPolicy, LimitRefusesThenAGreaterActionResetsTheCount) {
  TestNetwork run(4);
  run.in.actions[kSeal].max_repeats = 2;
  run.in.actions[kSeal].score_gain = 0.0f;
  for (int j = 1; j <= kClasses; ++j) run.pavement.det_rate[1][j] = 1.0f;
  run.in.policy[1][6] = 47;
  run.add_segment(7.0f, 1.0f);
  run.run();
  EXPECT_EQ(run.observer.of("repair"),
            (std::vector<std::string>{"repair 2 #1: 1 by 1 score 7 miles 1 for 0.05, spent 0.05",
                                      "repair 3 #1: 1 by 1 score 7 miles 1 for 0.05, spent 0.05",
                                      "repair 5 #1: 1 by 2 score 6 miles 1 for 0.2, spent 0.2"}));
  EXPECT_EQ(run.observer.of("done"),
            (std::vector<std::string>{"done 2: 1 score 7 miles 1", "done 3: 1 score 7 miles 1",
                                      "done 4: 1 score 6 miles 1", "done 5: 1 score 9 miles 1"}));
  EXPECT_EQ(run.segments[1].times_applied[kSeal], 0);
  EXPECT_EQ(run.segments[1].times_applied[kOverlay], 1);
  EXPECT_EQ(run.segments[1].reset_pending, 0);
  EXPECT_EQ(run.segments[1].repair_count, 3);
}

TEST(RepetitionPolicy, RankNineIsAppliedWhateverItsCount) {
  TestNetwork run(3);
  run.in.actions[kRebuild].max_repeats = 1;
  run.in.actions[kRebuild].score_gain = 0.0f;
  run.add_segment(1.0f, 1.0f);
  run.run();
  EXPECT_EQ(run.segments[1].repair_count, 3);
  EXPECT_EQ(run.segments[1].times_applied[kRebuild], 3);
}

TEST(RepetitionPolicy, LimitOfZeroIsNeverApplied) {
  TestNetwork run(2);
  run.in.actions[kSeal].max_repeats = 0;
  run.add_segment(8.0f, 1.0f);
  run.run();
  EXPECT_EQ(run.segments[1].repair_count, 0);
  EXPECT_EQ(run.segments[1].reset_pending, 0);
  EXPECT_EQ(run.segments[1].last_action, 999);
  EXPECT_FLOAT_EQ(run.segments[1].score, 7.0f);
}

TEST(RepairFailures, MatrixActionWithNoRepairActionStopsTheRun) {
  TestNetwork run(1);
  run.in.policy[1][7] = 55;
  run.add_segment(9.0f, 1.0f);
  run.add_segment(7.0f, 1.0f);
  EXPECT_EQ(stop_text_of([&] { run.run(); }),
            "\n\n **  Fatal Error: No match found for action #55 (1 7  ) yr- 2  seg #    2\n");
}

TEST(RepairFailures, SplitBeyondTheCapacityStopsTheRun) {
  TestNetwork run(1, 2);
  run.set_funding(0.1f);
  run.add_segment(4.0f, 1.0f);
  run.add_segment(4.0f, 1.0f);
  EXPECT_EQ(stop_text_of([&] { run.run(); }),
            "\n  ** Fatal Error: You have exceeded the maximum number of segments.\n");
  EXPECT_EQ(run.segments.segment_count, 2);
}

TEST(RepairFailures, CapacityAboveTheProgramsIsUsable) {
  TestNetwork run(1, 3000);
  run.set_funding(100.1f);
  for (int i = 1; i <= 2999; ++i) run.add_segment(4.0f, 1.0f);
  run.run();
  EXPECT_EQ(run.segments.segment_count, 3000);
  EXPECT_EQ(run.segments[3000].original_number, 501);  // 500 overlays of 0.2, then a split
}

}  // namespace
}  // namespace pavecast::testing
