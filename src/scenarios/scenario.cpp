#include "scenarios/scenario.h"

#include <istream>
#include <ostream>
#include <string>

#include "dialogue/horizon_funding.h"
#include "dialogue/saved_answers.h"
#include "engine/inputs.h"
#include "fatal/fatal.h"
#include "readers/asset_ids.h"
#include "readers/network_loading.h"
#include "readers/random_numbers.h"
#include "scenarios/ledger.h"

namespace pavecast {

namespace {

// The network loaded once for every order: the worst-first keys (the file
// scores) are set now and cleared for the orders that draw theirs. The table
// has no limit and is sized from the scores file; the forced-repair list of
// the saved force-fix file is read after it, so that its rows exist. Nothing
// is written: the working directory is read-only.
void load_network(BaseScenario& base, Console& warnings) {
  NetworkLoading how;
  how.unlimited_table = true;
  how.reuse_random = true;
  how.score_keys_always = true;
  load_network({base.workdir, base.settings, base.tables.pavement, base.tables.actions.action_count,
                base.rates_file},
               how, warnings, {base.segments, base.network, base.forced, base.stats});
}

// The pieces the loader makes of each line.
int32_t split_factor_of(const RunSettings& settings) {
  return is_no(settings.split_answer) ? 1 : std::max<int32_t>(settings.split_factor, 1);
}

// The budget Enter keeps: the saved funding when the model is constrained
// (negative: variable), else unlimited money.
Budget saved_budget(const RunSettings& settings) {
  if (!is_yes(settings.budget_constrained)) return {BudgetKind::kUnlimited, 0.0f};
  if (settings.default_funding < -kFundingZero) return {BudgetKind::kVariable, 0.0f};
  return {BudgetKind::kFixed, settings.default_funding};
}

// The budget and order of `scenario` in the engine's inputs.
void apply_scenario(ProjectionInputs& in, const Scenario& scenario) {
  switch (scenario.budget.kind) {
    case BudgetKind::kFixed:
      in.budget = ForcedRepairBudget::kReserveAndExempt;
      in.funding.fill(scenario.budget.amount);
      in.order = repair_order_of(scenario.repair_order);
      break;
    case BudgetKind::kVariable:
      // The funding table is the base's, read from the funding file.
      in.budget = ForcedRepairBudget::kReserveAndExempt;
      in.order = repair_order_of(scenario.repair_order);
      break;
    case BudgetKind::kUnlimited:
      in.budget = ForcedRepairBudget::kNeither;
      in.funding.fill(kUnlimitedFunding);
      in.order = RepairOrder::kRandom;
      break;
  }
}

// The backlog at the start of every year and the remaining service life at
// its end, for the network and each group of the ledger; every call is
// passed on to `inner`. A year's end is seen at the start of the next (the
// rates have grown by then: the year's own are kept from its start) or when
// the projection ends.
class OutlookObserver : public ExactProjectionObserver {
 public:
  OutlookObserver(ExactProjectionObserver& inner, const ProjectionInputs& in,
                  const SegmentTable& live, const PavementTypes& live_rates, const Ledger* ledger)
      : inner_(inner), in_(in), actions_(in), live_(live), live_rates_(live_rates),
        ledger_(ledger), rates_(live_rates) {
    const int32_t groups = ledger ? ledger->group_count() : 0;
    sums_.assign(static_cast<std::size_t>(groups) + 1,
                 std::vector<Outlook>(static_cast<std::size_t>(in.year_slots) + 1));
    take_backlog(1);
  }

  // The sums of group g (-1: the network) in year index y.
  const Outlook& at(int32_t g, int32_t y) const {
    return sums_[static_cast<std::size_t>(g + 1)][static_cast<std::size_t>(y)];
  }

  bool follows_segments_taken() const override { return inner_.follows_segments_taken(); }
  bool follows_segments_done() const override { return inner_.follows_segments_done(); }
  void year_begins(int32_t year, int32_t segment_count) override {
    take_life(year_);
    rates_ = live_rates_;
    year_ = year;
    take_backlog(year);
    inner_.year_begins(year, segment_count);
  }
  void segment_taken(int32_t year, int32_t position, int32_t i, const Segment& seg) override {
    inner_.segment_taken(year, position, i, seg);
  }
  void forced_repair_reserved(int32_t year, int32_t i, int32_t action, double cost) override {
    inner_.forced_repair_reserved(year, i, action, cost);
  }
  void repair_made(const ExactRepairEvent& repair, const Segment& seg) override {
    inner_.repair_made(repair, seg);
  }
  void segment_done(int32_t year, int32_t t, const Segment& seg, bool forced) override {
    inner_.segment_done(year, t, seg, forced);
  }
  void projection_ends() override {
    take_life(year_);
    inner_.projection_ends();
  }

