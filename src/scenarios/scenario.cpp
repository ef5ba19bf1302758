#include "scenarios/scenario.h"

#include <istream>
#include <ostream>
#include <string>

#include "dialogue/saved_answers.h"
#include "engine/projection.h"
#include "fatal/fatal.h"
#include "readers/forced_repairs.h"
#include "readers/loading.h"
#include "readers/deterioration_rates.h"
#include "dialogue/horizon_funding.h"
#include "dialogue/network_options.h"
#include "readers/policy_matrices.h"
#include "readers/repair_actions.h"
#include "dialogue/repair_order.h"
#include "output/projection_report.h"

namespace pavecast {

namespace {

constexpr int kWorstFirst = 3;

// The saved answers file as messages show it: "data\default2.dat" gives
// "data/default2.dat".
std::string shown_answers_file(const RunContext& ctx) {
  std::string name(ctx.answers_file_name.trimmed());
  for (char& c : name)
    if (c == '\\') c = '/';
  return name;
}

// The data set Enter keeps: the saved number, which must name a listed set
// (the question is asked again for any other, for ever).
void keep_data_set(RunContext& ctx) {
  if (!is_no(ctx.secondary_data_answer)) {
    read_data_sets(ctx);
    ctx.data_set = ctx.default_data_set;
    if (ctx.data_set < 1 || ctx.data_set > ctx.data_set_count)
      fatal("data set " + std::to_string(ctx.data_set) + " of data/default.dat is not one of the " +
            std::to_string(ctx.data_set_count) + " listed in data/class.dat");
  }
  name_answers_file(ctx);
}

void keep_years(RunContext& ctx, const BaseOptions& options) {
  ctx.years = options.years.value_or(ctx.default_years);
  if (ctx.years < 0 || ctx.years > kMaxYears)
    fatal("the saved number of years, " + std::to_string(ctx.years) + ", is outside 0 to " +
          std::to_string(kMaxYears) + ", file " + shown_answers_file(ctx));
  ctx.year_slots = ctx.years + 1;
}

// The repair order question comes when the model is constrained; Enter keeps
// the saved order, and asks again for ever when it is not 1..4.
int32_t keep_order(const RunContext& ctx, const BaseOptions& options) {
  if (options.all_orders) return 0;
  int32_t order = options.order.value_or(ctx.saved_repair_order);
  if (order < 1 || order > 4)
    fatal("the saved repair order, " + std::to_string(order) + ", is not one of 1 to 4, file " +
          shown_answers_file(ctx));
  return order;
}

// The budget Enter keeps: the saved funding when the model is constrained
// (negative: variable), else unlimited money.
Budget saved_budget(const RunContext& ctx) {
  constexpr float kFundingZero = 0.0001f;
  if (!is_yes(ctx.budget_constrained)) return {BudgetKind::kUnlimited, 0.0f};
  if (ctx.default_funding < -kFundingZero) return {BudgetKind::kVariable, 0.0f};
  return {BudgetKind::kFixed, ctx.default_funding};
}

// Priority order: the file's priorities, kept by Enter only when each lies in
// 1..999 (any other is refused, and Enter again keeps the refused value).
void keep_priorities(RunContext& ctx) {
  read_priority_file(ctx);
  const std::string shown = parameter_file(ctx, "priority").shown;
  for (int s = 1; s <= 8; ++s)
    if (ctx.priority[s] < 1 || ctx.priority[s] > 999)
      fatal("the priority of class " + std::to_string(s) + ", " + std::to_string(ctx.priority[s]) +
            ", is outside 1 to 999, file " + shown);
  ctx.priority[9] = kTopClassPriority;
  ctx.priority[10] = kTopClassPriority;
}

void read_parameter_files(RunContext& ctx) {
  {
    auto file = InputFile::open_or_fatal(parameter_file(ctx, "repairs"), IfMissing::kCreateEmpty);
    // Enter at an action's line gives it a limit of 0.
    LimitQuestion enter;
    if (is_yes(ctx.change_repeat_policy)) enter = [](const RepairAction&) { return 0; };
    read_repair_actions_file(ctx, *file, enter);
  }
  {
    auto file = InputFile::open_or_fatal(parameter_file(ctx, "detrates"), IfMissing::kCreateEmpty);
    read_deterioration_rates_file(ctx.pavement, *file);
  }
  auto file = InputFile::open_or_fatal(parameter_file(ctx, "matrix"), IfMissing::kCreateEmpty);
  read_policy_matrices_file(ctx, *file);
}

// The network options Enter keeps, as the dialogue leaves them.
void keep_network_options(RunContext& ctx) {
  ctx.scores_name = ctx.default_scores_name;
  if (!is_no(ctx.split_answer)) {
    if (ctx.split_factor < 1 || ctx.split_factor > 999)
      fatal("the saved split factor, " + std::to_string(ctx.split_factor) +
            ", is outside 1 to 999, file " + shown_answers_file(ctx));
    ctx.copies_made = ctx.split_factor;
  }
  if (!is_no(ctx.reconstruct_answer))
    use_reconstruction_percent(ctx, reconstruction_default_percent(ctx));
}

void load_network(RunContext& ctx, Console& warnings) {
  if (is_no(ctx.force_fix_answer)) {
    ctx.forced = ForcedRepairs{};
  } else {
    read_forced_repairs(ctx, warnings);
  }
  const FilePath scores_path = ctx.workdir.roads(std::string(ctx.scores_name.trimmed()));
  auto scores = InputFile::open_or_fatal(scores_path, IfMissing::kCreateEmpty);
  std::unique_ptr<InputFile> random;
  if (is_yes(ctx.randomize_answer))
    random = InputFile::open_or_fatal(ctx.workdir.data("random.dat"), IfMissing::kCreateEmpty);

  // Loaded once for every order: the worst-first keys (the file scores) are
  // set now and cleared for the orders that draw theirs.
  const int32_t order = ctx.repair_order;
  ctx.repair_order = kWorstFirst;
  load_segment_table(ctx, *scores, random.get());
  ctx.repair_order = order;

  if (ctx.segments.segment_count == 0) {
    // With no pavement type no group of the scores file is read: the rates
    // file is at fault.
    if (ctx.pavement.pavement_type_count == 0)
      fatal("the deterioration rates define no pavement type, file " +
            parameter_file(ctx, "detrates").shown);
    fatal("the scores file holds no segments, file " + scores_path.shown);
  }
  ignore_forced_entries_beyond_network(ctx, warnings);
}

// Sets the budget and order of `scenario` on a copy of the base.
void apply_scenario(RunContext& ctx, const Scenario& scenario) {
  switch (scenario.budget.kind) {
    case BudgetKind::kFixed:
      ctx.budget_constrained = 'Y';
      use_fixed_funding(ctx, scenario.budget.amount);
      ctx.repair_order = scenario.repair_order;
      break;
    case BudgetKind::kVariable:
      // The funding table is the base's, read from the funding file.
      ctx.budget_constrained = 'Y';
      ctx.variable_funding = true;
      ctx.annual_funding = ctx.default_funding;
      ctx.repair_order = scenario.repair_order;
      break;
    case BudgetKind::kUnlimited:
      ctx.budget_constrained = 'N';
      ctx.annual_funding = kUnlimitedFunding;
      use_unlimited_funding(ctx);
      ctx.repair_order = 1;
      break;
  }
  // Random and priority order draw every key at the start of each year; a
  // failed draw in the first year keeps the key the loader left, which is
  // none under those orders.
  if (ctx.repair_order == 1 || ctx.repair_order == 2)
    for (int i = 1; i <= ctx.segments.segment_count; ++i) ctx.segments[i].order_key = 0.0f;
}

}  // namespace

Budget fixed_budget(int64_t cents) {
  return {BudgetKind::kFixed, static_cast<float>(static_cast<double>(cents) / 100.0)};
}

BaseScenario load_base_scenario(const std::filesystem::path& root, const BaseOptions& options,
                                Console& warnings) {
  BaseScenario base;
  base.ctx = std::make_unique<RunContext>(Workdir{root, /*read_only=*/true});
  RunContext& ctx = *base.ctx;

  read_default_dat(ctx);
  keep_data_set(ctx);
  read_saved_answers(ctx);
  ctx.trace_answer = 'N';
  ctx.trace_count = 0;

  keep_years(ctx, options);
  base.saved_budget = saved_budget(ctx);
  if (options.saved_budget && base.saved_budget.kind == BudgetKind::kVariable)
    use_variable_funding(ctx);
  base.order = keep_order(ctx, options);
  ctx.repair_order = base.order;
  if (options.all_orders || base.order == 2) keep_priorities(ctx);

  read_parameter_files(ctx);
  keep_network_options(ctx);
  load_network(ctx, warnings);
  return base;
}

ScenarioRun run_scenario(const RunContext& base, const Scenario& scenario) {
  auto ctx = std::make_unique<RunContext>(base);
  apply_scenario(*ctx, scenario);

  // The year messages go nowhere; no file is open, so nothing is written.
  std::istream no_input(nullptr);
  std::ostream discard(nullptr);
  Console console(no_input, discard);
  run_projection(*ctx, console);

  ScenarioRun run;
  run.scenario = scenario;
  Statistics& s = ctx->stats;
  s.spent[1] = 0.0f;
  for (int y = 1; y <= ctx->year_slots; ++y) {
    derive_year_statistics(*ctx, y);
    YearFigures f;
    f.calendar_year = ctx->network.first_year - 1 + y;
    f.pct_poor = s.pct_poor[y];
    f.pct_fair = s.pct_fair[y];
    f.mean_score = s.mean_score[y];
    f.spent = s.spent[y];
    f.miles_repaired = y == 1 ? 0 : s.miles_repaired[y];
    run.years.push_back(f);
    // Summed as the report sums its total cost.
    run.total_spent = static_cast<float>(static_cast<double>(run.total_spent) + s.spent[y]);
  }
  run.total_miles_repaired = s.total_miles_repaired;
  return run;
}

}  // namespace pavecast
