#include "engine/projection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <string>

#include "app/program.h"
#include "support/engine_run.h"
#include "support/literal_scan.h"
#include "support/gcc_bugs.h"
#include "fatal/fatal.h"

namespace pavecast::testing {
namespace {

std::string year_message(int year, int segments) {
  std::string y = std::to_string(year), n = std::to_string(segments);
  return std::string(17, ' ') + " Processing year " + std::string(3 - y.size(), ' ') + y +
         ".  It has " + std::string(4 - n.size(), ' ') + n + " segments.\n";
}

const std::string kClosing = std::string(64, ' ') + "\n";

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
  EngineRun run(2);
  run.set_funding(1.0f);
  run.add_segment(7.0f, 2.0f);
  run.add_segment(4.0f, 3.0f);
  run.add_segment(9.0f, 1.0f);
  run.add_segment(2.0f, 1.0f);
  run.open_listings();
  run.run();

  const RunContext& ctx = run.ctx;
  const Statistics& st = ctx.stats;
  EXPECT_EQ(ctx.segments.segment_count, 5);
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
  EXPECT_NEAR(run.end().funds, 0.3f, 1e-6);

  const float scores[] = {0.0f, 7.5f, 6.5f, 8.0f, 9.5f, 8.0f};
  const float miles[] = {0.0f, 2.0f, 3.0f, 1.0f, 1.0f, 0.0f};
  for (int i = 1; i <= 5; ++i) {
    EXPECT_FLOAT_EQ(ctx.segments[i].score, scores[i]) << "segment " << i;
    EXPECT_FLOAT_EQ(ctx.segments[i].lane_miles, miles[i]) << "segment " << i;
  }
  EXPECT_EQ(ctx.segments[5].original_number, 2);

