// pavecast-scenarios: budget scenarios of the program's run without its
// dialogue (scenario.h), in the program's working directory. The commands
// are the entries of tool_commands.h, each with its handler file:
//
//   sweep   the base scenario at each fixed annual funding level: the CSV of
//           every level (scenario_output.h) on standard output, or in the
//           --csv file with a summary by level on standard output;
//   needs   the smallest fixed annual funding keeping the targets (percent
//           poor, mean score, percent good) in every year counted
//           (funding_search.h), with the check of that level and the level
//           $0.01M below it, whether the response was found monotonic, and
//           that run's table; a plain statement when even unlimited funding
//           misses the targets; the --csv file holds both checked runs (or
//           the unlimited run);
//   orders  the base scenario under each of the five repair orders (random,
//           priority, worst first, best first, cost-effectiveness) on one
//           budget (--funding, else the saved budget), side by side; when the
//           saved answers do not constrain the model by dollars and no
//           --funding is given, the orders cannot differ, and it says so;
//   plan    the work plan of one budget (--funding, else the saved one): every
//           repair of every year with its cost (plan.h), and with
//           --conditions every segment's score each year;
//   report  one HTML page (html_report.h) of the network, the saved budget, a
//           sweep and the funding the targets need.
// --svg writes the chart of percent poor by year of the same runs (chart.h).
//
// Every file named on the command line is checked before anything is loaded
// (io/output_paths.h: its folder, not a directory, not an input of the
// command nor one of the program's files, not named twice), then written
// whole or not at all. --jobs above what the machine runs at once is lowered
// to that, and the tool says so.
//
// Status: 0 done; 1 a fatal stop (the program's message, on standard error),
// no program directory, a network that does not fit in memory with that many
// projections at once, or any other failure (one line on standard error); 2
// a usage error or an output refused (the message, and for a bad command line
// the usage lines, on standard error). Progress goes to standard error, only
// when `progress` is set (a terminal).
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace pavecast {

int run_scenarios_tool(const std::vector<std::string>& args, const std::filesystem::path& root,
                       std::ostream& out, std::ostream& err, bool progress);

}  // namespace pavecast