 private:
  template <typename Add>
  void each_segment(int32_t year, Add add) {
    for (int32_t i = 1; i <= live_.segment_count; ++i) {
      const Segment& seg = live_[i];
      add(sums_[0][static_cast<std::size_t>(year)], seg);
      const int32_t g = ledger_ ? ledger_->group_of(seg) : -1;
      if (g >= 0) add(sums_[static_cast<std::size_t>(g + 1)][static_cast<std::size_t>(year)], seg);
    }
  }
  void take_backlog(int32_t year) {
    each_segment(year, [&](Outlook& o, const Segment& seg) { o.add_backlog(seg, in_, actions_); });
  }
  void take_life(int32_t year) {
    each_segment(year, [&](Outlook& o, const Segment& seg) { o.add_life(seg, rates_); });
  }

  ExactProjectionObserver& inner_;
  const ProjectionInputs& in_;
  const PolicyActions actions_;
  const SegmentTable& live_;
  const PavementTypes& live_rates_;
  const Ledger* ledger_;
  PavementTypes rates_;  // the rates of year_
  int32_t year_ = 1;
  std::vector<std::vector<Outlook>> sums_;  // [network, groups...][year index]
};

void take_outlook(YearFigures& f, const Outlook& o) {
  f.backlog = o.backlog;
  f.backlog_lane_miles = o.backlog_lane_miles;
  f.life_miles = o.life_miles;
}

}  // namespace

Budget fixed_budget(int64_t cents) {
  return {BudgetKind::kFixed, static_cast<float>(static_cast<double>(cents) / 100.0)};
}

BaseScenario load_base_scenario(const std::filesystem::path& root, const BaseOptions& options,
                                Console& warnings) {
  BaseScenario base;
  base.workdir = Workdir{root, /*read_only=*/true};
  resolve_enter_answers(base.workdir, options, base.settings, base.tables);
  base.rates_file =
      options.rates_file.value_or(parameter_file(base.settings, base.workdir, "detrates"));
  base.saved_budget = saved_budget(base.settings);
  base.order = base.settings.repair_order;
  load_network(base, warnings);
  base.asset_ids = read_asset_ids(base.workdir, base.settings.scores_name.trimmed(),
                                  base.segments.segment_count / split_factor_of(base.settings));

  load_traffic_increases(base.workdir, base.settings, base.tables.vmt_increase);
  base.inputs = projection_inputs(base.settings, base.tables, base.network);
  return base;
}

std::string_view asset_id(const BaseScenario& base, int32_t original_number) {
  if (!base.asset_ids || original_number < 1) return {};
  const std::size_t line =
      static_cast<std::size_t>((original_number - 1) / split_factor_of(base.settings) + 1);
  if (line >= base.asset_ids->size()) return {};
  return (*base.asset_ids)[line];
}

YearFigures year_figures(int32_t calendar_year, float total_lane_miles, float poor_miles,
                         float fair_poor_miles, float score_miles) {
  Statistics s;
  s.poor_miles[1] = poor_miles;
  s.fair_poor_miles[1] = fair_poor_miles;
  s.score_miles[1] = score_miles;
  derive_year_statistics(s, total_lane_miles, 1);
  YearFigures f;
  f.calendar_year = calendar_year;
  f.pct_poor = s.pct_poor[1];
  f.pct_fair = s.pct_fair[1];
  f.pct_good = total_lane_miles == 0.0f
                   ? 0.0f
                   : static_cast<float>(100.0 - static_cast<double>(f.pct_poor) -
                                        static_cast<double>(f.pct_fair));
  f.mean_score = s.mean_score[1];
  return f;
}

ScenarioRun run_scenario(const BaseScenario& base, const Scenario& scenario,
                         const RunDetail& detail) {
  ProjectionInputs in = base.inputs;
  apply_scenario(in, scenario);
  // A copy with room for the pieces splits add (at most one a year, and
  // forced repairs), so that the rows are not moved during the run.
  SegmentTable segments(kNoSegmentLimit);
  segments.rows.reserve(base.segments.rows.size() + static_cast<std::size_t>(in.year_slots) +
                        static_cast<std::size_t>(base.forced.forced_count) + 1);
  segments.rows.assign(base.segments.rows.begin(), base.segments.rows.end());
  segments.segment_count = base.segments.segment_count;
  PavementTypes pavement = base.tables.pavement;
  ForcedRepairs forced = base.forced;
  ExactStatistics stats = with_money<double>(base.stats);
  // Random and priority order draw every key at the start of each year; a
  // failed draw in the first year keeps the key the loader left, which is
  // none under those orders.
  // A draw takes its rates, scores and numbers from its own world.
  std::unique_ptr<DrawNumbers> order_draws, recon_draws;
  if (scenario.draw > 0) {
    pavement = drawn_rates(base.tables.pavement, base.worlds, scenario.draw);
    if (is_yes(base.settings.randomize_answer))
      stats.score_miles[1] = redraw_scores(segments, base.worlds, scenario.draw);
    order_draws = std::make_unique<DrawNumbers>(base.worlds, scenario.draw, DrawPurpose::kOrderKey);
    recon_draws =
        std::make_unique<DrawNumbers>(base.worlds, scenario.draw, DrawPurpose::kReconstruction);
    in.keyed_order = order_draws.get();
    in.reconstruction.keyed = recon_draws.get();
  }
  std::unique_ptr<RandomFile> numbers;
  if (draws_order_keys(in.order)) {
    for (int i = 1; i <= segments.segment_count; ++i) segments[i].order_key = 0.0f;
    if (scenario.draw == 0)
      numbers = std::make_unique<RandomFile>(
          InputFile::open_or_fatal(base.workdir.data("random.dat"), IfMissing::kCreateEmpty));
  }

  // Nothing to write unless the ledger is wanted: the records go nowhere,
  // and the pass saves the calls for every segment.
  struct Quiet : ExactProjectionObserver {
    bool follows_segments_taken() const override { return false; }
    bool follows_segments_done() const override { return false; }
  } quiet;
  // A draw reports its network's percents and mean score alone (the bands),
  // as does a level a search only tests: no breakdown, and no backlog or
  // remaining life, which cost a pass over the segments (and their lives)
  // every year.
  const bool figures_only = (scenario.draw > 0 || scenario.figures_only) && !detail.attach;
  std::unique_ptr<Ledger> ledger;
  if (!figures_only && (detail.by != GroupBy::kNone || detail.attach)) {
    ledger =
        std::make_unique<Ledger>(in, base.segments, base.network, base.tables.pavement, detail.by);
    ledger->watch(segments, pavement);
    if (detail.attach) detail.attach(*ledger);
  }
  std::optional<OutlookObserver> outlook;
  if (!figures_only)
    outlook.emplace(ledger ? static_cast<ExactProjectionObserver&>(*ledger) : quiet, in, segments,
                    pavement, ledger.get());
  ExactProjection projection(in, {segments, pavement, forced, stats},
                             outlook ? static_cast<ExactProjectionObserver&>(*outlook) : quiet,
                             numbers.get());
  projection.run();

  ScenarioRun run;
  run.scenario = scenario;
  stats.spent[1] = 0.0f;
  for (int y = 1; y <= in.year_slots; ++y) {
    YearFigures f =
        year_figures(base.network.first_year - 1 + y, base.network.total_lane_miles,
                     stats.poor_miles[y], stats.fair_poor_miles[y], stats.score_miles[y]);
    f.spent = stats.spent[y];
    f.miles_repaired = y == 1 ? 0 : stats.miles_repaired[y];
    if (outlook) take_outlook(f, outlook->at(-1, y));
    run.years.push_back(f);
    run.total_spent += stats.spent[y];
  }
  run.total_miles_repaired = stats.total_miles_repaired;
  for (int a = 1; a <= in.actions.action_count; ++a)
    run.cost_by_action.emplace_back(stats.cost_by_action[a].begin() + 1,
                                    stats.cost_by_action[a].begin() + 1 + in.year_slots);
  if (ledger) {
    run.groups = ledger->groups();
    for (std::size_t g = 0; g < run.groups.size(); ++g)
      for (std::size_t y = 0; y < run.groups[g].years.size(); ++y)
        take_outlook(run.groups[g].years[y],
                     outlook->at(static_cast<int32_t>(g), static_cast<int32_t>(y) + 1));
  }
  return run;
}

}  // namespace pavecast