  EXPECT_EQ(run.console.output(), year_message(2, 4) + year_message(3, 5) + kClosing);
  EXPECT_EQ(run.segment_list(), lines({" ", "   1      4    1    2     2      1.0       2.",
                                       "   2      2    1    2     4      3.0       4.",
                                       "   3      2    1    2     4      3.0       4.",
                                       "   4      1    1    2     7      2.0       7.",
                                       "   5      3    1    2     9      1.0       9.", " ",
                                       "   1      2    1    3     4      3.0       4.",
                                       "   2      1    1    3     7      2.0       6.",
                                       "   3      5    1    3     7      0.0       7.",
                                       "   4      3    1    3     9      1.0       8.",
                                       "   5      4    1    3    10      1.0      10."}));
  EXPECT_EQ(run.improvements(),
            lines({" ", "   1      4   1    2     2      84    1.0   1.000   1.000",
                   "   2      5   1    2     4      47    0.0   0.000   1.000", " ",
                   "   1      2   1    3     4      47    3.0   0.600   0.600",
                   "   2      1   1    3     7      28    2.0   0.100   0.700",
                   "   3      5   1    3     7      28    0.0   0.000   0.700"}));
}

TEST(Projection, NoYearToSimulate) {
  EngineRun run(0);
  run.add_segment(5.0f, 1.0f);
  run.open_listings();
  run.run();
  EXPECT_EQ(run.console.output(), kClosing);
  EXPECT_EQ(run.segment_list(), "");
  EXPECT_EQ(run.improvements(), "");
  EXPECT_FLOAT_EQ(run.ctx.segments[1].score, 5.0f);
  EXPECT_FLOAT_EQ(run.ctx.stats.score_miles[2], 0.0f);
}

TEST(Projection, UnspentMoneyCarriesOver) {
  EngineRun run(2);
  run.set_funding(5.0f);
  run.add_segment(10.0f, 1.0f);  // class 10 and 9: no action in the matrix
  for (int j = 1; j <= kClasses; ++j) run.ctx.pavement.det_rate[1][j] = 0.25f;
  run.run();
  EXPECT_FLOAT_EQ(run.end().funds, 10.0f);
  EXPECT_FLOAT_EQ(run.ctx.stats.spent[3], 0.0f);
}

TEST(Projection, TrafficIncreasesCompoundAndStopWhereTheFileEnds) {
  EngineRun run(5);
  run.ctx.vmt_answer = 'Y';
  run.dir.write("data/vmt-inc.dat", "4.00\n20000\n1.0\n");  // 4%, 2% (implied decimals), 1%
  run.add_segment(10.0f, 1.0f);
  run.run();

  float expected = 0.5f;
  for (float increase : {0.04f, 0.02f, 0.01f}) {
    const float factor = static_cast<float>(1.0 + 0.75 * static_cast<double>(increase));
    expected = static_cast<float>(static_cast<double>(expected) * static_cast<double>(factor));
  }
  EXPECT_FLOAT_EQ(run.ctx.vmt_increase[1], 0.04f);
  EXPECT_FLOAT_EQ(run.ctx.vmt_increase[2], 0.02f);
  EXPECT_FLOAT_EQ(run.ctx.vmt_increase[4], 0.0f);
  EXPECT_EQ(run.ctx.pavement.det_rate[1][1], expected);
  EXPECT_EQ(run.ctx.pavement.det_rate[1][10], expected);
  EXPECT_EQ(run.ctx.pavement.det_rate[5][3], 0.0f);
}

TEST(Projection, TrafficIncreasesUnusedLeaveTheRates) {
  EngineRun run(3);
  run.dir.write("data/vmt-inc.dat", "9.00\n9.00\n9.00\n");
  run.add_segment(10.0f, 1.0f);
  run.run();
  EXPECT_EQ(run.ctx.pavement.det_rate[1][4], 0.5f);
  EXPECT_FLOAT_EQ(run.ctx.segments[1].score, 8.5f);
}

// The bundled example (800 segments, 10 years at $40M, worst first) run with
// every default: the year loop completes and each year leaves its records.
TEST(Projection, BundledExampleRunsItsTenYears) {
  TempDir dir;
  std::filesystem::copy(
      std::filesystem::path(PAVECAST_SOURCE_DIR) / "example", dir.path(),
      std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
  ProgramOptions options;
  options.workdir = dir.workdir();
  options.start_time = StartTime{2026, 1, 2, 3, 4};
  options.printer_device_prefix = (dir.path() / "no-printer").string();
  std::istringstream in(std::string(400, '\n'));
  std::ostringstream out;
  ASSERT_EQ(run_program(options, in, out), 0) << out.str();

  const std::string console = out.str();
  EXPECT_NE(console.find(year_message(2, 800)), std::string::npos);
  EXPECT_NE(console.find(std::string(17, ' ') + " Processing year  11."), std::string::npos);
  EXPECT_EQ(console.find(" Processing year  12."), std::string::npos);
  EXPECT_NE(console.find("segments.\n" + kClosing), std::string::npos);
  const std::string list = dir.read("NET1-c.scr");
  int year_records = 0;
  for (std::size_t p = 0; (p = list.find("\n \n", p)) != std::string::npos; ++p) ++year_records;
  EXPECT_EQ(year_records, 10);
}

// --- the program's ordered selection against the literal scan, whole runs

PAVECAST_GCC_BUG_105651_BEGIN
struct RandomNetwork {
  uint32_t seed;

  void build(EngineRun& run) const {
    std::mt19937 rng(seed);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    RunContext& ctx = run.ctx;
    ctx.years = pick(1, 6);
    ctx.year_slots = ctx.years + 1;
    ctx.repair_order = pick(1, 4);
    ctx.budget_constrained = pick(0, 3) == 0 ? 'N' : 'Y';
    for (int y = 2; y <= ctx.year_slots; ++y)
      ctx.funding[y] = 0.25f * static_cast<float>(pick(0, 12));
    for (int c = 1; c <= 8; ++c) ctx.priority[c] = pick(1, 4);
    for (int a = 1; a <= 3; ++a) ctx.actions[a].max_repeats = pick(0, 4) == 0 ? pick(0, 2) : 1000;
    for (int j = 1; j <= kClasses; ++j)
      ctx.pavement.det_rate[1][j] = 0.25f * static_cast<float>(pick(0, 4));

    // Few distinct random numbers so that keys tie, sometimes a bad line.
    std::string numbers;
    for (int n = pick(3, 30); n > 0; --n)
      numbers += pick(0, 40) == 0 ? "bad\n" : "." + std::to_string(pick(1, 4)) + "0000\n";
    run.dir.write("data/random.dat", numbers);

    const int segments = pick(1, 90);
    for (int i = 1; i <= segments; ++i) {
      const float score = pick(0, 2) == 0 ? static_cast<float>(pick(1, 10))
                                          : static_cast<float>(pick(100, 1000)) / 100.0f;
      run.add_segment(score, static_cast<float>(pick(1, 40)) / 10.0f, pick(1, 2));
      ctx.segments[i].order_key = static_cast<float>(static_cast<int>(score));
    }
    for (int k = pick(0, 5); k > 0; --k) run.force(pick(1, 8), pick(0, segments + 1));
    if (pick(0, 2) == 0) {
      ctx.reconstruct_answer = 'Y';
      ctx.recon_numbers_loaded = true;
      ctx.reconstruct_probability = 0.2f;
      for (int n = 1; n <= kReconNumbers; ++n)
        ctx.recon_random[n] = static_cast<float>(pick(0, 9)) / 10.0f;
    }
    run.open_listings();
    run.trace(pick(1, segments));
    run.trace(pick(1, segments));
  }
};

struct RunResult {
  std::string console, segment_list, improvements, trace1, trace2;
  Statistics stats;
  std::vector<float> scores, miles, keys;
};

RunResult run_network(const RandomNetwork& network, SegmentSelection* selection) {
  EngineRun run;
  network.build(run);
  run.run(selection);
  RunResult r{run.console.output(),
              run.segment_list(),
              run.improvements(),
              run.trace_file(1),
              run.trace_file(2),
              run.ctx.stats,
              {},
              {},
              {}};
  for (int i = 1; i <= run.ctx.segments.segment_count; ++i) {
    r.scores.push_back(run.ctx.segments[i].score);
    r.miles.push_back(run.ctx.segments[i].lane_miles);
    r.keys.push_back(run.ctx.segments[i].order_key);
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
    ASSERT_EQ(a.segment_list, b.segment_list) << "seed " << seed;
    ASSERT_EQ(a.improvements, b.improvements) << "seed " << seed;
    ASSERT_EQ(a.trace1, b.trace1) << "seed " << seed;
    ASSERT_EQ(a.trace2, b.trace2) << "seed " << seed;
    ASSERT_EQ(a.console, b.console) << "seed " << seed;
    ASSERT_EQ(a.scores, b.scores) << "seed " << seed;
    ASSERT_EQ(a.miles, b.miles) << "seed " << seed;
    ASSERT_EQ(a.keys, b.keys) << "seed " << seed;
    ASSERT_EQ(a.stats.score_miles, b.stats.score_miles) << "seed " << seed;
    ASSERT_EQ(a.stats.spent, b.stats.spent) << "seed " << seed;
    ASSERT_EQ(a.stats.cost_by_action, b.stats.cost_by_action) << "seed " << seed;
  }
}

}  // namespace
}  // namespace pavecast::testing
