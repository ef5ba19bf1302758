// sweep: the base scenario at each fixed annual funding level: a summary by
// level on standard output, and the CSV of every level (scenario_output.h)
// in the --csv file, or alone on standard output with "--csv -"; with
// --draws, each level's last-year median and 80% band after the summary.
#include <ostream>

#include "scenarios/command_run.h"
#include "scenarios/scenario_output.h"

namespace pavecast {

int sweep_command(CommandRun& run) {
  const BaseScenario& base = run.base;
  std::vector<Scenario> list;
  std::vector<std::string> labels;
  for (int64_t cents : sweep_levels(run.options)) {
    list.push_back({fixed_budget(cents), base.order});
    labels.push_back(money_text(cents));
  }
  std::vector<ScenarioRun> runs = run.run_drawn(list);
  run.end_progress();

  ChartText chart{chart_title(base, order_title(base.order) + ", by funding"),
                  "Funding ($M a year)", true, std::nullopt};
  run.write_outputs(runs, chart, labels);
  if (run.options.csv_file == kStandardOutput) {
    // Standard output is the CSV alone, for a pipe: the network and the rates
    // are said beside it.
    run.err << "Funding sweep: " << network_line(base) << "\n" << rates_line(base) << "\n";
    return 0;
  }
  run.out << "Funding sweep, " << order_title(base.order) << ":\n"
          << network_line(base) << "\n"
          << rates_line(base) << "\n\n"
          << sweep_summary(runs);
  if (run.options.draws.value_or(0) > 0) run.out << "\n" << band_summary(runs, labels);
  return 0;
}

}  // namespace pavecast
