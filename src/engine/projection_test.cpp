#include "engine/projection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "support/gcc_bugs.h"
#include "support/literal_scan.h"
#include "support/projection_fixture.h"

namespace pavecast::testing {
namespace {

using Lines = std::vector<std::string>;

// Four segments, two years, $1M a year, worst first, every rate 0.5. Worked
// by hand:
// year 2 (funds 1.0): seg 4 (2.0) rebuilt for exactly 1.0 -> 10.0; seg 2
//   (4.0) needs an overlay of 0.6 with nothing left: split, piece 5 of 0.0
//   miles repaired at no cost -> 7.0; the rest of seg 2 is taken again and
//   deteriorates to 3.5; seg 1 (7.0) -> 6.5; seg 3 (9.0) -> 8.5.
// year 3 (funds 1.0): seg 2 (3.5) overlay 0.6 -> 6.5; seg 1 (6.5) seal 0.1
//   -> 7.5; piece 5 (7.0) seal at no cost -> 8.0; seg 3 (8.5, class 9, no
//   action) -> 8.0; seg 4 (10.0) -> 9.5.
TEST(Projection, SmallNetworkWorkedByHand) {
  TestNetwork run(2);
  run.set_funding(1.0f);
  run.add_segment(7.0f, 2.0f);
  run.add_segment(4.0f, 3.0f);
  run.add_segment(9.0f, 1.0f);
  run.add_segment(2.0f, 1.0f);
  run.run();

  const Statistics& st = run.stats;
  EXPECT_EQ(run.segments.segment_count, 5);
  EXPECT_FLOAT_EQ(st.poor_miles[2], 3.0f);
  EXPECT_FLOAT_EQ(st.fair_poor_miles[2], 3.0f);
  EXPECT_FLOAT_EQ(st.score_miles[2], 10.0f + 0.0f + 10.5f + 13.0f + 8.5f);
  EXPECT_FLOAT_EQ(st.spent[2], 1.0f);
  EXPECT_EQ(st.miles_repaired[2], 1);
  EXPECT_FLOAT_EQ(st.poor_miles[3], 0.0f);
  EXPECT_FLOAT_EQ(st.fair_poor_miles[3], 0.0f);
  EXPECT_FLOAT_EQ(st.score_miles[3], 19.5f + 15.0f + 0.0f + 8.0f + 9.5f);
  EXPECT_FLOAT_EQ(st.spent[3], 0.7f);
  EXPECT_EQ(st.miles_repaired[3], 5);
  EXPECT_EQ(st.total_miles_repaired, 6);
  EXPECT_FLOAT_EQ(st.miles_by_action[kSeal], 2.0f);
  EXPECT_FLOAT_EQ(st.miles_by_action[kOverlay], 3.0f);
  EXPECT_FLOAT_EQ(st.miles_by_action[kRebuild], 1.0f);
  EXPECT_FLOAT_EQ(st.cost_by_action[kRebuild][2], 1.0f);
  EXPECT_FLOAT_EQ(st.cost_by_action[kOverlay][2], 0.0f);
  EXPECT_FLOAT_EQ(st.cost_by_action[kOverlay][3], 0.6f);
  EXPECT_FLOAT_EQ(st.cost_by_action[kSeal][3], 0.1f);
  EXPECT_NEAR(run.end().funds(), 0.3f, 1e-6);
  EXPECT_EQ(run.end().split_segment(), 0);  // the last year's money lasted

  const float scores[] = {0.0f, 7.5f, 6.5f, 8.0f, 9.5f, 8.0f};
  const float miles[] = {0.0f, 2.0f, 3.0f, 1.0f, 1.0f, 0.0f};
  for (int i = 1; i <= 5; ++i) {
    EXPECT_FLOAT_EQ(run.segments[i].score, scores[i]) << "segment " << i;
    EXPECT_FLOAT_EQ(run.segments[i].lane_miles, miles[i]) << "segment " << i;
  }
  EXPECT_EQ(run.segments[5].original_number, 2);

  EXPECT_EQ(run.observer.of("year"), (Lines{"year 2: 4 segments", "year 3: 5 segments"}));
  EXPECT_EQ(run.observer.events.back(), "end");
  EXPECT_EQ(run.observer.of("taken"), (Lines{"taken 2 #1: 4 score 2 miles 1 key 2",
                                             "taken 2 #2: 2 score 4 miles 3 key 4",
                                             "taken 2 #3: 2 score 4 miles 3 key 4",
                                             "taken 2 #4: 1 score 7 miles 2 key 7",
                                             "taken 2 #5: 3 score 9 miles 1 key 9",
                                             "taken 3 #1: 2 score 3.5 miles 3 key 3.5",
                                             "taken 3 #2: 1 score 6.5 miles 2 key 6.5",
                                             "taken 3 #3: 5 score 7 miles 0 key 7",
                                             "taken 3 #4: 3 score 8.5 miles 1 key 8.5",
                                             "taken 3 #5: 4 score 10 miles 1 key 10"}));
  EXPECT_EQ(run.observer.of("repair"),
            (Lines{"repair 2 #1: 4 by 3 score 2 miles 1 for 1, spent 1",
                   "repair 2 #2: 5 by 2 score 4 miles 0 for 0, spent 1, split",
                   "repair 3 #1: 2 by 2 score 3.5 miles 3 for 0.6, spent 0.6",
                   "repair 3 #2: 1 by 1 score 6.5 miles 2 for 0.1, spent 0.7",
                   "repair 3 #3: 5 by 1 score 7 miles 0 for 0, spent 0.7"}));
  // The piece is done as repaired when its segment is taken; the remainder
  // when taken again.
  EXPECT_EQ(run.observer.of("done 2"), (Lines{"done 2: 4 score 10 miles 1",
                                              "done 2: 5 score 7 miles 0",
                                              "done 2: 2 score 3.5 miles 3",
                                              "done 2: 1 score 6.5 miles 2",
                                              "done 2: 3 score 8.5 miles 1"}));
}

// The percentages and mean score of every year are derived when the loop
// ends, year 1 from the loader's sums, so that the report only reads them.
TEST(Projection, DerivesThePercentagesOfEveryYear) {
  TestNetwork run(1);
  run.in.year_slots = 3;
  run.add_segment(5.0f, 1.0f);  // class 5: overlay to 8, then sealed to 9
  run.add_segment(6.0f, 3.0f);  // class 6: sealed to 7, then to 8
  run.stats.poor_miles[1] = 1.0f;
  run.stats.fair_poor_miles[1] = 4.0f;
  run.stats.score_miles[1] = 23.0f;
  run.stats.spent[1] = 9.0f;  // the loaded year spends nothing
  run.run();
  const Statistics& st = run.stats;
  EXPECT_FLOAT_EQ(st.pct_poor[1], 25.0f);
  EXPECT_FLOAT_EQ(st.pct_fair[1], 75.0f);
  EXPECT_FLOAT_EQ(st.mean_score[1], 5.75f);
  EXPECT_EQ(st.spent[1], 0.0f);
  EXPECT_FLOAT_EQ(st.pct_poor[2], 0.0f);
  EXPECT_FLOAT_EQ(st.pct_fair[2], 0.0f);
  EXPECT_FLOAT_EQ(st.mean_score[2], (8.0f + 21.0f) / 4.0f);
  EXPECT_FLOAT_EQ(st.mean_score[3], (9.0f + 24.0f) / 4.0f);
  EXPECT_EQ(st.mean_score[4], 0.0f);

  TestNetwork none(0);  // nothing simulated: year 1 still derived
  none.add_segment(5.0f, 2.0f);
  none.stats.poor_miles[1] = 2.0f;
  none.run();
  EXPECT_FLOAT_EQ(none.stats.pct_poor[1], 100.0f);

  TestNetwork empty(1);  // no lane-miles: every figure 0.0, no division
  empty.run();
  EXPECT_EQ(empty.stats.pct_poor[2], 0.0f);
  EXPECT_EQ(empty.stats.mean_score[2], 0.0f);
}

TEST(Projection, NoYearToSimulate) {
  TestNetwork run(0);
  run.add_segment(5.0f, 1.0f);
  run.run();
  EXPECT_EQ(run.observer.events, (Lines{"end"}));
  EXPECT_FLOAT_EQ(run.segments[1].score, 5.0f);
  EXPECT_FLOAT_EQ(run.stats.score_miles[2], 0.0f);
}

TEST(Projection, UnspentMoneyCarriesOver) {
  TestNetwork run(2);
  run.set_funding(5.0f);
  run.add_segment(10.0f, 1.0f);  // class 10 and 9: no action in the matrix
  for (int j = 1; j <= kClasses; ++j) run.pavement.det_rate[1][j] = 0.25f;
  run.run();
  EXPECT_FLOAT_EQ(run.end().funds(), 10.0f);
  EXPECT_FLOAT_EQ(run.stats.spent[3], 0.0f);
}

TEST(Projection, TrafficIncreasesCompound) {
  TestNetwork run(5);
  run.in.vmt_increase[1] = 0.04f;
  run.in.vmt_increase[2] = 0.02f;
  run.in.vmt_increase[3] = 0.01f;
  run.add_segment(10.0f, 1.0f);
  run.run();

  float expected = 0.5f;
  for (float increase : {0.04f, 0.02f, 0.01f}) {
    const float factor = static_cast<float>(1.0 + 0.75 * static_cast<double>(increase));
    expected = static_cast<float>(static_cast<double>(expected) * static_cast<double>(factor));
  }
  EXPECT_EQ(run.pavement.det_rate[1][1], expected);
  EXPECT_EQ(run.pavement.det_rate[1][10], expected);
  EXPECT_EQ(run.pavement.det_rate[5][3], 0.0f);
}

TEST(Projection, NoTrafficIncreaseLeavesTheRates) {
  TestNetwork run(3);
  run.add_segment(10.0f, 1.0f);
  run.run();
  EXPECT_EQ(run.pavement.det_rate[1][4], 0.5f);
  EXPECT_FLOAT_EQ(run.segments[1].score, 8.5f);
}

// --- the program's ordered selection against the literal scan, whole runs

PAVECAST_GCC_BUG_105651_BEGIN
struct RandomNetwork {
  uint32_t seed;

