// The parameter files as the dialogue reads them, each under this run's data
// set name (saved_answers.h), announced by its progress message:
//   - the repair actions, after the question whether to change the
//     repetition limits of the actions marked changeable; with "Y" the
//     analyst gives each such action its limit as its record is read (Enter
//     gives 0, which takes the action out of the run), else "Reading Repair
//     Data";
//   - the deterioration rates, "Reading Deterioration Rates" (which also ends
//     the repair actions dialogue);
//   - the policy matrices, "Reading Policy Matrices".
// A missing file is created empty; the readers' fatal stops name the file.
#pragma once

#include "dialogue/dialogue.h"
#include "model/parameter_tables.h"
#include "model/settings.h"

namespace pavecast {

void read_repair_actions(const Dialogue& d, RunSettings& settings, RepairActions& actions);
void read_deterioration_rates(const Dialogue& d, const RunSettings& settings, PavementTypes& types);
void read_policy_matrices(const Dialogue& d, const RunSettings& settings,
                          const PavementTypes& types, PolicyMatrix& policy);

}  // namespace pavecast
