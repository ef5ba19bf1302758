#include "scenarios/scenarios_tool.h"

#include <istream>
#include <ostream>
#include <sstream>

#include "fatal/fatal.h"
#include "io/record_files.h"
#include "scenarios/chart.h"
#include "scenarios/funding_search.h"
#include "scenarios/scenario.h"
#include "scenarios/scenario_options.h"
#include "scenarios/scenario_output.h"
#include "scenarios/scenario_runs.h"

namespace pavecast {

namespace {

struct Tool {
  const ToolOptions& options;
  const std::filesystem::path& root;
  std::ostream& out;
  std::ostream& err;
  bool progress;
  bool batches = false;            // several batches of unknown number: no total shown
  std::size_t shown_progress = 0;  // projections counted by earlier batches

  // A batch of projections on both cores, with the progress line.
  std::vector<ScenarioRun> run(const BaseScenario& base, const std::vector<Scenario>& list) {
    RunnerOptions runner;
    runner.jobs = options.jobs;
    if (progress) {
      const std::size_t before = shown_progress;
      runner.progress = [this, before](std::size_t done, std::size_t total) {
        err << "\r projections: " << before + done;
        if (!batches) err << " of " << total;
        err << "   " << std::flush;
      };
    }
    std::vector<ScenarioRun> runs = run_scenarios(base, list, runner);
    shown_progress += list.size();
    return runs;
  }

  void end_progress() {
    if (progress && shown_progress > 0) err << "\r" << std::string(40, ' ') << "\r" << std::flush;
  }

  // A file the user named, replaced whole. Only a regular file is replaced
  // (through a link to one, the file linked to): a device, a FIFO or a
  // directory of that name is refused.
  void write_file(const std::string& name, const std::string& content) {
    namespace fs = std::filesystem;
    fs::path path = name;
    if (path.is_relative()) path = root / path;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::exists(status) && !fs::is_regular_file(status))
      fatal("the file is not a regular file, file " + name);
    if (fs::is_regular_file(status) && fs::is_symlink(fs::symlink_status(path, ec)))
      path = fs::canonical(path, ec);
    auto file = OutputFile::create_replacement_or_fatal(FilePath{path, name});
    file->write(content);
    file->close();
  }

