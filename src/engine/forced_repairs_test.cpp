#include "engine/forced_repairs.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/reconstruction.h"
#include "support/engine_run.h"
#include "support/scenario.h"

namespace pavecast::testing {
namespace {

using scenarios::pad;

// The repair numbers of the short-layout improvements lines, in file order.
std::vector<int> repair_numbers(const std::string& text) {
  std::vector<int> numbers;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end - start);
    if (line.size() > 4) numbers.push_back(std::stoi(line.substr(0, 4)));
    start = end + 1;
  }
  return numbers;
}

// Forced segments 3 and 1 (in that list order) and a free segment 2, names
// layout, under a budget: the forced ones are reserved, held back in the
// pass, then repaired at the end of the year in list order, each marked.
TEST(ForcedRepairs, TwoInAYearAreMadeAtTheEndInListOrder) {
  EngineRun run(1);
  run.set_funding(10.0f);
  for (float score : {4.0f, 7.0f, 2.0f}) {
    const int32_t i = run.add_segment(score, score == 7.0f ? 2.0f : 1.0f);
    run.ctx.segments[i].highway_name = "US " + std::to_string(i);
    run.ctx.segments[i].segment_description = "Stretch " + std::to_string(i);
    run.ctx.segments[i].mcd = 12;
    run.ctx.segments[i].jurisdiction = 3;
  }
  run.force(2, 3);
  run.force(2, 1);
  run.open_listings(true);
  run.trace(1);
  run.trace(3);
  run.run();

  const RunContext& ctx = run.ctx;
  EXPECT_FLOAT_EQ(ctx.stats.spent[2], 1.3f);  // 1.0 + 0.2 reserved, 0.1 spent in the pass
  EXPECT_FLOAT_EQ(run.end().funds, 8.7f);
  EXPECT_FLOAT_EQ(ctx.stats.cost_by_action[kRebuild][2], 1.0f);
  EXPECT_FLOAT_EQ(ctx.stats.cost_by_action[kOverlay][2], 0.2f);

  auto line = [](int n, int seg, int cls, int action, const char* miles, const char* cost,
                 bool forced) {
    const std::string s = std::to_string(seg);
    return std::string("   ") + std::to_string(n) + "   " + pad("US " + s, 23) + " " +
           pad("Stretch " + s, 38) + " " + "   " + s + "   1    2" + std::string(5, ' ') +
           std::to_string(cls) + "   " + std::to_string(action) + miles + cost + "   1.300" +
           "  12  3" + (forced ? "    Yes" : "");
  };
  EXPECT_EQ(run.improvements(), lines({" ", line(1, 2, 7, 28, "      2.0", "  0.100", false),
                                       line(2, 3, 2, 84, "      1.0", "  1.000", true),
                                       line(3, 1, 4, 47, "      1.0", "  0.200", true)}));
  EXPECT_EQ(run.trace_file(1), lines({" 2  1    7    1.0   1    1   47    1 Forced"}));
  EXPECT_EQ(run.trace_file(2), lines({" 2  1   10    1.0   3    3   84    1 Forced"}));
}

TEST(ForcedRepairs, RepairNumbersSkipOneUnderABudgetAndTwoWithout) {
  for (char budget : {'Y', 'N'}) {
    EngineRun run(1);
    run.ctx.budget_constrained = budget;
    run.add_segment(7.0f, 1.0f);
    run.add_segment(4.0f, 1.0f);
    run.add_segment(8.0f, 1.0f);
    run.force(2, 2);
    run.open_listings();
    run.run();
    const std::vector<int> expected =
        budget == 'Y' ? std::vector<int>{1, 2, 3} : std::vector<int>{1, 2, 4};
    EXPECT_EQ(repair_numbers(run.improvements()), expected) << "budget " << budget;
    EXPECT_FLOAT_EQ(run.ctx.stats.spent[2], 0.05f + 0.2f + 0.05f);
  }
}

// A forced repair the matrix refuses (classes 10 and 9) is put off year by
// year, each time with a "Forced" trace line and a repair number used up,
// until the segment reaches class 8.
TEST(ForcedRepairs, RefusedRepairIsPutOffYearByYear) {
  EngineRun run(5);
  run.add_segment(10.0f, 1.0f);
  run.add_segment(7.0f, 1.0f);
  run.add_segment(4.0f, 1.0f);
  run.force(2, 1);
  run.force(2, 3);
  run.open_listings();
  run.trace(1);
  run.run();
  EXPECT_EQ(run.ctx.forced.forced_year[1], 6);
  EXPECT_EQ(run.trace_file(1), lines({" 2  1   10    1.0   1    1    0    0 Forced",
                                      " 3  1    9    1.0   1    1    0    0 Forced",
                                      " 4  1    9    1.0   1    1    0    0 Forced",
                                      " 5  1    8    1.0   1    1    0    0 Forced",
                                      " 6  1    9    1.0   1    1   28    1 Forced"}));
  // Year 2: segment 2 sealed (1), segment 1 put off (2), segment 3 (3).
  EXPECT_EQ(repair_numbers(run.improvements()), (std::vector<int>{1, 3, 1, 2, 1, 1, 2}));
  EXPECT_FLOAT_EQ(run.ctx.stats.spent[6], 0.05f + 0.05f);
}

