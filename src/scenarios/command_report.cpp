// report: one HTML page (html_report.h) of the network, the saved budget's
// projection and its first years of work, a sweep, and the funding the
// targets need when targets are given.
#include <algorithm>
#include <ostream>

#include "scenarios/command_run.h"
#include "scenarios/html_report.h"
#include "scenarios/ledger.h"
#include "scenarios/scenario_output.h"
#include "scenarios/scenario_runs.h"

namespace pavecast {

int report_command(CommandRun& run) {
  const ToolOptions& options = run.options;
  const BaseScenario& base = run.base;
  HtmlReport page;
  page.base = &base;
  page.network = network_line(base) + "; " + rates_line(base);
  page.order = order_title(base.order);
  page.budget = budget_text(base.saved_budget);

  // The saved budget's projection, with its first years of work.
  constexpr int32_t kPlanYears = 3;
  page.plan_years = std::min(kPlanYears, base.settings.years);
  const int32_t last_plan_year = base.network.first_year + page.plan_years;
  RunDetail detail{GroupBy::kNone, [&](Ledger& ledger) {
                     ledger.on_entry = [&](const PlanEntry& e) {
                       if (e.calendar_year <= last_plan_year) page.plan.push_back(e);
                     };
                   }};
  page.saved = run_scenario(base, {base.saved_budget, base.order}, detail);
  // At $0 the only repairs made are forced ones (a split with no money
  // leaves a piece of 0 lane-miles), however short their segments: a whole
  // lane-mile repaired is not the test.
  RunDetail none_detail{GroupBy::kNone, [&](Ledger& ledger) {
                          ledger.on_entry = [&](const PlanEntry& e) {
                            if (e.has_scores && e.lane_miles > 0.0f) page.none_repairs = true;
                          };
                        }};
  page.none = run_scenario(base, {fixed_budget(0), base.order}, none_detail);

  std::vector<Scenario> list;
  for (int64_t cents : sweep_levels(options)) {
    list.push_back({fixed_budget(cents), base.order});
    page.sweep_cents.push_back(cents);
  }
  page.sweep = run.run(list);
  if (options.targets.any()) {
    page.targets = options.targets;
    page.targets_text = targets_text(options.targets) + " " + years_text(base, options.targets);
    page.needed =
        find_funding_needed(run.batch(), base.order, options.targets, thread_count(options.jobs));
  }
  // With draws, the risk: the saved budget's band, and the budget that meets
  // the targets with the confidence asked.
  if (options.draws && *options.draws > 0) {
    page.saved_banded = run.run_drawn({{base.saved_budget, base.order}}).front();
    if (options.targets.any() && base.settings.years > 0)
      page.confident = confident_answer(run, *page.needed);
  }
  run.end_progress();
  run.write_file(options.html_file, html_report(page));
  run.out << "Report of " << page.network << " written to " << options.html_file << "\n";
  return 0;
}

}  // namespace pavecast
