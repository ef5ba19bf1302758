// pavecast-scenarios: budget scenarios of the program's run without its
// dialogue (scenario.h), in the program's working directory.
//
//   sweep   the base scenario at each fixed annual funding level: the CSV of
//           every level (scenario_output.h) on standard output, or in the
//           --csv file with a summary by level on standard output;
//   needs   the smallest fixed annual funding keeping percent poor at or below
//           the target in every simulated year (funding_search.h), with the
//           check of that level and the level $0.01M below it, whether the
//           response was found monotonic, and that run's table; a plain
//           statement when even unlimited funding misses the target; the
//           --csv file holds both checked runs (or the unlimited run);
//   orders  the base scenario under each of the four repair orders on one
//           budget (--funding, else the saved budget), side by side; when the
//           saved answers do not constrain the model by dollars and no
//           --funding is given, the orders cannot differ, and it says so.
// --svg writes the chart of percent poor by year of the same runs (chart.h).
//
// Status: 0 done; 1 a fatal stop (the program's message, on standard error);
// 2 a usage error (the message and the usage lines, on standard error).
// Progress goes to standard error, only when `progress` is set (a terminal).
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace pavecast {

int run_scenarios_tool(const std::vector<std::string>& args, const std::filesystem::path& root,
                       std::ostream& out, std::ostream& err, bool progress);

}  // namespace pavecast
