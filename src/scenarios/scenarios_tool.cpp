#include "scenarios/scenarios_tool.h"

#include <istream>
#include <ostream>
#include <sstream>

#include "fatal/fatal.h"
#include "io/record_files.h"
#include "scenarios/calibrate_command.h"
#include "scenarios/chart.h"
#include "scenarios/funding_search.h"
#include "scenarios/html_report.h"
#include "scenarios/ledger.h"
#include "scenarios/plan.h"
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
    runner.by = options.by;
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

  // A file the user named, written beside its name and replacing it whole
  // when closed. Only a regular file is replaced (through a link to one, the
  // file linked to): a device, a FIFO or a directory of that name is refused.
  std::unique_ptr<OutputFile> open_file(const std::string& name) {
    namespace fs = std::filesystem;
    fs::path path = name;
    if (path.is_relative()) path = root / path;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::exists(status) && !fs::is_regular_file(status))
      fatal("the file is not a regular file, file " + name);
    if (fs::is_regular_file(status) && fs::is_symlink(fs::symlink_status(path, ec)))
      path = fs::canonical(path, ec);
    return OutputFile::create_replacement_or_fatal(FilePath{path, name});
  }

  void write_file(const std::string& name, const std::string& content) {
    auto file = open_file(name);
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

// For each target, the worst value of the years it counts and its year, with
// `decimals` decimals, or more where fewer would show a value that misses as
// the target itself: "percent poor up to 29.9876 in 2031".
std::string worst_text(const ScenarioRun& run, const Targets& targets, int decimals) {
  struct Measure {
    const std::optional<double>& bound;
    const char* text;
    float YearFigures::*value;
    bool highest;
  };
  std::string out;
  for (const Measure& m :
       {Measure{targets.max_poor, "percent poor up to ", &YearFigures::pct_poor, true},
        Measure{targets.min_mean, "mean score down to ", &YearFigures::mean_score, false},
        Measure{targets.min_good, "percent good down to ", &YearFigures::pct_good, false}}) {
    if (!m.bound) continue;
    const YearFigures* worst = nullptr;
    for (std::size_t y = 1; y < run.years.size(); ++y) {
      const YearFigures& f = run.years[y];
      if (targets.from_year && f.calendar_year < *targets.from_year) continue;
      if (!worst || (m.highest ? f.*m.value > worst->*m.value : f.*m.value < worst->*m.value))
        worst = &f;
    }
    if (!out.empty()) out += "; ";
    if (!worst) {
      out += "no year counted";
      continue;
    }
    const float value = worst->*m.value;
    const auto bound = static_cast<float>(*m.bound);
    int shown = decimals;
    while (shown < 7 && value != bound && fixed(value, shown) == fixed(bound, shown)) ++shown;
    out += m.text + fixed(value, shown) + " in " + std::to_string(worst->calendar_year);
  }
  return out;
}

std::string percent_text(double p) {
  std::ostringstream s;
  s.setf(std::ios::fixed);
  s.precision(2);
  s << p;
  return s.str();
}

// "percent poor at or below 30.00 and mean score at least 6.500"
std::string targets_text(const Targets& targets) {
  std::vector<std::string> parts;
  if (targets.max_poor)
    parts.push_back("percent poor at or below " + percent_text(*targets.max_poor));
  if (targets.min_mean) parts.push_back("mean score at least " + fixed(*targets.min_mean, 3));
  if (targets.min_good) parts.push_back("percent good at least " + percent_text(*targets.min_good));
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i)
    out += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
  return out;
}