  void build(TestNetwork& run) const {
    std::mt19937 rng(seed);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    ProjectionInputs& in = run.in;
    in.year_slots = pick(1, 6) + 1;
    in.order = repair_order_of(pick(1, 4));
    in.budget = pick(0, 3) == 0 ? ForcedRepairBudget::kNeither
                                : ForcedRepairBudget::kReserveAndExempt;
    for (int y = 2; y <= in.year_slots; ++y)
      in.funding[y] = 0.25f * static_cast<float>(pick(0, 12));
    for (int c = 1; c <= 8; ++c) in.priority[c] = pick(1, 4);
    for (int a = 1; a <= 3; ++a) in.actions[a].max_repeats = pick(0, 4) == 0 ? pick(0, 2) : 1000;
    for (int j = 1; j <= kClasses; ++j)
      run.pavement.det_rate[1][j] = 0.25f * static_cast<float>(pick(0, 4));

    // Few distinct random numbers so that keys tie, sometimes a bad one.
    std::vector<std::optional<float>> numbers;
    for (int n = pick(3, 30); n > 0; --n)
      numbers.push_back(pick(0, 40) == 0 ? std::nullopt
                                         : std::optional<float>(0.1f * static_cast<float>(pick(1, 4))));
    run.numbers = GivenNumbers(numbers);

    const int segments = pick(1, 90);
    for (int i = 1; i <= segments; ++i) {
      const float score = pick(0, 2) == 0 ? static_cast<float>(pick(1, 10))
                                          : static_cast<float>(pick(100, 1000)) / 100.0f;
      run.add_segment(score, static_cast<float>(pick(1, 40)) / 10.0f, pick(1, 2));
      run.segments[i].order_key = static_cast<float>(static_cast<int>(score));
    }
    for (int k = pick(0, 5); k > 0; --k) run.force(pick(1, 8), pick(0, segments + 1));
    if (pick(0, 2) == 0) {
      run.reconstruct(20.0f);
      for (int n = 1; n <= kReconNumbers; ++n)
        in.reconstruction.numbers[n] = static_cast<float>(pick(0, 9)) / 10.0f;
    }
  }
};

struct RunResult {
  std::vector<std::string> events;
  Statistics stats;
  std::vector<float> scores, miles, keys;
};

RunResult run_network(const RandomNetwork& network, SegmentSelection* selection) {
  TestNetwork run;
  network.build(run);
  run.run(selection);
  RunResult r{run.observer.events, run.stats, {}, {}, {}};
  for (int i = 1; i <= run.segments.segment_count; ++i) {
    r.scores.push_back(run.segments[i].score);
    r.miles.push_back(run.segments[i].lane_miles);
    r.keys.push_back(run.segments[i].order_key);
  }
  return r;
}
PAVECAST_GCC_BUG_105651_END

TEST(Projection, OrderedSelectionRunsLikeTheLiteralScan) {
  for (uint32_t seed = 1; seed <= 150; ++seed) {
    const RandomNetwork network{seed};
    LiteralScan scan;
    const RunResult a = run_network(network, nullptr);
    const RunResult b = run_network(network, &scan);
    ASSERT_EQ(a.events, b.events) << "seed " << seed;
    ASSERT_EQ(a.scores, b.scores) << "seed " << seed;
    ASSERT_EQ(a.miles, b.miles) << "seed " << seed;
    ASSERT_EQ(a.keys, b.keys) << "seed " << seed;
    ASSERT_EQ(a.stats.score_miles, b.stats.score_miles) << "seed " << seed;
    ASSERT_EQ(a.stats.spent, b.stats.spent) << "seed " << seed;
    ASSERT_EQ(a.stats.cost_by_action, b.stats.cost_by_action) << "seed " << seed;
  }
}

// --- money: single precision for the program, double for the scenario tool

// The most a year spent beyond its money (its funding and what earlier
// years left), over a projection of 2,000 segments at $250M a year, with
// the sum of each year's repair costs against its spent money.
template <typename Money>
struct MoneyCheck {
  double overspent = -1.0;  // the worst year's spent minus its money
  double costs_off = 0.0;   // the worst year's |sum of repair costs - spent|

