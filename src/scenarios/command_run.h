// What a command's handler (tool_commands.h) is handed: the options, the
// base scenario loaded for it, the outputs, and the means to run a batch of
// projections with the progress line and to write the files it names; and
// the wording the commands share.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "io/record_files.h"
#include "scenarios/chart.h"
#include "scenarios/confidence_search.h"
#include "scenarios/funding_search.h"
#include "scenarios/scenario.h"
#include "scenarios/scenario_options.h"

namespace pavecast {

struct CommandRun {
  const ToolOptions& options;
  const BaseScenario& base;
  std::ostream& out;
  std::ostream& err;
  bool progress;                   // the progress line on `err`
  bool batches = false;            // several batches of unknown number: no total shown
  std::size_t shown_progress = 0;  // projections counted by earlier batches

  // A batch of projections on every core allowed, with the progress line.
  std::vector<ScenarioRun> run(const std::vector<Scenario>& list);
  // With --draws: each scenario with its draws, the draw-0 runs returned
  // with their bands (scenario_runs.h); else run(list).
  std::vector<ScenarioRun> run_drawn(const std::vector<Scenario>& list);
  // The funding search's batches, run that way.
  ScenarioBatch batch();
  // Clears the progress line.
  void end_progress();

  // A file an option names (checked before the command ran, output_paths.h).
  std::unique_ptr<OutputFile> open_file(const std::string& name);
  // The same, or `out` for the name kStandardOutput.
  void write_file(const std::string& name, const std::string& content);
  // The --csv file of the runs and the --svg chart of them, where asked.
  void write_outputs(const std::vector<ScenarioRun>& runs, const ChartText& chart,
                     const std::vector<std::string>& labels);
};

// With --draws N > 0 and targets: the confidence search from the
// deterministic answer (confidence_search.h), with the draw-0 runs of the
// level found and of a cent below it, banded.
ConfidentAnswer confident_answer(CommandRun& run, const FundingNeeded& needed);

// "NET1 (Tri-County Regional), 800 segments, conditions of 2025, 10 years"
std::string network_line(const BaseScenario& base);
// "Deterioration rates: data/detrates.dat": the rates file used (a line of
// its own, so that the network line keeps to 80 columns).
std::string rates_line(const BaseScenario& base);
// "Percent poor by year: NAME, WHAT"
std::string chart_title(const BaseScenario& base, const std::string& what);
// The network's name, as UTF-8.
std::string network_name(const BaseScenario& base);

// For each target, the worst value of the years it counts and its year, with
// `decimals` decimals, or more where fewer would show a value that misses as
// the target itself: "percent poor up to 29.9876 in 2031".
std::string worst_text(const ScenarioRun& run, const Targets& targets, int decimals);
// "percent poor at or below 30.00 and mean score at least 6.500"
std::string targets_text(const Targets& targets);
// "in every simulated year"; a --from-year before the run's first simulated
// year or after its last is a usage error.
std::string years_text(const BaseScenario& base, const Targets& targets);

// The budget of a command that projects one: --funding, else the saved one.
Budget command_budget(const CommandRun& run);
// "$40.00M a year", "the variable funding of the funding file", "unlimited funding"
std::string budget_text(const Budget& budget);

}  // namespace pavecast
