// plan: the work plan of one projection (plan.h): its rows on standard
// output, or in the --csv file with the plan and the projection summed by
// year on standard output; --conditions writes every segment's score each
// year.
#include <ostream>

#include "scenarios/command_run.h"
#include "scenarios/ledger.h"
#include "scenarios/plan.h"
#include "scenarios/scenario_output.h"

namespace pavecast {

namespace {

// The plan's entries as they come, summed by year.
struct PlanTally {
  std::vector<PlanYear> years;
  void add(const PlanEntry& e) {
    for (PlanYear& y : years) {
      if (y.calendar_year != e.calendar_year) continue;
      ++y.entries;
      if (e.has_scores) y.lane_miles += e.lane_miles;
      y.cost += e.cost;
    }
  }
};

// The asset id of every segment of the projection's table, pieces split
// off included; none without ids.
std::vector<std::string_view> segment_ids(const BaseScenario& base, const Ledger& ledger) {
  std::vector<std::string_view> ids;
  const SegmentTable* live = ledger.live();
  if (!base.asset_ids || !live) return ids;
  ids.resize(static_cast<std::size_t>(live->segment_count) + 1);
  for (int32_t i = 1; i <= live->segment_count; ++i)
    ids[static_cast<std::size_t>(i)] = asset_id(base, (*live)[i].original_number);
  return ids;
}

}  // namespace

int plan_command(CommandRun& run) {
  const BaseScenario& base = run.base;
  const Budget budget = command_budget(run);
  std::unique_ptr<OutputFile> csv, conditions;
  if (!run.options.csv_file.empty()) csv = run.open_file(run.options.csv_file);
  if (!run.options.conditions_file.empty()) conditions = run.open_file(run.options.conditions_file);
  // The rows go to the --csv file, else to standard output.
  auto write = [&](const std::string& text) { csv ? csv->write(text) : void(run.out << text); };

  // Without --csv standard output is the plan: the network and rates are
  // said beside it.
  if (!csv) run.err << "Work plan: " << network_line(base) << "\n" << rates_line(base) << "\n";
  PlanTally tally;
  for (int32_t y = 1; y <= base.settings.years; ++y)
    tally.years.push_back({base.network.first_year + y, 0, 0.0, 0.0});
  write(plan_header());
  if (conditions) conditions->write(conditions_header());
  RunDetail detail{run.options.by, [&](Ledger& ledger) {
                     ledger.on_entry = [&](const PlanEntry& e) {
                       tally.add(e);
                       write(plan_row(e, asset_id(base, e.original_segment), base.tables.actions,
                                      base.tables.pavement));
                     };
                     if (conditions)
                       ledger.on_conditions = [&](int32_t year, const std::vector<float>& scores,
                                                  const std::vector<int32_t>& lives) {
                         conditions->write(
                             conditions_rows(year, scores, lives, segment_ids(base, ledger)));
                       };
                   }};
  const ScenarioRun projection = run_scenario(base, {budget, base.order}, detail);
  if (conditions) conditions->close();
  if (!csv) return 0;
  csv->close();
  run.out << "Work plan: " << network_line(base) << ", "
          << order_title(projection.scenario.repair_order) << ", " << budget_text(budget) << "\n"
          << rates_line(base) << "\n\n"
          << plan_year_table(tally.years) << "\n"
          << year_table(projection);
  return 0;
}

}  // namespace pavecast
