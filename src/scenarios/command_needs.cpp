// needs: the smallest fixed annual funding keeping the targets in every
// year counted (funding_search.h), with the check of that level and of the
// level $0.01M below it, whether the response was found monotonic, and that
// run's table; a plain statement when even unlimited funding misses the
// targets. The --csv file holds both checked runs (or the unlimited run).
#include <ostream>

#include "scenarios/command_run.h"
#include "scenarios/scenario_output.h"
#include "scenarios/scenario_runs.h"

namespace pavecast {

namespace {

// The check of the level found and of the level a cent below, and what the
// search saw of the response to funding.
void print_check(CommandRun& run, const FundingNeeded& needed, const std::string& level) {
  const Targets& targets = run.options.targets;
  std::ostream& out = run.out;
  out << "Checked: " << level << (needed.run_meets ? " meets the targets" : " MISSES the targets")
      << " (" << worst_text(*needed.run, targets, 4) << ")";
  if (needed.below) {
    out << "; $" << money_text(needed.cents - 1) << "M"
        << (needed.below_meets ? " MEETS them too" : " misses them") << " ("
        << worst_text(*needed.below, targets, 4) << ").\n";
  } else {
    out << "; no money is needed.\n";
  }
  if (!needed.run_meets || needed.below_meets)
    out << "The check does not agree with the search: the projection gave different results "
           "for the same level.\n";
  if (needed.missed_above_cents) {
    out << "The response to funding is NOT monotonic: $" << money_text(*needed.missed_above_cents)
        << "M misses the targets although " << level << ", lower, meets them. " << level
        << " is the lowest level tried that meets them; a level below it that was not tried may "
           "meet them too.\n";
  } else {
    out << "The response to funding was monotonic at every level tried (" << needed.projections
        << " projections).\n";
  }
}

// The level found: its check, its table, and its files with the run a cent
// below.
void print_found(CommandRun& run, const FundingNeeded& needed, const ChartText& chart) {
  const std::string level = std::string("$").append(money_text(needed.cents)).append("M");
  run.out << level << " a year.\n";
  if (run.base.settings.years == 0) {
    run.out << "With 0 years there is no simulated year: no money is needed.\n\n"
            << year_table(*needed.run);
    run.write_outputs({*needed.run}, chart, {money_text(needed.cents)});
    return;
  }
  print_check(run, needed, level);
  run.out << "\n" << year_table(*needed.run);
  std::vector<ScenarioRun> runs = {*needed.run};
  std::vector<std::string> labels = {money_text(needed.cents) + " (needed)"};
  if (needed.below) {
    runs.push_back(*needed.below);
    labels.push_back(money_text(needed.cents - 1) + " (a cent less)");
  }
  run.write_outputs(runs, chart, labels);
}

}  // namespace

int needs_command(CommandRun& run) {
  const BaseScenario& base = run.base;
  const Targets& targets = run.options.targets;
  const std::string target_text = targets_text(targets);
  const std::string when = years_text(base, targets);
  FundingNeeded needed =
      find_funding_needed(run.batch(), base.order, targets, thread_count(run.options.jobs));
  run.end_progress();

  run.out << "Funding needed to keep " << target_text << " " << when << "\n"
          << network_line(base) << ", " << order_title(base.order) << "\n"
          << rates_line(base) << "\n"
          << "(the loaded year " << base.network.first_year
          << " does not count: no money can change it)\n\n";
  std::optional<double> line;
  if (targets.max_poor) line = *targets.max_poor;
  ChartText chart{chart_title(base, order_title(base.order)), "Funding ($M a year)", true, line};
  if (needed.run) {
    print_found(run, needed, chart);
    return 0;
  }
  run.out << "Even unlimited funding ($" << money_text(kUnlimitedCents) << "M a year) cannot keep "
          << target_text << " " << when << ": " << worst_text(needed.unlimited, targets, 2)
          << ".\n\n"
          << year_table(needed.unlimited);
  run.write_outputs({needed.unlimited}, chart, {"unlimited"});
  return 0;
}

}  // namespace pavecast