// A forced year beyond the run keeps the segment waiting: it deteriorates
// every year by the class of its segment-list line and is never repaired.
TEST(ForcedRepairs, EntryBeyondTheLastYearKeepsTheSegmentWaiting) {
  EngineRun run(2);
  for (int j = 1; j <= kClasses; ++j) run.ctx.pavement.det_rate[1][j] = 0.1f;
  run.ctx.pavement.det_rate[1][6] = 0.3f;  // class 5
  run.add_segment(5.497f, 1.0f);           // class 6 at 0.505, class 5 at 0.5002
  run.add_segment(5.497f, 1.0f);
  run.ctx.policy[1][6] = 0;
  run.ctx.policy[1][5] = 0;
  run.force(9, 1);
  run.run();
  EXPECT_EQ(run.ctx.segments[1].score,
            static_cast<float>(static_cast<float>(double{5.497f} - double{0.3f}) - double{0.3f}));
  EXPECT_EQ(run.ctx.segments[2].score,
            static_cast<float>(static_cast<float>(double{5.497f} - double{0.1f}) - double{0.3f}));
  EXPECT_EQ(run.ctx.segments[1].repair_count, 0);
  EXPECT_EQ(run.ctx.forced.forced_year[1], 9);
}

// Entries (2, seg 1) and (4, seg 1): forced_index holds the later one. In
// years 2 and 3 the pass treats the segment as waiting; the end-of-year pass
// takes the first entry in year 2. Putting off the first entry moves the
// later entry's year.
TEST(ForcedRepairs, SegmentNamedTwice) {
  EngineRun run(3);
  run.add_segment(8.0f, 1.0f);
  run.force(2, 1);
  run.force(4, 1);
  run.trace(1);
  run.run();
  EXPECT_EQ(run.trace_file(1), lines({" 2  1    8    1.0   1    1    0    0",
                                      " 2  1    9    1.0   1    1   28    1 Forced",
                                      " 3  1    8    1.0   1    1   28    1",
                                      " 4  1    9    1.0   1    1   28    2 Forced"}));

  EngineRun refused(2);
  refused.add_segment(10.0f, 1.0f);
  refused.force(2, 1);
  refused.force(5, 1);
  refused.run();
  EXPECT_EQ(refused.ctx.forced.forced_year[1], 2);
  EXPECT_EQ(refused.ctx.forced.forced_year[2], 6);
}

TEST(ForcedRepairs, EntriesOutsideTheLoadedTableTakeNoPart) {
  EngineRun run(1);
  run.set_funding(0.1f);
  run.add_segment(4.0f, 1.0f);  // split at 0.1: adds segment 2
  run.force(2, 2);
  run.force(2, 0);
  run.run();
  EXPECT_EQ(run.ctx.segments.segment_count, 2);
  EXPECT_FLOAT_EQ(run.ctx.stats.spent[2], 0.1f);
  EXPECT_EQ(run.ctx.segments[2].repair_count, 1);
}

// A way back of the dialogue may read another forced-repair file (or none),
// leaving an index that names an entry of the earlier list: it counts as no
// entry, so the segment is neither held back nor put off.
TEST(ForcedRepairs, AnIndexLeftFromAnEarlierListTakesNoPart) {
  EngineRun run(1);
  run.add_segment(4.0f, 1.0f);
  run.add_segment(4.0f, 1.0f);
  run.force(2, 2);
  run.ctx.segments[1].forced_index = 1;  // entry 1 of the earlier list named it
  run.run();
  EXPECT_EQ(run.ctx.segments[1].repair_count, 1);  // repaired in the pass
  EXPECT_EQ(run.ctx.segments[2].repair_count, 1);  // repaired at the end
  EXPECT_FLOAT_EQ(run.ctx.stats.score_miles[2], 7.0f + 7.0f);
}

