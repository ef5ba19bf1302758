#include "engine/selection.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/engine_run.h"
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
  EngineRun run;
  for (float key : {5.0f, 3.0f, 5.0f, 3.0f, 7.0f}) run.add_segment(key, 1.0f);
  EXPECT_EQ(scan_sequence(run.ctx.segments, false), (std::vector<int32_t>{2, 4, 1, 3, 5}));
  EXPECT_EQ(scan_sequence(run.ctx.segments, true), (std::vector<int32_t>{5, 1, 3, 2, 4}));
}

// After segment s is split the scan runs n - s + 1, ..., n, 1, ..., n - s.
TEST(Selection, ScanIsRotatedAfterASplit) {
  EngineRun run;
  for (int i = 1; i <= 6; ++i) run.add_segment(4.0f, 1.0f);
  EXPECT_EQ(scan_sequence(run.ctx.segments, false, 2), (std::vector<int32_t>{5, 6, 1, 2, 3, 4}));
}

TEST(Selection, KeysThatCanNeverBeBestAreNotTaken) {
  EngineRun run;
  run.add_segment(1.0f, 1.0f);
  run.add_segment(1.0f, 1.0f);
  run.ctx.segments[1].order_key = 21.0f;
  run.ctx.segments[2].order_key = 0.0f;
  const PassOrder keys = pass_order_of(run.ctx.segments);
  OrderedSelection order;
  order.begin_year();
  EXPECT_EQ(scan_next_segment(keys, 2, 0, false), 2);
  EXPECT_EQ(order.next(run.ctx.segments, keys, 0, false), 2);
  order.begin_year();
  EXPECT_EQ(scan_next_segment(keys, 2, 0, true), 1);
  EXPECT_EQ(order.next(run.ctx.segments, keys, 0, true), 1);
}

// --- order keys from data/random.dat

TEST(OrderKeys, RandomOrderReadsInTurnAndRestartsAtTheEnd) {
  EngineRun run;
  run.ctx.repair_order = 1;
  run.dir.write("data/random.dat", ".10000\n 20000\n.30000\n");
  for (int i = 1; i <= 5; ++i) run.add_segment(5.0f, 1.0f);
  run.ctx.segments[4].order_key = 0.75f;
  Projection& engine = run.prepare();
  draw_order_keys(engine);
  const float expected[] = {0.0f, 0.1f, 0.2f, 0.3f, 0.75f, 0.1f};
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(engine.pass.key[i], expected[i]) << i;
  draw_order_keys(engine);  // replays .2 .3, end, .1 .2
  const float again[] = {0.0f, 0.2f, 0.3f, 0.3f, 0.1f, 0.2f};
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(engine.pass.key[i], again[i]) << i;
}

TEST(OrderKeys, UnreadableLineRestartsLikeTheEnd) {
  EngineRun run;
  run.ctx.repair_order = 1;
  run.dir.write("data/random.dat", ".10000\nx.y\n.30000\n");
  for (int i = 1; i <= 4; ++i) run.add_segment(5.0f, 1.0f);
  Projection& engine = run.prepare();
  draw_order_keys(engine);
  const float expected[] = {0.0f, 0.1f, 5.0f, 0.1f, 5.0f};  // 5.0: the key kept
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(engine.pass.key[i], expected[i]) << i;
}

TEST(OrderKeys, MissingFileLeavesEveryKey) {
  EngineRun run;
  run.ctx.repair_order = 1;
  run.add_segment(5.0f, 1.0f);
  run.ctx.segments[1].order_key = 0.5f;
  Projection& engine = run.prepare();
  draw_order_keys(engine);
  draw_order_keys(engine);
  EXPECT_EQ(engine.pass.key[1], 0.5f);
  EXPECT_TRUE(run.dir.exists("data/random.dat"));
}

TEST(OrderKeys, PriorityOrderDividesByThePriorityOfTheClass) {
  EngineRun run;
  run.ctx.repair_order = 2;
  run.ctx.priority[5] = 4;
  run.ctx.priority[6] = 8;
  run.dir.write("data/random.dat", ".50000\n.50000\n");
  run.add_segment(5.4997f, 1.0f);  // class 5 at 0.5002
  run.add_segment(5.4998f, 1.0f);  // class 6
  Projection& engine = run.prepare();
  draw_order_keys(engine);
  EXPECT_EQ(engine.pass.key[1], 0.125f);
  EXPECT_EQ(engine.pass.key[2], 0.0625f);
}

TEST(OrderKeys, NumberOf21OrMoreStopsTheRun) {
  EngineRun run;
  run.ctx.repair_order = 2;
  run.ctx.priority[5] = 100;  // tested before the division
  run.dir.write("data/random.dat", ".50000\n21.000\n");
  run.add_segment(5.0f, 1.0f);
  run.add_segment(5.0f, 1.0f);
  EXPECT_EQ(fatal_text_of([&] { run.run(); }),
            " ** Fatal Error: a number of 21.0 or more, file data/random.dat, line 2\n");
}

// The key shown is stored as a float before it is written: 0.12345 x 10000
// is 1234.5, which prints as "1234.".
TEST(OrderKeys, KeyShownInTheSegmentList) {
  EngineRun run(1);
  run.ctx.repair_order = 1;
  run.dir.write("data/random.dat", ".12345\n");
  run.add_segment(9.0f, 1.0f);
  run.open_listings();
  run.run();
  EXPECT_EQ(run.segment_list(), lines({" ", "   1      1    1    2     9      1.0    1234."}));
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
  EngineRun run(1);
  run.ctx.repair_order = 5;
  run.set_funding(0.05f);       // one seal of a lane-mile, then the money is gone
  run.add_segment(1.5f, 1.0f);  // class 2: rebuild 84
  run.add_segment(9.6f, 1.0f);  // class 10: no action
  run.add_segment(7.0f, 1.0f);  // class 7: seal 28
  run.add_segment(7.0f, 1.0f);  // the same: a tie
  run.open_listings();
  run.run();
  // Over the one year of the run the seal lifts 7 to 8 where the road would
  // fall to 6.5: 1.5 points for 0.05, 30 a dollar. The rebuild lifts 1.5 to
  // 10 where it would stay at 1: 9 points for 1.0, 9 a dollar. Segment 4's
  // seal finds the money gone and splits; its remainder is taken again.
  EXPECT_EQ(run.segment_list(), lines({" ", "   1      3    1    2     7      1.0     -30.",
                                       "   2      4    1    2     7      1.0     -30.",
                                       "   3      4    1    2     7      1.0     -30.",
                                       "   4      1    1    2     2      1.0      -9.",
                                       "   5      2    1    2    10      1.0       0."}));
  EXPECT_EQ(run.ctx.segments[3].score, 8.0f);
}

}  // namespace
}  // namespace pavecast::testing
