#include "engine/selection.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "support/projection_fixture.h"
#include "support/literal_scan.h"

namespace pavecast::testing {
namespace {

// The keys of the rows, none handled yet.
PassOrder pass_order_of(const SegmentTable& segments) {
  PassOrder order;
  order.key.assign(static_cast<std::size_t>(segments.segment_count) + 1, 0.0f);
  order.handled.assign(order.key.size(), 0);
  for (int32_t d = 1; d <= segments.segment_count; ++d) order.key[d] = segments[d].order_key;
  return order;
}

// The whole sequence of a year's pass with nothing but selection: each
// selected segment is marked handled.
std::vector<int32_t> scan_sequence(const SegmentTable& segments, bool best_first,
                                   int32_t split = 0) {
  PassOrder order = pass_order_of(segments);
  std::vector<int32_t> seq;
  for (int32_t i; (i = scan_next_segment(order, segments.segment_count, split, best_first)) != 0;) {
    order.handled[i] = 1;
    seq.push_back(i);
  }
  return seq;
}

TEST(Selection, TiesGoToTheSegmentMetFirst) {
  TestNetwork run;
  for (float key : {5.0f, 3.0f, 5.0f, 3.0f, 7.0f}) run.add_segment(key, 1.0f);
  EXPECT_EQ(scan_sequence(run.segments, false), (std::vector<int32_t>{2, 4, 1, 3, 5}));
  EXPECT_EQ(scan_sequence(run.segments, true), (std::vector<int32_t>{5, 1, 3, 2, 4}));
}

// After segment s is split the scan runs n - s + 1, ..., n, 1, ..., n - s.
TEST(Selection, ScanIsRotatedAfterASplit) {
  TestNetwork run;
  for (int i = 1; i <= 6; ++i) run.add_segment(4.0f, 1.0f);
  EXPECT_EQ(scan_sequence(run.segments, false, 2), (std::vector<int32_t>{5, 6, 1, 2, 3, 4}));
}

TEST(Selection, KeysThatCanNeverBeBestAreNotTaken) {
  TestNetwork run;
  run.add_segment(1.0f, 1.0f);
  run.add_segment(1.0f, 1.0f);
  run.segments[1].order_key = 21.0f;
  run.segments[2].order_key = 0.0f;
  const PassOrder keys = pass_order_of(run.segments);
  OrderedSelection order;
  order.begin_year();
  EXPECT_EQ(scan_next_segment(keys, 2, 0, false), 2);
  EXPECT_EQ(order.next(run.segments, keys, 0, false), 2);
  order.begin_year();
  EXPECT_EQ(scan_next_segment(keys, 2, 0, true), 1);
  EXPECT_EQ(order.next(run.segments, keys, 0, true), 1);
}

// --- order keys drawn from the numbers

// The rows' keys once the run has ended.
std::vector<float> row_keys(const TestNetwork& run) {
  std::vector<float> keys;
  for (int32_t i = 1; i <= run.segments.segment_count; ++i) keys.push_back(run.segments[i].order_key);
  return keys;
}

TEST(OrderKeys, RandomOrderDrawsInTurnAndRestartsAtTheEnd) {
  for (int years : {1, 2}) {
    TestNetwork run(years);
    run.in.order = RepairOrder::kRandom;
    run.numbers = GivenNumbers({0.1f, 0.2f, 0.3f});
    for (int i = 1; i <= 5; ++i) run.add_segment(5.0f, 1.0f);
    run.segments[4].order_key = 0.75f;
    run.run();
    // The end fails the draw (segment 4 keeps its key), then the numbers
    // start again; the second year goes on from there.
    if (years == 1)
      EXPECT_EQ(row_keys(run), (std::vector<float>{0.1f, 0.2f, 0.3f, 0.75f, 0.1f}));
    else
      EXPECT_EQ(row_keys(run), (std::vector<float>{0.2f, 0.3f, 0.3f, 0.1f, 0.2f}));
  }
}

TEST(OrderKeys, AFailedDrawKeepsTheKey) {
  TestNetwork run(1);
  run.in.order = RepairOrder::kRandom;
  run.numbers = GivenNumbers({0.1f, std::nullopt, 0.3f});
  for (int i = 1; i <= 4; ++i) run.add_segment(5.0f, 1.0f);
  run.run();
  EXPECT_EQ(row_keys(run), (std::vector<float>{0.1f, 5.0f, 0.1f, 5.0f}));

  TestNetwork none(2);  // no numbers at all
  none.in.order = RepairOrder::kRandom;
  none.add_segment(5.0f, 1.0f);
  none.segments[1].order_key = 0.5f;
  none.run();
  EXPECT_EQ(row_keys(none), (std::vector<float>{0.5f}));
}

TEST(OrderKeys, PriorityOrderDividesByThePriorityOfTheClass) {
  TestNetwork run(1);
  run.in.order = RepairOrder::kPriority;
  run.in.priority[5] = 4;
  run.in.priority[6] = 8;
  run.numbers = GivenNumbers({0.5f, 0.5f});
  run.add_segment(5.4997f, 1.0f);  // class 5 at 0.5002
  run.add_segment(5.4998f, 1.0f);  // class 6
  run.run();
  EXPECT_EQ(run.observer.of("taken"),
            (std::vector<std::string>{"taken 2 #1: 2 score 5.4998 miles 1 key 0.0625",
                                      "taken 2 #2: 1 score 5.4997 miles 1 key 0.125"}));
}

// --- the ordered selection gives the scan's sequence

// One simulated pass over a table of random keys: selections interleaved
// with splits (the split segment goes back, a handled piece is added, the
// scan rotates) and with segments handled out of turn.
void compare_one_pass(std::mt19937& rng, int order_code, int max_segments, bool few_keys) {
  SegmentTable segments(max_segments + 1);
  PassOrder keys;
  keys.key.assign(static_cast<std::size_t>(max_segments) + 2, 0.0f);
  keys.handled.assign(keys.key.size(), 0);
  const bool best = order_code == 4;
  int32_t split = 0;
  std::uniform_int_distribution<int> count(max_segments / 10 + 1, max_segments);
  std::uniform_real_distribution<float> any_key(0.0f, 11.0f);
  std::uniform_int_distribution<int> few(0, 6);
  const int n = count(rng);
  for (int i = 1; i <= n; ++i) {
    segments.segment_count = i;
    // Few distinct keys, so ties are common; some that can never be taken.
    const int pick = few(rng);
    keys.key[i] = pick == 6  ? (order_code == 4 ? 0.0f : 21.5f)
                  : few_keys ? static_cast<float>(pick) * 0.25f + 1.0f
                             : any_key(rng);
    keys.handled[i] = few(rng) == 0 ? 1 : 0;
  }
  OrderedSelection order;
  order.begin_year();
  std::vector<int32_t> scanned, ordered;
  bool split_done = false;
  for (;;) {
    const int32_t a = scan_next_segment(keys, segments.segment_count, split, best);
    const int32_t b = order.next(segments, keys, split, best);
    scanned.push_back(a);
    ordered.push_back(b);
    if (a != b || a == 0) break;
    keys.handled[a] = 1;
    if (!split_done && few(rng) == 0) {
      split_done = true;
      const int32_t j = ++segments.segment_count;
      keys.key[j] = keys.key[a];
      keys.handled[j] = 1;
      keys.handled[a] = 0;
      split = a;
    }
  }
  ASSERT_EQ(scanned, ordered) << "order " << order_code << ", " << n << " segments";
}

TEST(OrderedSelection, SameSequenceAsTheScanOnRandomTables) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 300; ++round)
    for (int order_code = 1; order_code <= 4; ++order_code)
      compare_one_pass(rng, order_code, 200, true);
}