// Without a budget a forced repair goes through the budget check: it may
// split, and its remainder is not taken again that year.
TEST(ForcedRepairs, WithoutABudgetAForcedRepairMaySplit) {
  EngineRun run(1);
  run.ctx.budget_constrained = 'N';
  run.set_funding(0.1f);
  run.add_segment(2.0f, 1.0f);
  run.force(2, 1);
  run.run();
  const RunContext& ctx = run.ctx;
  ASSERT_EQ(ctx.segments.segment_count, 2);
  EXPECT_FLOAT_EQ(ctx.segments[2].lane_miles, 0.1f);
  EXPECT_FLOAT_EQ(ctx.segments[2].score, 10.0f);
  EXPECT_FLOAT_EQ(ctx.segments[1].lane_miles, 0.9f);
  EXPECT_FLOAT_EQ(ctx.segments[1].score, 2.0f);
  EXPECT_FLOAT_EQ(ctx.stats.spent[2], 0.1f);
  EXPECT_FLOAT_EQ(ctx.stats.poor_miles[2], 0.0f);
  EXPECT_FLOAT_EQ(ctx.stats.score_miles[2], 1.0f);
}

// At its repetition limit a forced repair is still reserved (and counted in
// spent), then put off; the decision's bookkeeping stays.
TEST(ForcedRepairs, ReservedAtTheLimitThenPutOff) {
  EngineRun run(1);
  run.ctx.actions[kSeal].max_repeats = 1;
  run.add_segment(7.0f, 2.0f);
  Segment& seg = run.ctx.segments[1];
  seg.times_applied[kSeal] = 1;
  seg.times_applied[kOverlay] = 4;
  seg.last_action = kOverlay;
  run.force(2, 1);
  run.run();
  EXPECT_FLOAT_EQ(run.ctx.stats.spent[2], 0.1f);
  EXPECT_FLOAT_EQ(run.end().funds, 999.9f);
  EXPECT_FLOAT_EQ(run.ctx.stats.cost_by_action[kSeal][2], 0.0f);
  EXPECT_EQ(run.ctx.forced.forced_year[1], 3);
  EXPECT_EQ(seg.times_applied[kOverlay], 0);
  EXPECT_EQ(seg.last_action, kSeal);
  EXPECT_EQ(seg.reset_pending, 1);
  EXPECT_EQ(seg.chosen_rank[kSeal], 1);
  EXPECT_FLOAT_EQ(seg.score, 6.5f);
}

// --- random reconstruction

void enable_reconstruction(EngineRun& run, float percent) {
  run.ctx.reconstruct_answer = 'Y';
  run.ctx.reconstruct_probability = percent / 100.0f;
  run.ctx.recon_numbers_loaded = true;
  for (int n = 1; n <= kReconNumbers; ++n) run.ctx.recon_random[n] = 0.9f;
}

TEST(Reconstruction, DrawAtOrBelowThePercentRebuildsAndResetsTheCounts) {
  EngineRun run(1);
  enable_reconstruction(run, 5.0f);
  run.ctx.recon_random[1] = 0.05f;
  run.ctx.recon_random[2] = 0.05001f;
  run.add_segment(4.0f, 1.0f);
  run.add_segment(4.2f, 1.0f);
  run.ctx.segments[1].times_applied[kSeal] = 3;
  run.ctx.segments[1].times_applied[kOverlay] = 2;
  run.ctx.segments[1].last_action = kSeal;
  run.ctx.segments[1].repair_count = 5;
  run.open_listings(true);
  run.run();
  const Segment& first = run.ctx.segments[1];
  EXPECT_EQ(first.score, 10.0f);
  EXPECT_EQ(first.times_applied[kSeal], 0);
  EXPECT_EQ(first.times_applied[kOverlay], 0);
  EXPECT_EQ(first.times_applied[kRebuild], 1);
  EXPECT_EQ(first.chosen_rank[kRebuild], 9);
  EXPECT_FLOAT_EQ(run.ctx.segments[2].score, 7.2f);
  EXPECT_EQ(run.end().recon_cursor, 2);
  EXPECT_FLOAT_EQ(run.ctx.stats.cost_by_action[kRebuild][2], 1.0f);
  // The names layout shows the matrix's action, not the reconstruction.
  EXPECT_NE(run.improvements().find("   1   1    2     4   47      1.0  1.000"), std::string::npos);
}

// --- forced repairs the money rules leave as they are

