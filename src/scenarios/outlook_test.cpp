#include "scenarios/outlook.h"

#include <gtest/gtest.h>

#include "support/projection_fixture.h"

namespace pavecast {
namespace {

using testing::BasicTestNetwork;

Segment segment(float score, int32_t type = 1, float miles = 1.0f) {
  Segment s;
  s.score = score;
  s.pavement_type = type;
  s.lane_miles = miles;
  return s;
}

// Years to poor at the engine's deterioration: the class boundary at
// offset 0.505, rates by class, and the cases that never get there.
TEST(RemainingLife, CountsTheYearsToClassFiveAndCapsWhatNeverGetsThere) {
  BasicTestNetwork<double> net;  // type 1 loses 0.5 a year, type 2 0.25
  const PavementTypes& rates = net.pavement;
  EXPECT_EQ(remaining_life(segment(5.49f), rates), 0);  // class 5: poor now
  EXPECT_EQ(remaining_life(segment(1.0f), rates), 0);
  EXPECT_EQ(remaining_life(segment(5.5f), rates), 1);   // class 6, 5.0 next year
  // 7.5 7.0 6.5 6.0 5.5 are class 6 or better; 5.0 is the sixth year's.
  EXPECT_EQ(remaining_life(segment(8.0f), rates), 6);
  EXPECT_EQ(remaining_life(segment(8.0f, 2), rates), 11);

  // The rate of each class as the segment passes through it.
  PavementTypes faster = rates;
  faster.det_rate[1][11 - 8] = 2.0f;  // class 8
  EXPECT_EQ(remaining_life(segment(8.0f), faster), 3);  // 6.0 5.5 5.0

  PavementTypes still = rates;
  for (float& r : still.det_rate[1]) r = 0.0f;
  EXPECT_EQ(remaining_life(segment(9.0f), still), kLifeCap);
  for (float& r : still.det_rate[1]) r = -0.5f;  // improving roads never reach poor
  EXPECT_EQ(remaining_life(segment(9.0f), still), kLifeCap);
  EXPECT_EQ(remaining_life(segment(10.0f, 2), rates), 19);
  // A walk stopped at the last band's first year gives every band the whole
  // count gives.
  for (float score = 5.0f; score <= 10.5f; score += 0.01f)
    EXPECT_EQ(life_band(remaining_life(segment(score, 2), rates, kLastBandYears)),
              life_band(remaining_life(segment(score, 2), rates)))
        << score;
  EXPECT_EQ(life_text(kLifeCap), "30+");
  EXPECT_EQ(life_text(7), "7");
}

TEST(RemainingLife, BandsMeetAtTheirEdges) {
  const int32_t years[] = {0, 1, 3, 4, 7, 8, 12, 13, kLifeCap};
  const int32_t bands[] = {0, 1, 1, 2, 2, 3, 3, 4, 4};
  for (std::size_t k = 0; k < std::size(years); ++k)
    EXPECT_EQ(life_band(years[k]), bands[k]) << years[k];
  EXPECT_STREQ(life_band_label(3), "8-12");
}

// The matrix action's cost for the segment's lane-miles; a 0 in the matrix,
// or a number no action carries, is no work.
TEST(Backlog, TheMatrixActionsCostForTheLaneMiles) {
  BasicTestNetwork<double> net;
  Outlook o;
  const PolicyActions actions(net.in);
  o.add_backlog(segment(4.0f, 1, 3.0f), net.in, actions);   // overlay: 0.4 per 2 lane-miles
  o.add_backlog(segment(7.0f, 2, 1.5f), net.in, actions);   // seal: 0.1 per 2
  o.add_backlog(segment(9.5f, 1, 10.0f), net.in, actions);  // class 10: no work
  EXPECT_NEAR(o.backlog, 3.0 * 0.4 / 2 + 1.5 * 0.1 / 2, 1e-6);
  EXPECT_DOUBLE_EQ(o.backlog_lane_miles, 4.5);

  net.in.policy[1][4] = 99;  // no action carries it
  Outlook none;
  none.add_backlog(segment(4.0f, 1, 3.0f), net.in, PolicyActions(net.in));
  EXPECT_EQ(none.backlog, 0.0);
  EXPECT_EQ(none.backlog_lane_miles, 0.0);
}

}  // namespace
}  // namespace pavecast