TEST(OrderedSelection, SameSequenceAsTheScanOnLargeTables) {
  std::mt19937 rng(777);
  for (int order_code = 1; order_code <= 4; ++order_code) {
    compare_one_pass(rng, order_code, 6000, false);
    compare_one_pass(rng, order_code, 6000, true);
  }
}

// --- cost-effectiveness order (the scenario tool's)

// Keys are minus the benefit per dollar: a seal (0.05 a lane-mile for 1
// point) on a fair road is taken before a rebuild (1.0 for 9 points, capped
// at 10) of a worse one, and ties go to the lower segment number. A segment
// the matrix gives no action is taken last.
TEST(CostEffectiveness, MostBenefitPerDollarFirst) {
  TestNetwork run(1);
  run.in.order = RepairOrder::kCostEffectiveness;
  run.set_funding(0.05f);       // one seal of a lane-mile, then the money is gone
  run.add_segment(1.5f, 1.0f);  // class 2: rebuild 84
  run.add_segment(9.6f, 1.0f);  // class 10: no action
  run.add_segment(7.0f, 1.0f);  // class 7: seal 28
  run.add_segment(7.0f, 1.0f);  // the same: a tie
  run.run();
  // Over the one year of the run the seal lifts 7 to 8 where the road would
  // fall to 6.5: 1.5 points for 0.05, 30 a dollar. The rebuild lifts 1.5 to
  // 10 where it would stay at 1: 9 points for 1.0, 9 a dollar. Segment 4's
  // seal finds the money gone and splits; its remainder is taken again.
  EXPECT_EQ(run.observer.of("taken"),
            (std::vector<std::string>{"taken 2 #1: 3 score 7 miles 1 key -30",
                                      "taken 2 #2: 4 score 7 miles 1 key -30",
                                      "taken 2 #3: 4 score 7 miles 1 key -30",
                                      "taken 2 #4: 1 score 1.5 miles 1 key -9",
                                      "taken 2 #5: 2 score 9.6 miles 1 key 0"}));
  EXPECT_EQ(run.segments[3].score, 8.0f);
}

}  // namespace
}  // namespace pavecast::testing
