#include "engine/inputs.h"

#include <gtest/gtest.h>

namespace pavecast {
namespace {

// The saved dollars letter stays a letter; the engine takes its three
// meanings from it.
TEST(ProjectionInputs, DollarsLetterGivesTheForcedRepairBudget) {
  EXPECT_EQ(forced_repair_budget_of('Y'), ForcedRepairBudget::kReserveAndExempt);
  EXPECT_EQ(forced_repair_budget_of('N'), ForcedRepairBudget::kNeither);
  EXPECT_EQ(forced_repair_budget_of('n'), ForcedRepairBudget::kNeither);
  EXPECT_EQ(forced_repair_budget_of('y'), ForcedRepairBudget::kReserveAndChargeAgain);
  EXPECT_EQ(forced_repair_budget_of(' '), ForcedRepairBudget::kReserveAndChargeAgain);

  RunSettings settings;
  settings.budget_constrained = 'X';
  const ProjectionInputs in = projection_inputs(settings, ParameterTables{}, NetworkValues{});
  EXPECT_EQ(in.budget, ForcedRepairBudget::kReserveAndChargeAgain);
  EXPECT_TRUE(reserves_forced_repairs(in));
  EXPECT_FALSE(exempts_forced_repairs(in));
}

// Reconstruction is on when asked for and its numbers were loaded (a
// percent above 0.001), not otherwise.
TEST(ProjectionInputs, ReconstructionOnlyWhenAskedAndLoaded) {
  RunSettings settings;
  settings.reconstruct_probability = 0.05f;
  NetworkValues network;
  network.total_lane_miles = 12.5f;
  for (char answer : {'Y', 'N'})
    for (bool loaded : {true, false}) {
      settings.reconstruct_answer = answer;
      settings.recon_numbers_loaded = loaded;
      const ProjectionInputs in = projection_inputs(settings, ParameterTables{}, network);
      EXPECT_EQ(in.reconstruction.on, answer == 'Y' && loaded) << answer << loaded;
      EXPECT_EQ(in.reconstruction.probability, 0.05f);
      EXPECT_EQ(in.total_lane_miles, 12.5f);
    }
}

}  // namespace
}  // namespace pavecast
