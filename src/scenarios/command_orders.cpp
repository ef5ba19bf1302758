// orders: the base scenario under each of the five repair orders on one
// budget (--funding, else the saved budget), side by side; when the saved
// answers do not constrain the model by dollars and no --funding is given,
// the orders cannot differ, and it says so. With --draws, each order's
// last-year median and 80% band follow the table.
#include <ostream>

#include "scenarios/command_run.h"
#include "scenarios/scenario_output.h"

namespace pavecast {

int orders_command(CommandRun& run) {
  const Budget budget = command_budget(run);
  if (budget.kind == BudgetKind::kUnlimited) {
    run.out << "The saved answers do not constrain the model by dollars: every repair the policy "
               "asks for is made, so the repair order makes no difference. Give --funding M to "
               "compare the orders on a budget of M millions a year.\n";
    return 0;
  }
  std::vector<Scenario> list;
  std::vector<std::string> labels;
  for (int32_t order = 1; order <= 5; ++order) {
    list.push_back({budget, order});
    labels.push_back(order_title(order));
  }
  std::vector<ScenarioRun> runs = run.run_drawn(list);
  run.end_progress();

  const std::string on = budget_text(budget);
  run.out << "Repair orders compared on " << on << "\n"
          << network_line(run.base) << "\n"
          << rates_line(run.base) << "\n\n"
          << orders_table(runs);
  if (run.options.draws.value_or(0) > 0) run.out << "\n" << band_summary(runs, labels);
  ChartText chart{chart_title(run.base, on), "Repair order", false, std::nullopt};
  run.write_outputs(runs, chart, labels);
  return 0;
}

}  // namespace pavecast
