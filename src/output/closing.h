// The end of a run, after the body of the projection report: the
// final-conditions file, the end-of-report record, the inputs record
// completed and copied to its ".res" file, the commit of the run's files as
// one set (io/file_set.h), then printing and the closing list on the
// console.
//
// Printing is asked for when print_answer is not "N"; "data\error.dat" then
// gives the printer status (a missing or unreadable file is a fatal stop).
// A status other than 0 is a printer problem: the analyst is told and must
// press Enter, nothing is printed, and the alert is repeated after the
// closing list. A stop while printing keeps the whole new set. A copy to
// the printer that fails writes the alert at once after that copy.
#pragma once

#include <string>

#include "io/console.h"
#include "output/run_output.h"

namespace pavecast {

void finish_run(const RunOutput& run, Console& console);

// The inputs record's name: the report's name with "res" for its "out"
// extension, blank-padded to 12.
std::string inputs_name(const std::string& report_file_name);

}  // namespace pavecast
