// needs: the smallest fixed annual funding keeping the targets in every
// year counted (funding_search.h), with the check of that level and of the
// level $0.01M below it, whether the response was found monotonic, and that
// run's table; a plain statement when even unlimited funding misses the
// targets. The --csv file holds both checked runs (or the unlimited run).
// With --draws N (N > 0) the confidence answer follows (confidence_search.h):
// the level at which --confidence C % of the draws (default 50) meet the
// targets, the shares there and a cent below, the levels checked, and the
// median and 80% band by year; the files then hold those two levels, with
// their bands.
#include <map>
#include <ostream>

#include "scenarios/confidence_search.h"
#include "scenarios/tool_text.h"

#include "scenarios/command_run.h"
#include "scenarios/scenario_output.h"
#include "scenarios/scenario_runs.h"

namespace pavecast {

namespace {

// The check of the level found and of the level a cent below, and what the
// search saw of the response to funding.
void print_check(CommandRun& run, const FundingNeeded& needed, const std::string& level) {
  const Targets& targets = run.options.targets;
  std::ostream& out = run.out;
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
}

// The level found: its check, its table, and its files with the run a cent
// below.
void print_found(CommandRun& run, const FundingNeeded& needed, const ChartText& chart,
                 bool files) {
  const std::string level = std::string("$").append(money_text(needed.cents)).append("M");
  run.out << level << " a year.\n";
  if (run.base.settings.years == 0) {
    run.out << "With 0 years there is no simulated year: no money is needed.\n\n"
            << year_table(*needed.run);
    if (files) run.write_outputs({*needed.run}, chart, {money_text(needed.cents)});
    return;
  }
  print_check(run, needed, level);
  run.out << "\n" << year_table(*needed.run);
  std::vector<ScenarioRun> runs = {*needed.run};
  std::vector<std::string> labels = {money_text(needed.cents) + " (needed)"};
  if (needed.below) {
    runs.push_back(*needed.below);
    labels.push_back(money_text(needed.cents - 1) + " (a cent less)");
  }
  if (files) run.write_outputs(runs, chart, labels);
}

// "(seed 1, rates drawn with a spread of 20.00%)" and the like.
std::string draws_text(const ToolOptions& options) {
  std::string text = format_text("(seed %lld, rates drawn with a spread of %s%%",
                                 static_cast<long long>(options.seed),
                                 fixed(options.rate_spread, 2).c_str());
  if (!options.rate_intervals.empty())
    text += format_text("\nwhere %s gives no interval", options.rate_intervals.c_str());
  text += ")";
  return text;
}

std::string share_text(const LevelShare& s, int32_t draws) {
  return format_text("%d of %d draws (%s%%)", s.met, draws,
                     fixed(100.0 * s.met / draws, 1).c_str());
}

// The draws' runs at each level the confidence search checks, kept so that
// the levels reported get their bands without running their draws again.
struct DrawCache {
  std::map<int64_t, std::map<int32_t, ScenarioRun>> runs;  // by level, by draw

