// What the scenario tool prints and writes: the CSV of the projections and
// the plain-text tables.
//
// CSV (one header line, then per projection and group one row per year and
// a summary row; a field is quoted only when it holds a comma or a quote; a
// group's name is a text cell, csv_text_field()):
//
//   kind,funding,order,group,year,percent_poor,percent_fair,percent_good,mean_score,spent,
//   lane_miles_repaired,backlog,backlog_lane_miles,rsl_0,rsl_1_3,rsl_4_7,rsl_8_12,rsl_13_plus
//
//   kind                 "year", or "summary" for the projection's summary row
//   funding              millions of dollars a year, two decimals ("25.00"), or
//                        "variable" (the funding file), or "unlimited"
//   order                random, priority, worst-first, best-first or
//                        cost-effectiveness
//   group                "network", then with a breakdown each pavement type
//                        (its name) or jurisdiction ("jurisdiction 2")
//   year                 calendar year; the first row is the loaded year; the
//                        summary row carries the last year
//   percent_poor         percent of lane-miles in class 5 or less, two decimals
//   percent_fair         percent of lane-miles in class 6, two decimals
//   percent_good         100 - poor - fair, two decimals
//   mean_score           mean score weighted by lane-miles, three decimals
//   spent                millions spent in the year (0 in the loaded year);
//                        summary row: the total over the run; three decimals
//   lane_miles_repaired  whole lane-miles repaired in the year; summary row:
//                        the total
//   backlog              millions the policy matrix's repairs of every segment
//                        would cost at the start of the year, before any repair
//                        (the loaded year: the network as loaded), three decimals
//   backlog_lane_miles   the lane-miles those repairs cover, two decimals
//   rsl_0 .. rsl_13_plus lane-miles by remaining service life at the end of the
//                        year (outlook.h): 0, 1-3, 4-7, 8-12, 13 or more years;
//                        two decimals
//
// The summary row's percents, mean score, backlog and service life are those
// of the last year.
// These are the report's numbers before it rounds them for its columns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scenarios/chart.h"
#include "scenarios/scenario.h"

namespace pavecast {

// A value with `decimals` decimals, never "-0.00".
std::string fixed(double value, int decimals);
// "25.00" for 2500 cents.
std::string money_text(int64_t cents);
std::string money_text(float millions);
// The CSV funding field of a budget.
std::string funding_label(const Budget& budget);
// "worst-first"; and "Worst first" for titles.
std::string order_label(int32_t repair_order);
std::string order_title(int32_t repair_order);

std::string csv_header();
// With draws, the columns appended to each line: p10_, p50_ and p90_ of
// percent_poor, percent_good and mean_score, each with the decimals of its
// figure, for the network's rows (empty for a group's rows).
std::string csv_band_header();
std::string csv_rows(const ScenarioRun& run, bool with_bands = false);
// The band columns are there when a run was made with --draws (draws >= 0).
std::string csv_text(const std::vector<ScenarioRun>& runs);

// A CSV field, valid UTF-8 (tool_text.h), quoted when it holds a comma, a
// quote or a line end: the form of a value that must join back as it is.
std::string csv_field(const std::string& text);
// A text cell (a name, a description, a note): the same, but a text that
// begins with = + - @, a tab or a carriage return, which a spreadsheet would
// run as a formula or strip, is written with a leading ' so that it shows as
// the text it is. Numeric columns never pass through here.
std::string csv_text_field(const std::string& text);

// The tables fit 80 columns; with a breakdown each group's follows the
// network's under its name.
// Year, percents, mean score, spent, lane-miles and the backlog at the
// year's start ($M) by year, with a total line.
std::string year_table(const std::vector<YearFigures>& years, double total_spent,
                       int32_t total_miles);
std::string year_table(const ScenarioRun& run);
// One line per projection: funding, final percents and mean score, total
// spent and the last year's backlog ($M).
std::string sweep_summary(const std::vector<ScenarioRun>& runs);
// With draws: by year, the median and the 80% band of percent poor,
// percent good and mean score ("" without bands).
std::string band_table(const ScenarioRun& run);
// With draws: one line per run, its label (cut to 18 characters) and the
// last year's median and 80% band.
std::string band_summary(const std::vector<ScenarioRun>& runs,
                         const std::vector<std::string>& labels);
// A run's percent poor by year for the chart: with bands, the median with
// its 80% band; else the run's own line.
ChartSeries chart_series(const ScenarioRun& run, const std::string& label);
// One table per figure (percent poor, fair, good, mean score, and the
// backlog at the year's start in $M), the orders side by side by year, then
// the total spent of each.
std::string orders_table(const std::vector<ScenarioRun>& runs);

}  // namespace pavecast
