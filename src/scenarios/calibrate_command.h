// The calibrate command of the scenario tool: deterioration rates fitted to
// two ratings of a network (calibration.h), with an optional third rating as
// the check.
//
//   calibrate --before NAME --after NAME [--check NAME] [--rates FILE]
//             [--rates-out FILE] [--intervals-out FILE] [--noise N]
//             [--min-count N] [--csv FILE]
//
// NAME is a scores file of roads/; --rates a rates file anywhere (relative
// to the program directory), by default the run's (the saved answers' data
// set). The networks are loaded by the program's loader as whole lines (no
// subdivision, no randomising). The saved answers say whether the run
// randomises scores and uses traffic increases. --noise is 0 to 9 points
// (default 1), --min-count 2 to 1,000,000,000 segments (default 30).
//
// The report goes to `out`. --rates-out (the fitted table in the rates
// file's layout), --intervals-out and --csv are each written whole or not at
// all; an output may not name a file the command reads (the rates file among
// them: to adopt a fit, run with --rates or copy the file) nor another
// output.
//
// Status: 0 done; 1 a fatal stop or ratings that cannot be matched (the
// message on `err`); 2 a usage error (the message, and the usage line).
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace pavecast {

// `args` are the arguments after "calibrate".
int run_calibrate(const std::vector<std::string>& args, const std::filesystem::path& root,
                  std::ostream& out, std::ostream& err);

// The usage line of calibrate, ending with a line end.
std::string calibrate_usage();

}  // namespace pavecast