  // The draw-0 run of `cents` with the bands of its draws, every one run.
  ScenarioRun banded(CommandRun& run, int64_t cents) {
    ScenarioRun out = run.run({{fixed_budget(cents), run.base.order, 0}}).front();
    std::vector<ScenarioRun> draws;
    for (auto& [draw, r] : runs[cents]) draws.push_back(std::move(r));
    out.bands = bands_of(draws);
    out.draws = static_cast<int32_t>(draws.size());
    return out;
  }
};

}  // namespace

ConfidentAnswer confident_answer(CommandRun& run, const FundingNeeded& needed) {
  const ToolOptions& options = run.options;
  const Targets& targets = options.targets;
  const int32_t draws = *options.draws;
  const int32_t confidence = options.confidence.value_or(50);
  constexpr int32_t kBatch = 16;
  DrawCache cache;
  DrawCount count = [&](int64_t cents, const std::vector<int32_t>& draws) {
    std::vector<Scenario> list;
    for (int32_t d : draws) list.push_back({fixed_budget(cents), run.base.order, d});
    std::vector<ScenarioRun> runs = run.run(list);
    std::vector<bool> met;
    std::map<int32_t, ScenarioRun>& kept = cache.runs[cents];
    for (std::size_t k = 0; k < runs.size(); ++k) {
      met.push_back(meets_targets(runs[k], targets));
      kept[draws[k]] = std::move(runs[k]);
    }
    return met;
  };
  std::optional<int64_t> start;
  if (needed.run) start = needed.cents;
  ConfidentAnswer answer;
  answer.confidence = confidence;
  answer.found = find_confident_funding(count, draws, confidence, start, kUnlimitedCents, kBatch);
  if (answer.found.cents) {
    answer.runs.push_back(cache.banded(run, *answer.found.cents));
    if (answer.found.below) answer.runs.push_back(cache.banded(run, *answer.found.cents - 1));
  }
  if (needed.run) answer.deterministic = needed.cents;
  return answer;
}

namespace {

// The confidence answer beside the deterministic one, its checks, its table
// and its files.
int print_confident(CommandRun& run, const FundingNeeded& needed, const ChartText& chart) {
  const ToolOptions& options = run.options;
  const int32_t draws = *options.draws;
  const ConfidentAnswer answer = confident_answer(run, needed);
  const ConfidentFunding& found = answer.found;
  const int32_t confidence = answer.confidence;
  run.end_progress();

  std::ostream& out = run.out;
  out << "\nWith " << confidence << "% confidence: at least " << found.needed << " of the "
      << draws << " draws meeting the targets\n"
      << draws_text(options) << ".\n";
  const std::string deterministic =
      needed.run ? format_text("$%sM a year", money_text(needed.cents).c_str())
                 : std::string("none (even unlimited funding misses)");
  if (!found.cents) {
    const LevelShare& top = found.checked.rbegin()->second;
    out << "Even $" << money_text(kUnlimitedCents) << "M a year meets the targets in only "
        << top.met << " of the " << top.run << " draws it took to settle: no level meets them "
        << "with " << confidence << "% confidence. The deterministic answer: " << deterministic
        << ".\n";
    run.write_outputs({needed.run ? *needed.run : needed.unlimited}, chart,
                      {needed.run ? money_text(needed.cents) : std::string("unlimited")});
    return 0;
  }
  const int64_t cents = *found.cents;
  out << "$" << money_text(cents) << "M a year: " << share_text(*found.at, draws)
      << " meet the targets;\n";
  if (found.below)
    out << "$" << money_text(cents - 1) << "M a year: " << share_text(*found.below, draws)
        << ".\n";
  else
    out << "no money is needed.\n";
  out << "The deterministic answer (draw 0, the projection without draws): " << deterministic
      << ".\n";
  if (found.inferred_wrongly)
    out << "Some draws respond to funding out of order: the search was made again, every level\n"
           "settled on the draws run there alone.\n";
  out << "Levels checked: the draws counted as meeting the targets when each was settled\n"
         "(run there, or met at a level below and missed at none above), and those run:\n";
  for (const auto& [c, s] : found.checked)
    out << format_text("  %11s  %6d met  %6d run  %s\n",
                       format_text("$%sM", money_text(c).c_str()).c_str(), s.met, s.run,
                       s.meets ? "meets" : "misses");
  if (found.falls)
    out << "The share of draws meeting the targets does NOT rise with funding: of the first "
        << found.falls->common << "\ndraws, " << found.falls->met_higher << " meet them at $"
        << money_text(found.falls->higher) << "M but " << found.falls->met_lower << " at $"
        << money_text(found.falls->lower)
        << "M, lower; a level below the one found that\nwas not checked may meet the "
           "confidence too.\n";
  else
    out << "The share of draws meeting the targets rose with funding at every level checked\n("
        << found.projections << " projections of draws).\n";

  std::vector<std::string> labels = {
      format_text("%s (%d%% confidence)", money_text(cents).c_str(), confidence)};
  if (found.below) labels.push_back(money_text(cents - 1) + " (a cent less)");
  out << "\n" << band_table(answer.runs.front());
  run.write_outputs(answer.runs, chart, labels);
  return 0;
}

}  // namespace

int needs_command(CommandRun& run) {
  const BaseScenario& base = run.base;
  const Targets& targets = run.options.targets;
  const std::string target_text = targets_text(targets);
  const std::string when = years_text(base, targets);
  FundingNeeded needed =
      find_funding_needed(run.batch(), base.order, targets, thread_count(run.options.jobs));
  run.end_progress();

  run.out << "Funding needed to keep " << target_text << " " << when << "\n"
          << network_line(base) << ", " << order_title(base.order) << "\n"
          << rates_line(base) << "\n"
          << "(the loaded year " << base.network.first_year
          << " does not count: no money can change it)\n\n";
  std::optional<double> line;
  if (targets.max_poor) line = *targets.max_poor;
  ChartText chart{chart_title(base, order_title(base.order)), "Funding ($M a year)", true, line};
  const bool confident = run.options.draws && *run.options.draws > 0 && base.settings.years > 0;
  if (needed.run) {
    print_found(run, needed, chart, !confident);
    if (confident) return print_confident(run, needed, chart);
    return 0;
  }
  run.out << "Even unlimited funding ($" << money_text(kUnlimitedCents) << "M a year) cannot keep "
          << target_text << " " << when << ": " << worst_text(needed.unlimited, targets, 2)
          << ".\n\n"
          << year_table(needed.unlimited);
  if (confident) return print_confident(run, needed, chart);
  run.write_outputs({needed.unlimited}, chart, {"unlimited"});
  return 0;
}

}  // namespace pavecast
