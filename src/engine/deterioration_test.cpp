#include "engine/deterioration.h"

#include <gtest/gtest.h>

#include <limits>

#include "model/condition_class.h"
#include "support/projection_fixture.h"

namespace pavecast::testing {
namespace {

TEST(ConditionClass, BoundariesFollowTheFloatSumInDouble) {
  EXPECT_EQ(condition_class(5.495f, kPolicyOffset), 5);
  EXPECT_EQ(condition_class(5.4951f, kPolicyOffset), 6);
  EXPECT_EQ(condition_class(9.495f, kPolicyOffset), 9);
  EXPECT_EQ(condition_class(9.4951f, kPolicyOffset), 10);
  EXPECT_EQ(condition_class(5.4997f, kListOffset), 5);
  EXPECT_EQ(condition_class(5.4998f, kListOffset), 6);
  EXPECT_EQ(condition_class(1.0f, kPolicyOffset), 1);
  EXPECT_EQ(condition_class(10.0f, kPolicyOffset), 10);
}

// A score just either side of the boundary takes the rate of its own class.
TEST(Deterioration, ScoresAtTheClassBoundaryUseTheirOwnRate) {
  TestNetwork run(1);
  for (int j = 1; j <= kClasses; ++j)
    run.pavement.det_rate[1][j] = 0.01f * static_cast<float>(j);
  run.in.policy[1][5] = 0;
  run.in.policy[1][6] = 0;
  run.add_segment(5.495f, 1.0f);   // class 5: rate column 6
  run.add_segment(5.4951f, 2.0f);  // class 6: rate column 5
  run.run();
  EXPECT_EQ(run.segments[1].score, static_cast<float>(double{5.495f} - double{0.06f}));
  EXPECT_EQ(run.segments[2].score, static_cast<float>(double{5.4951f} - double{0.05f}));
}

TEST(Deterioration, ScoreStaysWithinOneAndTen) {
  TestNetwork run(1);
  run.set_funding(0.0f);
  run.in.policy[1][1] = 0;
  run.in.policy[1][10] = 0;
  run.pavement.det_rate[1][10] = 3.0f;  // class 1
  run.pavement.det_rate[1][1] = -2.0f;  // class 10: a negative rate
  run.add_segment(1.0f, 1.0f);
  run.add_segment(2.4f, 1.0f);  // class 2: 0.5 a year
  run.in.policy[1][2] = 0;
  run.add_segment(9.6f, 1.0f);
  run.run();
  EXPECT_EQ(run.segments[1].score, 1.0f);
  EXPECT_FLOAT_EQ(run.segments[2].score, 1.9f);
  EXPECT_EQ(run.segments[3].score, 10.0f);
}

TEST(Deterioration, KeysFollowTheScoreExceptUnderRandomOrder) {
  for (int order : {1, 2, 3, 4}) {
    TestNetwork run(1);
    run.in.order = repair_order_of(order);
    run.add_segment(10.0f, 1.0f);  // class 10: no action, deteriorates to 9.5
    run.segments[1].order_key = 0.25f;  // no number drawn: the key stays
    run.run();
    EXPECT_EQ(run.segments[1].order_key, order == 1 ? 0.25f : 9.5f) << "order " << order;
  }
}

TEST(Statistics, LaneMilesByClass) {
  TestNetwork run(1);
  for (auto& by_class : run.in.policy) by_class.fill(0);
  for (auto& rates : run.pavement.det_rate) rates.fill(0.0f);
  run.add_segment(6.4949f, 2.0f);  // class 6: fair
  run.add_segment(5.4951f, 4.0f);  // class 6: fair
  run.add_segment(5.495f, 3.0f);   // class 5: poor
  run.add_segment(6.4951f, 8.0f);  // class 7
  run.run();
  EXPECT_FLOAT_EQ(run.stats.fair_poor_miles[2], 9.0f);
  EXPECT_FLOAT_EQ(run.stats.poor_miles[2], 3.0f);
  EXPECT_FLOAT_EQ(run.stats.score_miles[2],
                  2.0f * 6.4949f + 4.0f * 5.4951f + 3.0f * 5.495f + 8.0f * 6.4951f);
}

// A segment sealed every year (no gain, no deterioration, no cost) of the
// given lane-miles, over two years.
Statistics sealed_twice(float miles) {
  TestNetwork run(2);
  run.in.actions[kSeal].score_gain = 0.0f;
  run.in.actions[kSeal].action_cost = 0.0f;
  for (auto& rates : run.pavement.det_rate) rates.fill(0.0f);
  run.add_segment(7.0f, miles);
  run.run();
  return run.stats;
}

TEST(Statistics, WholeMilesRepairedRoundAtTheirOffsetAndSaturate) {
  const Statistics up = sealed_twice(2.4995f);
  EXPECT_EQ(up.miles_repaired[2], 3);
  EXPECT_EQ(up.miles_repaired[3], 3);
  EXPECT_EQ(up.total_miles_repaired, 6);
  EXPECT_EQ(sealed_twice(2.4994f).miles_repaired[2], 2);

  // Lengths beyond 32 bits (a scores file's 1E+30) saturate, and so does
  // the total: both print as asterisks.
  const Statistics huge = sealed_twice(1e30f);
  EXPECT_EQ(huge.miles_repaired[2], std::numeric_limits<int32_t>::max());
  EXPECT_EQ(huge.miles_repaired[3], std::numeric_limits<int32_t>::max());
  EXPECT_EQ(huge.total_miles_repaired, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(sealed_twice(3e9f).total_miles_repaired, std::numeric_limits<int32_t>::max());
}

}  // namespace
}  // namespace pavecast::testing