// Kept as the rules give them, though the report then shows costs that were
// never taken from the money: a forced repair by a rank-9 action with a
// limit of 0 is not reserved but is made; a reconstruction drawn for a
// reserved forced repair counts its own cost in cost_by_action, while only
// the reservation is in spent and taken from the funds.
TEST(BudgetRules, ForcedRepairsTheReservationMisses) {
  {
    EngineRun run(1);
    run.ctx.actions[kRebuild].max_repeats = 0;
    run.add_segment(2.0f, 1.0f);  // class 2: rebuild, 1.0
    run.force(2, 1);
    run.run();
    EXPECT_EQ(run.ctx.segments[1].score, 10.0f);
    EXPECT_FLOAT_EQ(run.ctx.stats.cost_by_action[kRebuild][2], 1.0f);
    EXPECT_EQ(run.ctx.stats.spent[2], 0.0f);
    EXPECT_FLOAT_EQ(run.end().funds, 1000.0f);
  }
  {
    EngineRun run(1);
    enable_reconstruction(run, 5.0f);
    run.ctx.recon_random[1] = 0.01f;
    run.add_segment(4.0f, 1.0f);  // class 4: overlay reserved, 0.2
    run.force(2, 1);
    run.run();
    EXPECT_FLOAT_EQ(run.ctx.stats.cost_by_action[kRebuild][2], 1.0f);
    EXPECT_FLOAT_EQ(run.ctx.stats.spent[2], 0.2f);
    EXPECT_FLOAT_EQ(run.end().funds, 999.8f);
  }
}

// Forced repairs are reserved for any dollars answer but "N" or "n", yet
// exempted from the money when made only for "Y": another saved letter
// that Enter kept reserves the cost and takes it again.
TEST(BudgetRules, AnotherDollarsLetterReservesAndChargesAgain) {
  EngineRun run(1);
  run.ctx.budget_constrained = 'X';
  run.add_segment(4.0f, 1.0f);  // overlay: 0.2
  run.force(2, 1);
  run.run();
  EXPECT_FLOAT_EQ(run.ctx.stats.spent[2], 0.2f);
  EXPECT_FLOAT_EQ(run.end().funds, 999.6f);
}

TEST(Reconstruction, ShortLayoutShowsTheActionApplied) {
  EngineRun run(1);
  enable_reconstruction(run, 5.0f);
  run.ctx.recon_random[1] = 0.01f;
  run.add_segment(4.0f, 1.0f);
  run.open_listings();
  run.run();
  EXPECT_EQ(run.improvements(),
            lines({" ", "   1      1   1    2     4      84    1.0   1.000   1.000"}));
}

TEST(Reconstruction, OnlyTriedBelowScore6Point5WithAMatrixAction) {
  EngineRun run(1);
  enable_reconstruction(run, 100.0f);
  run.add_segment(6.5f, 1.0f);  // class 7: sealed, never tried
  run.add_segment(4.0f, 1.0f);
  run.ctx.policy[1][4] = 0;  // no action: never tried
  run.run();
  EXPECT_EQ(run.end().recon_cursor, kReconNumbers + 1);
  EXPECT_FLOAT_EQ(run.ctx.segments[1].score, 7.5f);
}

TEST(Reconstruction, NumbersAreUsedInTurnCyclingThroughAll500) {
  EngineRun run(1);
  enable_reconstruction(run, 5.0f);
  run.ctx.recon_random[1] = 0.0f;
  for (int i = 0; i < 3; ++i) run.add_segment(4.0f + 0.1f * static_cast<float>(i), 1.0f);
  Projection& engine = run.prepare();
  engine.recon_cursor = 499;
  engine.run();
  EXPECT_EQ(run.end().recon_cursor, 2);
  EXPECT_FLOAT_EQ(run.ctx.segments[1].score, 7.0f);   // number 500
  EXPECT_FLOAT_EQ(run.ctx.segments[2].score, 10.0f);  // number 1
}

TEST(Reconstruction, OffWhenNotAskedOrTheNumbersWereNotLoaded) {
  for (int variant = 0; variant < 2; ++variant) {
    EngineRun run(1);
    enable_reconstruction(run, 100.0f);
    if (variant == 0) run.ctx.reconstruct_answer = 'N';
    if (variant == 1) run.ctx.recon_numbers_loaded = false;
    run.add_segment(4.0f, 1.0f);
    run.run();
    EXPECT_FLOAT_EQ(run.ctx.segments[1].score, 7.0f) << variant;
  }
}

TEST(Reconstruction, MissingActionForAScoreOfOneStopsTheRun) {
  EngineRun run(1);
  enable_reconstruction(run, 100.0f);
  run.ctx.policy[1][1] = 0;
  run.add_segment(4.0f, 1.0f);
  EXPECT_EQ(fatal_text_of([&] { run.run(); }), "\n\n **  Fatal Error: No repair for score of 1\n");
}

}  // namespace
}  // namespace pavecast::testing
