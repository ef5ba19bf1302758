#include "scenarios/command_run.h"

#include <ostream>
#include <sstream>

#include "io/output_paths.h"
#include "scenarios/scenario_output.h"
#include "scenarios/scenario_runs.h"
#include "scenarios/tool_text.h"

namespace pavecast {

std::vector<ScenarioRun> CommandRun::run(const std::vector<Scenario>& list) {
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

std::vector<ScenarioRun> CommandRun::run_drawn(const std::vector<Scenario>& list) {
  if (!options.draws) return run(list);
  if (list.size() * (static_cast<std::size_t>(*options.draws) + 1) > 4096) batches = true;
  return pavecast::run_drawn(base, list,
                             [this](const std::vector<Scenario>& batch) { return run(batch); });
}

ScenarioBatch CommandRun::batch() {
  batches = true;
  return [this](const std::vector<Scenario>& list) { return run(list); };
}

void CommandRun::end_progress() {
  if (progress && shown_progress > 0) err << "\r" << std::string(40, ' ') << "\r" << std::flush;
}

std::unique_ptr<OutputFile> CommandRun::open_file(const std::string& name) {
  std::filesystem::path path = name;
  if (path.is_relative()) path = base.workdir.root / path;
  return create_output({"", name, path});
}

void CommandRun::write_file(const std::string& name, const std::string& content) {
  if (name == kStandardOutput) {
    out << content;
    return;
  }
  auto file = open_file(name);
  file->write(content);
  file->close();
}

void CommandRun::write_outputs(const std::vector<ScenarioRun>& runs, const ChartText& chart,
                               const std::vector<std::string>& labels) {
  if (!options.csv_file.empty()) write_file(options.csv_file, csv_text(runs));
  if (options.svg_file.empty()) return;
  std::vector<ChartSeries> series;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    series.push_back(chart_series(runs[i], labels[i]));
  }
  write_file(options.svg_file, percent_poor_chart(series, chart));
}

std::string network_name(const BaseScenario& base) {
  return from_latin1(base.network.network_name.trimmed());
}

std::string network_line(const BaseScenario& base) {
  return from_latin1(base.settings.scores_name.trimmed()) + " (" + network_name(base) + "), " +
         std::to_string(base.segments.segment_count) + " segments, conditions of " +
         std::to_string(base.network.first_year) + ", " + std::to_string(base.settings.years) +
         " years";
}

std::string rates_line(const BaseScenario& base) {
  return "Deterioration rates: " + base.rates_file.shown;
}

std::string chart_title(const BaseScenario& base, const std::string& what) {
  return "Percent poor by year: " + network_name(base) + ", " + what;
}

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

namespace {

std::string percent_text(double p) {
  std::ostringstream s;
  s.setf(std::ios::fixed);
  s.precision(2);
  s << p;
  return s.str();
}

}  // namespace

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

std::string years_text(const BaseScenario& base, const Targets& targets) {
  const int32_t first = base.network.first_year + 1;
  const int32_t last = base.network.first_year + base.settings.years;
  if (targets.from_year && *targets.from_year > last)
    throw UsageError{"--from-year " + std::to_string(*targets.from_year) +
                     " is after the last year of the run, " + std::to_string(last)};
  if (targets.from_year && *targets.from_year < first)
    throw UsageError{"--from-year " + std::to_string(*targets.from_year) +
                     " is before the first simulated year, " + std::to_string(first)};
  if (!targets.from_year || *targets.from_year == first) return "in every simulated year";
  return "in every year from " + std::to_string(*targets.from_year) + " to " + std::to_string(last);
}

Budget command_budget(const CommandRun& run) {
  if (run.options.funding_cents) return fixed_budget(*run.options.funding_cents);
  return run.base.saved_budget;
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

}  // namespace pavecast