  void write_outputs(const std::vector<ScenarioRun>& runs, const ChartText& chart,
                     const std::vector<std::string>& labels) {
    if (!options.csv_file.empty()) write_file(options.csv_file, csv_text(runs));
    if (options.svg_file.empty()) return;
    std::vector<ChartSeries> series;
    for (std::size_t i = 0; i < runs.size(); ++i) {
      ChartSeries s{labels[i], {}};
      for (const YearFigures& y : runs[i].years) s.points.emplace_back(y.calendar_year, y.pct_poor);
      series.push_back(std::move(s));
    }
    write_file(options.svg_file, percent_poor_chart(series, chart));
  }
};

std::string network_line(const BaseScenario& base) {
  return std::string(base.settings.scores_name.trimmed()) + " (" +
         std::string(base.network.network_name.trimmed()) + "), " +
         std::to_string(base.segments.segment_count) + " segments, conditions of " +
         std::to_string(base.network.first_year) + ", " + std::to_string(base.settings.years) +
         " years";
}

std::string chart_title(const BaseScenario& base, const std::string& what) {
  return "Percent poor by year: " + std::string(base.network.network_name.trimmed()) + ", " + what;
}

// The highest percent poor of the simulated years and its year, with
// `decimals` decimals.
std::string worst_text(const ScenarioRun& run, int decimals) {
  const YearFigures* worst = nullptr;
  for (std::size_t y = 1; y < run.years.size(); ++y)
    if (!worst || run.years[y].pct_poor > worst->pct_poor) worst = &run.years[y];
  if (!worst) return "no simulated year";
  return fixed(worst->pct_poor, decimals) + " in " + std::to_string(worst->calendar_year);
}

std::string percent_text(double p) {
  std::ostringstream s;
  s.setf(std::ios::fixed);
  s.precision(2);
  s << p;
  return s.str();
}

int sweep(Tool& tool, const BaseScenario& base) {
  std::vector<Scenario> list;
  std::vector<std::string> labels;
  for (int64_t cents : sweep_levels(tool.options)) {
    list.push_back({fixed_budget(cents), base.order});
    labels.push_back(money_text(cents));
  }
  std::vector<ScenarioRun> runs = tool.run(base, list);
  tool.end_progress();

  ChartText chart{chart_title(base, order_title(base.order) + ", by funding"),
                  "Funding ($M a year)", true, std::nullopt};
  tool.write_outputs(runs, chart, labels);
  if (tool.options.csv_file.empty()) {
    tool.out << csv_text(runs);
  } else {
    tool.out << "Funding sweep: " << network_line(base) << ", " << order_title(base.order) << "\n\n"
             << sweep_summary(runs);
  }
  return 0;
}

int needs(Tool& tool, const BaseScenario& base) {
  const double target = tool.options.max_poor;
  const std::string target_text = percent_text(target);
  tool.batches = true;
  ScenarioBatch batch = [&](const std::vector<Scenario>& list) { return tool.run(base, list); };
  FundingNeeded needed =
      find_funding_needed(batch, base.order, target, thread_count(tool.options.jobs));
  tool.end_progress();

  std::ostream& out = tool.out;
  out << "Funding needed to keep percent poor at or below " << target_text
      << " in every simulated year\n"
      << network_line(base) << ", " << order_title(base.order) << "\n"
      << "(the loaded year " << base.network.first_year
      << " does not count: no money can change it)\n\n";

  ChartText chart{chart_title(base, order_title(base.order)), "Funding ($M a year)", true, target};
  if (!needed.run) {
    out << "Even unlimited funding ($" << money_text(kUnlimitedCents)
        << "M a year) cannot keep percent poor at or below " << target_text
        << " in every simulated year: it reaches " << worst_text(needed.unlimited, 2) << ".\n\n"
        << year_table(needed.unlimited);
    tool.write_outputs({needed.unlimited}, chart, {"unlimited"});
    return 0;
  }

  const std::string level = std::string("$").append(money_text(needed.cents)).append("M");
  out << level << " a year.\n";
  if (base.settings.years == 0) {
    out << "With 0 years there is no simulated year: no money is needed.\n\n"
        << year_table(*needed.run);
    tool.write_outputs({*needed.run}, chart, {money_text(needed.cents)});
    return 0;
  }
  out << "Checked: " << level << (needed.run_meets ? " meets the target" : " MISSES the target")
      << " (highest percent poor " << worst_text(*needed.run, 4) << ")";
  if (needed.below) {
    out << "; $" << money_text(needed.cents - 1) << "M"
        << (needed.below_meets ? " MEETS it too" : " misses it") << " ("
        << worst_text(*needed.below, 4) << ").\n";
  } else {
    out << "; no money is needed.\n";
  }
  if (!needed.run_meets || needed.below_meets)
    out << "The check does not agree with the search: the projection gave different results "
           "for the same level.\n";
  if (needed.missed_above_cents) {
    out << "The response to funding is NOT monotonic: $" << money_text(*needed.missed_above_cents)
        << "M misses the target although " << level << ", lower, meets it. " << level
        << " is the lowest level tried that meets it; a level below it that was not tried may "
           "meet it too.\n";
  } else {
    out << "The response to funding was monotonic at every level tried (" << needed.projections
        << " projections).\n";
  }
  out << "\n" << year_table(*needed.run);

  std::vector<ScenarioRun> runs = {*needed.run};
  std::vector<std::string> labels = {money_text(needed.cents) + " (needed)"};
  if (needed.below) {
    runs.push_back(*needed.below);
    labels.push_back(money_text(needed.cents - 1) + " (a cent less)");
  }
  tool.write_outputs(runs, chart, labels);
  return 0;
}

int orders(Tool& tool, const BaseScenario& base) {
  Budget budget = base.saved_budget;
  if (tool.options.funding_cents) budget = fixed_budget(*tool.options.funding_cents);
  if (budget.kind == BudgetKind::kUnlimited) {
    tool.out << "The saved answers do not constrain the model by dollars: every repair the policy "
                "asks for is made, so the repair order makes no difference. Give --funding M to "
                "compare the orders on a budget of M millions a year.\n";
    return 0;
  }

  std::vector<Scenario> list;
  std::vector<std::string> labels;
  for (int32_t order = 1; order <= 4; ++order) {
    list.push_back({budget, order});
    labels.push_back(order_title(order));
  }
  std::vector<ScenarioRun> runs = tool.run(base, list);
  tool.end_progress();

  const std::string budget_text =
      budget.kind == BudgetKind::kVariable
          ? std::string("the variable funding of the funding file")
          : std::string("$").append(money_text(budget.amount)).append("M a year");
  tool.out << "Repair orders compared on " << budget_text << "\n"
           << network_line(base) << "\n\n"
           << orders_table(runs);
  ChartText chart{chart_title(base, budget_text), "Repair order", false, std::nullopt};
  tool.write_outputs(runs, chart, labels);
  return 0;
}

}  // namespace

int run_scenarios_tool(const std::vector<std::string>& args, const std::filesystem::path& root,
                       std::ostream& out, std::ostream& err, bool progress) {
  ToolOptions options;
  try {
    options = parse_tool_options(args);
  } catch (const UsageError& e) {
    err << "pavecast-scenarios: " << e.message << "\n" << usage_text();
    return 2;
  }
  if (options.command == ToolCommand::kHelp) {
    out << usage_text();
    return 0;
  }

  Tool tool{options, root, out, err, progress};
  try {
    BaseOptions base_options;
    base_options.years = options.years;
    base_options.order = options.order;
    base_options.all_orders = options.command == ToolCommand::kOrders;
    base_options.saved_budget = options.command == ToolCommand::kOrders && !options.funding_cents;
    std::istream no_input(nullptr);
    Console warnings(no_input, err);
    BaseScenario base = load_base_scenario(root, base_options, warnings);

    switch (options.command) {
      case ToolCommand::kSweep:
        return sweep(tool, base);
      case ToolCommand::kNeeds:
        return needs(tool, base);
      case ToolCommand::kOrders:
        return orders(tool, base);
      case ToolCommand::kHelp:
        break;
    }
    return 0;
  } catch (const FatalStop& stop) {
    tool.end_progress();
    out.flush();
    err << stop.console_text;
    return stop.status;
  }
}

}  // namespace pavecast