// The years the targets count, checked against the run's: a year after the
// last is a usage error.
std::string years_text(const BaseScenario& base, const Targets& targets) {
  const int32_t first = base.network.first_year + 1;
  const int32_t last = base.network.first_year + base.settings.years;
  if (targets.from_year && *targets.from_year > last)
    throw UsageError{"--from-year " + std::to_string(*targets.from_year) +
                     " is after the last year of the run, " + std::to_string(last)};
  if (!targets.from_year || *targets.from_year <= first) return "in every simulated year";
  return "in every year from " + std::to_string(*targets.from_year) + " to " + std::to_string(last);
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
  const Targets& targets = tool.options.targets;
  const std::string target_text = targets_text(targets);
  const std::string when = years_text(base, targets);
  tool.batches = true;
  ScenarioBatch batch = [&](const std::vector<Scenario>& list) { return tool.run(base, list); };
  FundingNeeded needed =
      find_funding_needed(batch, base.order, targets, thread_count(tool.options.jobs));
  tool.end_progress();

  std::ostream& out = tool.out;
  out << "Funding needed to keep " << target_text << " " << when << "\n"
      << network_line(base) << ", " << order_title(base.order) << "\n"
      << "(the loaded year " << base.network.first_year
      << " does not count: no money can change it)\n\n";

  std::optional<double> line;
  if (targets.max_poor) line = *targets.max_poor;
  ChartText chart{chart_title(base, order_title(base.order)), "Funding ($M a year)", true, line};
  if (!needed.run) {
    out << "Even unlimited funding ($" << money_text(kUnlimitedCents) << "M a year) cannot keep "
        << target_text << " " << when << ": " << worst_text(needed.unlimited, targets, 2) << ".\n\n"
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
  for (int32_t order = 1; order <= 5; ++order) {
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

// The budget of a command that projects one: --funding, else the saved one.
Budget command_budget(const Tool& tool, const BaseScenario& base) {
  if (tool.options.funding_cents) return fixed_budget(*tool.options.funding_cents);
  return base.saved_budget;
}

std::string budget_text(const Budget& budget) {
  switch (budget.kind) {
    case BudgetKind::kFixed: {
      // Appended, not "$" + string: g++ 12 at -O3 reports a false -Wrestrict
      // on a literal plus a temporary string (GCC bug 105651).
      std::string text = "$";
      text += money_text(budget.amount);
      return text + "M a year";
    }
    case BudgetKind::kVariable:
      return "the variable funding of the funding file";
    case BudgetKind::kUnlimited:
      break;
  }
  return "unlimited funding";
}

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

int plan(Tool& tool, const BaseScenario& base) {
  const Budget budget = command_budget(tool, base);
  const ToolOptions& options = tool.options;
  std::unique_ptr<OutputFile> csv;
  if (!options.csv_file.empty()) csv = tool.open_file(options.csv_file);
  std::unique_ptr<OutputFile> conditions;
  if (!options.conditions_file.empty()) conditions = tool.open_file(options.conditions_file);

  PlanTally tally;
  for (int32_t y = 1; y <= base.settings.years; ++y)
    tally.years.push_back({base.network.first_year + y, 0, 0.0, 0.0});
  const std::string header = plan_header();
  if (csv)
    csv->write(header);
  else
    tool.out << header;
  if (conditions) conditions->write(conditions_header());
  RunDetail detail{options.by, [&](Ledger& ledger) {
                     ledger.on_entry = [&](const PlanEntry& e) {
                       tally.add(e);
                       const std::string row =
                           plan_row(e, base.tables.actions, base.tables.pavement);
                       if (csv)
                         csv->write(row);
                       else
                         tool.out << row;
                     };
                     if (conditions)
                       ledger.on_conditions = [&](int32_t year, const std::vector<float>& scores) {
                         conditions->write(conditions_rows(year, scores));
                       };
                   }};
  const ScenarioRun run = run_scenario(base, {budget, base.order}, detail);
  if (conditions) conditions->close();
  if (!csv) return 0;
  csv->close();
  tool.out << "Work plan: " << network_line(base) << ", " << order_title(run.scenario.repair_order)
           << ", " << budget_text(budget) << "\n\n"
           << plan_year_table(tally.years) << "\n"
           << year_table(run);
  return 0;
}

int report(Tool& tool, const BaseScenario& base) {
  const ToolOptions& options = tool.options;
  HtmlReport page;
  page.base = &base;
  page.network = network_line(base);
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

  std::vector<Scenario> list;
  for (int64_t cents : sweep_levels(options)) {
    list.push_back({fixed_budget(cents), base.order});
    page.sweep_cents.push_back(cents);
  }
  page.sweep = tool.run(base, list);
  if (options.targets.any()) {
    page.targets = options.targets;
    page.targets_text = targets_text(options.targets) + " " + years_text(base, options.targets);
    tool.batches = true;
    ScenarioBatch batch = [&](const std::vector<Scenario>& l) { return tool.run(base, l); };
    page.needed =
        find_funding_needed(batch, base.order, options.targets, thread_count(options.jobs));
  }
  tool.end_progress();
  tool.write_file(options.html_file, html_report(page));
  tool.out << "Report of " << page.network << " written to " << options.html_file << "\n";
  return 0;
}

}  // namespace

int run_scenarios_tool(const std::vector<std::string>& args, const std::filesystem::path& root,
                       std::ostream& out, std::ostream& err, bool progress) {
  if (!args.empty() && args[0] == "calibrate") return run_calibrate(args, root, out, err);
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

  // Everything the tool reads is under data/ and roads/.
  std::error_code ec;
  if (!std::filesystem::is_directory(root / "data", ec) ||
      !std::filesystem::is_directory(root / "roads", ec)) {
    err << "pavecast-scenarios: run it in a program directory, one that holds the data/ and "
           "roads/ folders of a network (make run makes build/run); "
        << root.string() << " does not hold both\n";
    return 1;
  }

  Tool tool{options, root, out, err, progress};
  try {
    BaseOptions base_options;
    base_options.years = options.years;
    base_options.order = options.order;
    base_options.all_orders = options.command == ToolCommand::kOrders;
    const bool saved_budget_used =
        options.command == ToolCommand::kReport ||
        ((options.command == ToolCommand::kOrders || options.command == ToolCommand::kPlan) &&
         !options.funding_cents);
    base_options.saved_budget = saved_budget_used;
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
      case ToolCommand::kPlan:
        return plan(tool, base);
      case ToolCommand::kReport:
        return report(tool, base);
      case ToolCommand::kHelp:
        break;
    }
    return 0;
  } catch (const FatalStop& stop) {
    tool.end_progress();
    out.flush();
    err << stop.console_text;
    return stop.status;
  } catch (const UsageError& e) {
    tool.end_progress();
    err << "pavecast-scenarios: " << e.message << "\n";
    return 2;
  }
}

}  // namespace pavecast
