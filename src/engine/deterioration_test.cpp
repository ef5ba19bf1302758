#include "engine/deterioration.h"

#include <gtest/gtest.h>

#include <limits>

#include "model/condition_class.h"
#include "support/engine_run.h"

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
  EngineRun run(1);
  for (int j = 1; j <= kClasses; ++j)
    run.ctx.pavement.det_rate[1][j] = 0.01f * static_cast<float>(j);
  run.ctx.policy[1][5] = 0;
  run.ctx.policy[1][6] = 0;
  run.add_segment(5.495f, 1.0f);   // class 5: rate column 6
  run.add_segment(5.4951f, 2.0f);  // class 6: rate column 5
  run.run();
  EXPECT_EQ(run.ctx.segments[1].score, static_cast<float>(double{5.495f} - double{0.06f}));
  EXPECT_EQ(run.ctx.segments[2].score, static_cast<float>(double{5.4951f} - double{0.05f}));
}

TEST(Deterioration, ScoreStaysWithinOneAndTen) {
  EngineRun run(1);
  run.set_funding(0.0f);
  run.ctx.policy[1][1] = 0;
  run.ctx.policy[1][10] = 0;
  run.ctx.pavement.det_rate[1][10] = 3.0f;  // class 1
  run.ctx.pavement.det_rate[1][1] = -2.0f;  // class 10: a negative rate
  run.add_segment(1.0f, 1.0f);
  run.add_segment(2.4f, 1.0f);  // class 2: 0.5 a year
  run.ctx.policy[1][2] = 0;
  run.add_segment(9.6f, 1.0f);
  run.run();
  EXPECT_EQ(run.ctx.segments[1].score, 1.0f);
  EXPECT_FLOAT_EQ(run.ctx.segments[2].score, 1.9f);
  EXPECT_EQ(run.ctx.segments[3].score, 10.0f);
}

TEST(Deterioration, KeysFollowTheScoreExceptUnderRandomOrder) {
  for (int order : {1, 2, 3, 4}) {
    EngineRun run(1);
    run.ctx.repair_order = order;
    run.add_segment(10.0f, 1.0f);
    run.ctx.segments[1].order_key = 0.25f;
    const int32_t i = 1;
    Projection& p = run.prepare();
    p.year = 2;
    deteriorate(p, i, 10);
    EXPECT_EQ(run.ctx.segments[i].order_key, order == 1 ? 0.25f : 9.5f) << "order " << order;
  }
}

TEST(Statistics, LaneMilesByClassAndWholeMilesRepaired) {
  EngineRun run(1);
  RunContext& ctx = run.ctx;
  run.add_segment(6.4949f, 2.0f);  // class 6: fair
  run.add_segment(5.4951f, 4.0f);  // class 6: fair
  run.add_segment(5.495f, 3.0f);   // class 5: poor
  run.add_segment(6.4951f, 8.0f);  // class 7
  Projection& p = run.prepare();
  p.year = 2;
  for (int i = 1; i <= 4; ++i) accumulate_statistics(p, i);
  EXPECT_FLOAT_EQ(ctx.stats.fair_poor_miles[2], 9.0f);
  EXPECT_FLOAT_EQ(ctx.stats.poor_miles[2], 3.0f);
  EXPECT_FLOAT_EQ(ctx.stats.score_miles[2],
                  2.0f * 6.4949f + 4.0f * 5.4951f + 3.0f * 5.495f + 8.0f * 6.4951f);

  p.year_miles_repaired = 2.4995f;
  close_year_statistics(p);
  EXPECT_EQ(ctx.stats.miles_repaired[2], 3);
  p.year = 3;
  p.year_miles_repaired = 2.4994f;
  close_year_statistics(p);
  EXPECT_EQ(ctx.stats.miles_repaired[3], 2);
  EXPECT_EQ(ctx.stats.total_miles_repaired, 5);
  EXPECT_EQ(p.year_miles_repaired, 0.0f);

  // Lengths beyond 32 bits (a scores file's 1E+30) saturate, and so does
  // the total: both print as asterisks.
  p.year = 4;
  p.year_miles_repaired = 1e30f;
  close_year_statistics(p);
  EXPECT_EQ(ctx.stats.miles_repaired[4], std::numeric_limits<int32_t>::max());
  EXPECT_EQ(ctx.stats.total_miles_repaired, std::numeric_limits<int32_t>::max());
  p.year = 5;
  p.year_miles_repaired = 3e9f;
  close_year_statistics(p);
  EXPECT_EQ(ctx.stats.total_miles_repaired, std::numeric_limits<int32_t>::max());
}

}  // namespace
}  // namespace pavecast::testing
