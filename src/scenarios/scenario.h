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
// its own copy of the engine's inputs and of the network's tables (copied,
// never shared), with an observer that keeps nothing, so it writes nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogue/enter_keeps.h"
#include "engine/projection.h"
#include "io/console.h"
#include "io/record_files.h"
#include "model/parameter_tables.h"
#include "model/segment_table.h"
#include "model/settings.h"
#include "model/statistics.h"
#include "scenarios/draws.h"
#include "scenarios/outlook.h"

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
  int32_t repair_order = 3;  // 1..5; an unlimited budget always takes 1, as the program does
  int32_t draw = 0;          // 0: the deterministic projection; else a draw (draws.h)
  // Only the network's condition figures by year, as a draw gathers them: no
  // backlog, remaining life or breakdown (the levels a search only tests).
  bool figures_only = false;
};

// The saved answers the base may replace: years, order, every order used,
// the saved budget's funding file read, the network and the rates file.
using BaseOptions = EnterOptions;

struct BaseScenario {
  Workdir workdir;  // read-only
  RunSettings settings;
  ParameterTables tables;
  ProjectionInputs inputs;  // the engine's inputs as the settings and tables give them
  SegmentTable segments;    // loaded; order keys as for worst first
  NetworkValues network;
  ForcedRepairs forced;
  Statistics stats;     // year 1, as loaded
  Budget saved_budget;  // the saved answers' budget
  int32_t order = 0;    // the order of a constrained run: Enter keeps the saved one
  FilePath rates_file;  // the deterioration rates read
  // The agency's ids of the network's segment lines (roads\NAME.ids), [0]
  // empty; none without an ids file.
  std::optional<std::vector<std::string>> asset_ids;
  DrawWorlds worlds;  // the draws a scenario's `draw` picks
};

// The asset id of a loaded segment or of a piece split off it, by its
// original_number; empty when the network has no ids.
std::string_view asset_id(const BaseScenario& base, int32_t original_number);

// Builds the base scenario in the working directory `root`. The priority file
// is read when the order is 2 or all orders are used. Warnings about the
// forced-repair list go to `warnings`. Fatal stops are raised as FatalStop.
BaseScenario load_base_scenario(const std::filesystem::path& root, const BaseOptions& options,
                                Console& warnings);

// Percent poor, percent fair and mean score as the report derives them, with
// the money spent and the lane-miles repaired, for one year index. Percent
// good is what is neither poor nor fair: 100 - poor - fair.
struct YearFigures {
  int32_t calendar_year = 0;
  float pct_poor = 0.0f;
  float pct_fair = 0.0f;
  float mean_score = 0.0f;
  double spent = 0.0;  // 0 for the loaded year
  int32_t miles_repaired = 0;
  float pct_good = 0.0f;
  // The backlog at the start of the year, before any repair (the loaded
  // year: the network as loaded), and the lane-miles by band of remaining
  // service life at its end, at the year's rates (outlook.h).
  double backlog = 0.0;
  double backlog_lane_miles = 0.0;
  std::array<double, kLifeBands> life_miles{};
};

// The figures of a year from its lane-mile sums, as the report derives them
// (a total of 0 lane-miles gives 0.0 for every figure).
YearFigures year_figures(int32_t calendar_year, float total_lane_miles, float poor_miles,
                         float fair_poor_miles, float score_miles);

enum class GroupBy { kNone, kType, kJurisdiction };

// The same figures for a group of segments: a pavement type or a
// jurisdiction code.
struct GroupFigures {
  std::string label;               // "ACC", "jurisdiction 2"
  std::vector<YearFigures> years;  // [0] is the loaded year
  double total_spent = 0.0;
  int32_t total_miles_repaired = 0;
};

struct ScenarioRun {
  Scenario scenario;
  std::vector<YearFigures> years;  // year indices 1..year_slots: [0] is the loaded year
  double total_spent = 0.0;        // the report's total cost
  int32_t total_miles_repaired = 0;
  // The report's cost by action: [a - 1][year index - 1], a = 1..action_count.
  std::vector<std::vector<double>> cost_by_action;
  std::vector<GroupFigures> groups;  // with a breakdown
  // With draws: each year's percentiles over the `draws` draws of the same
  // scenario (this run being draw 0), [0] the loaded year; else empty.
  std::vector<YearBand> bands;
  int32_t draws = -1;  // -1: a command without --draws

  const YearFigures& final_year() const { return years.back(); }
};

class Ledger;

// What a projection gathers besides the network's figures.
struct RunDetail {
  GroupBy by = GroupBy::kNone;
  // Called with the projection's ledger before it runs (the work plan hooks
  // its entries and conditions there).
  std::function<void(Ledger&)> attach;
};

// The projection of `scenario` on copies of the base's inputs and tables.
// Thread-safe for one shared const base.
ScenarioRun run_scenario(const BaseScenario& base, const Scenario& scenario,
                         const RunDetail& detail = {});

}  // namespace pavecast
