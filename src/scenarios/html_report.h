// The report page: everything the scenario tool shows about a network, as one
// self-contained HTML document (inline CSS and SVG, no script, nothing
// fetched) that reads at 1,000 pixels and prints (one section a page where it
// fits). It holds, after a summary in sentences:
//   - the network: segments and lane-miles, by pavement type and jurisdiction;
//   - for the saved budget, each chart with its values in a table below it
//     (a print shows no tooltips): the condition by year (good, fair and poor
//     stacked); percent poor and the mean score by year, with no funding
//     dashed (and the percent-poor target's line); the backlog by year at
//     the saved budget and with no funding, against the budget; the
//     lane-miles by band of remaining service life, stacked; the money by
//     action and year;
//   - the sweep: percent poor in the last year (and at its highest) by level,
//     with the targets' line and the budget they need, marked on a funding
//     axis that reaches it, when targets are given;
//   - the first years of the saved budget's work plan, pieces split off a
//     segment saying so;
//   - with draws, the risk: percent poor by year at the saved budget as a
//     median line in its shaded 80% band, with a sentence saying what the
//     band means, and with targets the lines of the budget that meets them
//     with the confidence asked (its band) and of the deterministic answer.
// Every table has a caption and header cells with a scope; the headings run
// h1, then h2 for each section.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "scenarios/confidence_search.h"
#include "scenarios/funding_search.h"
#include "scenarios/ledger.h"
#include "scenarios/scenario.h"

namespace pavecast {

struct HtmlReport {
  const BaseScenario* base = nullptr;
  std::string network;  // the network line of the tool's tables
  std::string order;    // the repair order's title
  std::string budget;   // the saved budget, in words
  ScenarioRun saved;    // the saved budget's projection
  ScenarioRun none;     // the same order at $0 a year
  bool none_repairs = false;  // whether forced repairs are still made at $0
  int32_t plan_years = 0;
  std::vector<PlanEntry> plan;  // its entries of the first plan_years years
  std::vector<int64_t> sweep_cents;
  std::vector<ScenarioRun> sweep;  // one per level
  std::optional<Targets> targets;
  std::string targets_text;
  std::optional<FundingNeeded> needed;
  // With --draws N > 0: the saved budget's run with its bands, and the
  // confidence answer when targets are given.
  std::optional<ScenarioRun> saved_banded;
  std::optional<ConfidentAnswer> confident;
};

std::string html_report(const HtmlReport& report);

// The fill colours of the charts, each used by one chart alone, so that a
// rendering of the page shows which charts are there.
inline constexpr const char* kGoodColour = "#1a9850";
inline constexpr const char* kFairColour = "#fdd835";
inline constexpr const char* kPoorColour = "#d73027";
inline constexpr const char* kMeanColour = "#2166ac";
inline constexpr const char* kSweepColour = "#762a83";
inline constexpr const char* kBacklogColour = "#e66101";
inline constexpr const char* kPoorLineColour = "#a50f15";  // percent poor by year
inline constexpr const char* kSweepHighColour = "#c2a5cf";
// The remaining-service-life chart's, one per band from 0 years to 13+.
inline constexpr std::array<const char*, 5> kLifeColours = {"#7f2704", "#f16913", "#fed976",
                                                            "#74a9cf", "#0570b0"};
// The spending chart's, one per repair action.
inline constexpr std::array<const char*, 11> kActionColours = {
    "#8dd3c7", "#80b1d3", "#bebada", "#fb8072", "#fdb462", "#b3de69",
    "#fccde5", "#bc80bd", "#ccebc5", "#ffed6f", "#9e9e9e"};

}  // namespace pavecast