  MoneyCheck() {
    struct CostSums : BasicProjectionObserver<Money> {
      std::vector<double> by_year = std::vector<double>(kMaxYearSlots + 1, 0.0);
      bool follows_segments_taken() const override { return false; }
      bool follows_segments_done() const override { return false; }
      void repair_made(const BasicRepairEvent<Money>& r, const Segment&) override {
        by_year[static_cast<std::size_t>(r.year)] += static_cast<double>(r.cost);
      }
    } costs;
    BasicTestNetwork<Money> run(3, kNoSegmentLimit);
    run.set_funding(250.0f);
    std::mt19937 rng(2);
    std::uniform_int_distribution<int> score(100, 1000), miles(1, 40);
    for (int i = 0; i < 2000; ++i)
      run.add_segment(static_cast<float>(score(rng)) / 100.0f,
                      static_cast<float>(miles(rng)) / 10.0f);
    BasicProjection<Money>(run.in, {run.segments, run.pavement, run.forced, run.stats}, costs)
        .run();
    double carried = 0.0;
    for (int y = 2; y <= 4; ++y) {
      const double money = carried + 250.0, spent = static_cast<double>(run.stats.spent[y]);
      overspent = std::max(overspent, spent - money);
      costs_off = std::max(costs_off, std::abs(costs.by_year[static_cast<std::size_t>(y)] - spent));
      carried = money - spent;
    }
  }
};

// Single-precision sums drift by the rounding of each repair: a year can
// spend a little more than its money. Kept for the program, whose reals are
// single precision; the tool's double-precision money never overspends, and
// its repairs' costs add up to the year's spent money to a real cent.
TEST(Money, SinglePrecisionDriftsAndDoublePrecisionHoldsToTheCent) {
  const MoneyCheck<float> program;
  EXPECT_GT(program.overspent, 1e-8);
  const MoneyCheck<double> tool;
  EXPECT_LE(tool.overspent, 0.0);
  EXPECT_LE(tool.costs_off, 1e-8);
}

// The piece of a split is never charged more than the money left: in double
// precision its float lane-miles are shortened until the cost fits.
TEST(Money, ExactSplitNeverCostsMoreThanTheMoneyLeft) {
  for (float funding : {0.3f, 1.0f / 3.0f, 2500.01f, 60000.0f}) {
    BasicTestNetwork<double> run(1);
    run.set_funding(funding);
    run.in.actions[kOverlay].action_cost = 0.7f;
    run.add_segment(4.0f, 1e6f);  // far more than the money pays for
    run.run();
    ASSERT_EQ(run.segments.segment_count, 2) << funding;
    EXPECT_LE(run.stats.spent[2], static_cast<double>(funding)) << funding;
    EXPECT_GE(run.end().funds(), 0.0) << funding;
    EXPECT_NEAR(run.stats.spent[2], funding, 1e-7 * funding) << funding;  // a float step of miles
  }
}

}  // namespace
}  // namespace pavecast::testing
