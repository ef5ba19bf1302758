// Scenarios: the program's run without its dialogue, for the scenario tool.
//
// The base scenario is what the program does when the analyst presses Enter
// at every question: the saved answers of the data set that "data\default.dat"
// names, the parameter files read by the program's own readers (a repair
// policy answer of "Y" takes every changeable action out, as Enter at each of
// its lines does), the forced-repair list of the saved force-fix file, and the
// network loaded once. Traces do not apply. The working directory is opened
// read-only: nothing in it is created, rewritten or removed, and a missing
// data file reads as empty, as the program would read the empty file it
// creates. The bad files the program stops on stop the base scenario with the
// same fatal messages; so do saved answers that Enter could never get past (a
// data set, number of years, split factor, repair order or priority out of
// range), with a message naming them.
//
// A scenario varies the budget and the repair order. Each projection runs on
// its own copy of the base (copied, never shared), with a console that
// discards the year messages and no file open, so it writes nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "io/console.h"
#include "app/run_context.h"

namespace pavecast {

enum class BudgetKind {
  kFixed,      // `amount` millions every year
  kVariable,   // the funding file, year by year
  kUnlimited,  // not constrained by dollars
};

struct Budget {
  BudgetKind kind = BudgetKind::kFixed;
  float amount = 0.0f;  // kFixed only
};

// A fixed budget of `cents` hundredths of a million a year.
Budget fixed_budget(int64_t cents);

struct Scenario {
  Budget budget;
  int32_t repair_order = 3;  // 1..4; an unlimited budget always takes 1, as the program does
};

struct BaseOptions {
  std::optional<int32_t> years;  // in place of the saved number of years
  std::optional<int32_t> order;  // in place of the saved repair order
  bool all_orders = false;       // the scenarios use every order (the saved one is not needed)
  bool saved_budget = false;     // read what the saved budget needs (the funding file)
};

struct BaseScenario {
  std::unique_ptr<RunContext> ctx;  // loaded; order keys as for worst first
  Budget saved_budget;              // the saved answers' budget
  int32_t order = 0;                // the order of a constrained run: Enter keeps the saved one
};

// Builds the base scenario in the working directory `root`. The priority file
// is read when the order is 2 or all orders are used. Warnings about the
// forced-repair list go to `warnings`. Fatal stops are raised as FatalStop.
BaseScenario load_base_scenario(const std::filesystem::path& root, const BaseOptions& options,
                                Console& warnings);

// Percent poor, percent fair and mean score as the report derives them, with
// the money spent and the lane-miles repaired, for one year index.
struct YearFigures {
  int32_t calendar_year = 0;
  float pct_poor = 0.0f;
  float pct_fair = 0.0f;
  float mean_score = 0.0f;
  float spent = 0.0f;  // 0 for the loaded year
  int32_t miles_repaired = 0;
};

struct ScenarioRun {
  Scenario scenario;
  std::vector<YearFigures> years;  // year indices 1..year_slots: [0] is the loaded year
  float total_spent = 0.0f;        // the report's total cost
  int32_t total_miles_repaired = 0;

  const YearFigures& final_year() const { return years.back(); }
};

// The projection of `scenario` on a copy of `base`. Thread-safe for one
// shared const base.
ScenarioRun run_scenario(const RunContext& base, const Scenario& scenario);

}  // namespace pavecast
