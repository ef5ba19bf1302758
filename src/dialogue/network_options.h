// Network options, the last questions of the dialogue: scores file (with the
// "help" summary), subdivision, randomised scores, traffic increases,
// reconstruction probability and its random numbers, final-conditions file,
// printing and auxiliary files. Ends with the progress message "Reading Data"
// that announces the loading.
//
// Leaves: scores_name (a blank reply replaced by default_scores_name),
// split_factor in 1..999 and copies_made equal to it when splitting is
// wanted; with reconstruction, reconstruct_probability as a fraction and
// recon_random(1..500) loaded from data\random.dat,
// or the percent itself when it is 0.001 or less; final_conditions_file when
// the final conditions are saved. A random.dat that is short or holds an
// unreadable number, and a probability reply that is not a number, are
// fatal stops.
#pragma once

#include <array>

#include "dialogue/dialogue.h"
#include "io/record_files.h"
#include "model/parameter_tables.h"
#include "model/settings.h"

namespace pavecast {

void ask_network_options(const Dialogue& d, RunSettings& settings, ParameterTables& tables);

// The answered reconstruction percent taken: above 0.001 the 500 numbers of
//     data\random.dat are loaded (fatal stops as above) and the probability
//     becomes a fraction (recon_numbers_loaded); otherwise it stays in
//     percent and reconstruction is off.
void use_reconstruction_percent(RunSettings& settings, const Workdir& workdir,
                                std::array<float, kReconNumbers + 1>& recon_random, float percent);

}  // namespace pavecast
