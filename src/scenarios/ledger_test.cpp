#include "scenarios/ledger.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/projection_fixture.h"

namespace pavecast::testing {
namespace {

// A forced repair under a budget is charged the amount reserved for it at
// the start of the year, also when a reconstruction drawn for it costs more:
// the year's charges then add up to its spent money.
TEST(Ledger, ForcedRepairIsChargedWhatWasReservedEvenWhenRebuilt) {
  BasicTestNetwork<double> run(1);
  run.reconstruct(5.0f);
  run.in.reconstruction.numbers[1] = 0.01f;  // the first try rebuilds
  run.add_segment(4.0f, 1.0f);               // forced: overlay 0.2 reserved, rebuilt for 1.0
  run.add_segment(7.0f, 1.0f);               // sealed in the pass: 0.05
  run.force(2, 1);
  NetworkValues network;
  network.first_year = 2020;
  const SegmentTable loaded = run.segments;
  Ledger ledger(run.in, loaded, network, run.pavement, GroupBy::kNone);
  ledger.watch(run.segments, run.pavement);
  std::vector<PlanEntry> entries;
  ledger.on_entry = [&](const PlanEntry& e) { entries.push_back(e); };
  ExactProjection(run.in, {run.segments, run.pavement, run.forced, run.stats}, ledger).run();

  ASSERT_EQ(entries.size(), 2u);
  double charged = 0.0;
  for (const PlanEntry& e : entries) charged += e.cost;
  EXPECT_NEAR(charged, run.stats.spent[2], 1e-8);
  EXPECT_NEAR(run.stats.spent[2], 0.25, 1e-7);
  const PlanEntry& forced = entries[0].forced ? entries[0] : entries[1];
  EXPECT_EQ(forced.segment, 1);
  EXPECT_EQ(forced.action, kRebuild);
  EXPECT_NEAR(forced.cost, 0.2, 1e-7);
  EXPECT_NE(forced.note.find("reconstruction"), std::string::npos) << forced.note;
  EXPECT_NEAR(run.stats.cost_by_action[kRebuild][2], 1.0, 1e-7);  // the report's own cost
}

}  // namespace
}  // namespace pavecast::testing
