#include "scenarios/html_report.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>

#include "model/condition_class.h"
#include "scenarios/axis.h"
#include "scenarios/chart.h"
#include "scenarios/markup.h"
#include "scenarios/scenario_output.h"
#include "scenarios/tool_text.h"

namespace pavecast {

namespace {

static_assert(kLifeColours.size() == static_cast<std::size_t>(kLifeBands));

std::string num(double v, int decimals = 1) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
  return buffer;
}

// A name of the fixed-column tables, as UTF-8.
template <std::size_t N>
std::string name_of(const Text<N>& field) {
  return from_latin1(field.trimmed());
}

// A plot area in an SVG of 960 x 340 pixels: values to pixels, the axes,
// their ticks and titles.
struct Plot {
  double x0, x1, y0, y1;
  static constexpr double kLeft = 70, kRight = 930, kTop = 20, kBottom = 290;

  double x(double v) const { return kLeft + (v - x0) / (x1 - x0) * (kRight - kLeft); }
  double y(double v) const { return kBottom - (v - y0) / (y1 - y0) * (kBottom - kTop); }

  void open(Markup& m, const std::string& label) const {
    m.open("svg", {{"xmlns", "http://www.w3.org/2000/svg"},
                   {"viewBox", "0 0 960 340"},
                   {"role", "img"},
                   {"aria-label", label}})
        .line_end();
  }
  static void line(Markup& m, double x1, double y1, double x2, double y2, Attributes stroke) {
    Attributes a = {{"x1", num(x1)}, {"y1", num(y1)}, {"x2", num(x2)}, {"y2", num(y2)}};
    a.insert(a.end(), stroke.begin(), stroke.end());
    m.empty("line", a).line_end();
  }
  // The axes, y ticks every `step`, and the titles.
  void axes(Markup& m, double step, const std::string& x_title, const std::string& y_title,
            int y_decimals) const {
    for (double v : axis_ticks(y0, y1, step)) {
      line(m, kLeft, y(v), kRight, y(v), {{"stroke", "#e0e0e0"}});
      m.element("text", {{"x", num(kLeft - 6)}, {"y", num(y(v) + 4)}, {"text-anchor", "end"}},
                num(v, y_decimals))
          .line_end();
    }
    line(m, kLeft, kBottom, kRight, kBottom, {{"stroke", "#333"}});
    line(m, kLeft, kTop, kLeft, kBottom, {{"stroke", "#333"}});
    m.element("text", {{"x", num((kLeft + kRight) / 2)}, {"y", "332"}, {"text-anchor", "middle"}},
              x_title)
        .line_end();
    m.element("text",
              {{"transform", "translate(16 " + num((kTop + kBottom) / 2) + ") rotate(-90)"},
               {"text-anchor", "middle"}},
              y_title)
        .line_end();
  }
  // Labels under the x axis at the given values, every k-th shown.
  void x_labels(Markup& m, const std::vector<std::pair<double, std::string>>& labels) const {
    const std::size_t k = std::max<std::size_t>(1, (labels.size() + 19) / 20);
    for (std::size_t i = 0; i < labels.size(); i += k)
      m.element("text",
                {{"x", num(x(labels[i].first))}, {"y", num(kBottom + 18)}, {"text-anchor", "middle"}},
                labels[i].second)
          .line_end();
  }
};

void rect(Markup& m, double x, double y, double w, double h, const char* fill,
          const std::string& title) {
  m.open("rect", {{"x", num(x, 2)},
                  {"y", num(y, 2)},
                  {"width", num(w, 2)},
                  {"height", num(h, 2)},
                  {"fill", fill}})
      .element("title", title)
      .close()
      .line_end();
}

// A point with its value shown on hover.
void dot(Markup& m, double x, double y, const char* r, const char* fill, const std::string& title) {
  m.open("circle", {{"cx", num(x, 2)}, {"cy", num(y, 2)}, {"r", r}, {"fill", fill}})
      .element("title", title)
      .close()
      .line_end();
}

void polyline(Markup& m, const std::string& points, Attributes stroke) {
  Attributes a = {{"points", points}, {"fill", "none"}};
  a.insert(a.end(), stroke.begin(), stroke.end());
  m.empty("polyline", a).line_end();
}

// How a legend item shows its series: a filled square (bars), or a short
// line drawn as the chart draws it.
enum class Swatch { kFill, kLine, kDashed, kDotted };

struct LegendItem {
  const char* colour;
  std::string label;
  Swatch swatch = Swatch::kFill;
};

void legend(Markup& m, const std::vector<LegendItem>& items) {
  m.open("p", {{"class", "legend"}});
  for (const LegendItem& item : items) {
    const std::string colour = item.colour;
    std::string style = "background:" + colour;
    if (item.swatch != Swatch::kFill)
      style = "width:24px;height:0;border-top:3px " +
              std::string(item.swatch == Swatch::kLine     ? "solid"
                          : item.swatch == Swatch::kDashed ? "dashed"
                                                           : "dotted") +
              " " + colour;
    m.open("span").open("i", {{"style", style}}).close().text(item.label).close();
  }
  m.close().line_end();
}

void row(Markup& m, std::string_view cell, const std::vector<std::string>& cells) {
  m.open("tr");
  for (const std::string& c : cells) {
    if (cell == "th")
      m.element(cell, {{"scope", "col"}}, c);
    else
      m.element(cell, c);
  }
  m.close().line_end();
}

// A row whose first cell heads it (<th scope="row">).
void headed_row(Markup& m, const std::string& head, const std::vector<std::string>& cells) {
  m.open("tr").element("th", {{"scope", "row"}}, head);
  for (const std::string& c : cells) m.element("td", c);
  m.close().line_end();
}

// The values a chart shows, as a table (a print shows no tooltips): the
// caption, the column heads, and a row per year or level.
struct ValuesTable {
  std::string caption;
  std::vector<std::string> head;
  std::vector<std::pair<std::string, std::vector<std::string>>> rows;
};

void values_table(Markup& m, const ValuesTable& t) {
  m.open("table", {{"class", "values"}}).element("caption", t.caption).line_end();
  row(m, "th", t.head);
  for (const auto& [head, cells] : t.rows) headed_row(m, head, cells);
  m.close().line_end();
}

// The points of a line over the years of `run`, `value` of each year.
template <typename Value>
std::string year_points(const Plot& plot, const ScenarioRun& run, std::size_t n, Value value) {
  std::string points;
  for (std::size_t k = 0; k < n && k < run.years.size(); ++k)
    points += num(plot.x(static_cast<double>(k)), 2) + "," + num(plot.y(value(run.years[k])), 2) +
              " ";
  return points;
}

std::vector<std::pair<double, std::string>> year_labels(const ScenarioRun& run, std::size_t first) {
  std::vector<std::pair<double, std::string>> labels;
  for (std::size_t k = first; k < run.years.size(); ++k)
    labels.emplace_back(static_cast<double>(k), std::to_string(run.years[k].calendar_year));
  return labels;
}

// --- the sections

// What the projection at $0 is called: forced repairs may still be made
// with no money.
std::string none_label(const HtmlReport& r) {
  return r.none_repairs || r.none.total_miles_repaired > 0 ? "no funding (forced repairs only)"
                                                           : "no funding";
}

// The page's opening sentences: the network, the budget, what it buys by
// the last year against no funding, the backlog, what the targets need.
void summary(Markup& m, const HtmlReport& r) {
  const BaseScenario& base = *r.base;
  const YearFigures& loaded = r.saved.years.front();
  const YearFigures& last = r.saved.final_year();
  const YearFigures& bare = r.none.years.empty() ? last : r.none.final_year();
  std::string text = "The network has " + std::to_string(base.segments.segment_count) +
                     " segments, " + num(base.network.total_lane_miles, 1) + " lane-miles, " +
                     num(loaded.pct_poor, 1) + "% of them poor in " +
                     std::to_string(loaded.calendar_year) + ". ";
  text += "The saved budget is " + r.budget + " (" + r.order + ").";
  if (r.saved.years.size() > 1) {
    text += " By " + std::to_string(last.calendar_year) + " it leaves " + num(last.pct_poor, 1) +
            "% poor with a mean score of " + num(last.mean_score, 2) + "; with " + none_label(r) +
            " " + num(bare.pct_poor, 1) + "% would be poor, mean score " + num(bare.mean_score, 2) +
            ".";
  }
  text += " The backlog, the work the policy calls for now, is $" + num(loaded.backlog, 2) + "M";
  if (r.saved.years.size() > 1)
    text += "; by " + std::to_string(last.calendar_year) + " it is $" + num(last.backlog, 2) +
            "M at the saved budget and $" + num(bare.backlog, 2) + "M with no funding";
  text += ".";
  if (r.targets) {
    if (r.needed && r.needed->run)
      text += " To keep " + r.targets_text + " takes $" + money_text(r.needed->cents) +
              "M a year.";
    else
      text += " Even unlimited funding does not keep " + r.targets_text + ".";
  }
  m.open("section").element("h2", "Summary").element("p", text).close().line_end();
}

void network_section(Markup& m, const BaseScenario& base) {
  struct Group {
    int32_t segments = 0;
    double lane_miles = 0.0, score_miles = 0.0;
  };
  std::map<std::string, Group> by_type;
  std::map<int32_t, Group> by_jurisdiction;
  const SegmentTable& table = base.segments;
  for (int32_t i = 1; i <= table.segment_count; ++i) {
    const Segment& seg = table[i];
    const PavementTypes& types = base.tables.pavement;
    const std::string type = seg.pavement_type >= 1 && seg.pavement_type <= types.pavement_type_count
                                 ? name_of(types.pavement_type_name[seg.pavement_type])
                                 : "?";
    for (Group* g : {&by_type[type], &by_jurisdiction[seg.jurisdiction]}) {
      ++g->segments;
      g->lane_miles += seg.lane_miles;
      g->score_miles += static_cast<double>(seg.lane_miles) * seg.score;
    }
  }
  const double total = base.network.total_lane_miles;
  auto group_row = [&](const std::string& name, const Group& g) {
    headed_row(m, name,
               {std::to_string(g.segments), num(g.lane_miles, 1),
                num(total > 0 ? 100.0 * g.lane_miles / total : 0),
                num(g.lane_miles > 0 ? g.score_miles / g.lane_miles : 0, 2)});
  };
  auto head = [&](const char* first) {
    row(m, "th", {first, "Segments", "Lane-miles", "% of lane-miles", "Mean score"});
  };
  m.open("section").element("h2", "The network").line_end();
  m.element("p", std::to_string(table.segment_count) + " segments, " + num(total, 1) +
                     " lane-miles; conditions of " + std::to_string(base.network.first_year) + ".")
      .line_end();
  m.open("div", {{"class", "pair"}}).open("table").element("caption", "By pavement type").line_end();
  head("Type");
  for (const auto& [name, g] : by_type) group_row(name, g);
  m.close().line_end().open("table").element("caption", "By jurisdiction").line_end();
  head("Jurisdiction");
  for (const auto& [code, g] : by_jurisdiction) group_row(std::to_string(code), g);
  m.close().close().close().line_end();
}

// The percent-poor target, or null.
const double* poor_target(const HtmlReport& r) {
  return r.targets && r.targets->max_poor ? &*r.targets->max_poor : nullptr;
}

// Good, fair and poor lane-miles by year, stacked, in percent.
void condition_chart(Markup& m, const ScenarioRun& run) {
  const std::size_t n = run.years.size();
  Plot plot{-0.5, static_cast<double>(n) - 0.5, 0.0, 100.0};
  plot.open(m, "Condition by year: percent of lane-miles good, fair and poor");
  plot.axes(m, 20.0, "Year", "Percent of lane-miles", 0);
  const double width = (Plot::kRight - Plot::kLeft) / static_cast<double>(n) * 0.7;
  ValuesTable values{
      "Condition by year, percent of lane-miles", {"Year", "Good", "Fair", "Poor"}, {}};
  for (std::size_t k = 0; k < n; ++k) {
    const YearFigures& y = run.years[k];
    const double poor = std::clamp<double>(y.pct_poor, 0.0, 100.0);
    const double fair = std::clamp<double>(y.pct_fair, 0.0, 100.0 - poor);
    const double good = std::max(0.0, 100.0 - poor - fair);
    const double x = plot.x(static_cast<double>(k)) - width / 2;
    const std::string year = std::to_string(y.calendar_year);
    rect(m, x, plot.y(poor), width, plot.y(0) - plot.y(poor), kPoorColour,
         year + ": " + num(poor, 2) + "% poor");
    rect(m, x, plot.y(poor + fair), width, plot.y(poor) - plot.y(poor + fair), kFairColour,
         year + ": " + num(fair, 2) + "% fair");
    rect(m, x, plot.y(100.0), width, plot.y(poor + fair) - plot.y(100.0), kGoodColour,
         year + ": " + num(good, 2) + "% good");
    values.rows.push_back({year, {num(good, 2), num(fair, 2), num(poor, 2)}});
  }
  plot.x_labels(m, year_labels(run, 0));
  m.close().line_end();
  legend(m, {{kGoodColour, "good (score 7 or more)"},
             {kFairColour, "fair (score 6)"},
             {kPoorColour, "poor (score 5 or less)"}});
  values_table(m, values);
}

// Percent poor by year at the saved budget (solid) and with no funding
// (dashed), with the target's line when there is a percent-poor target.
void poor_chart(Markup& m, const HtmlReport& r) {
  const std::size_t n = r.saved.years.size();
  double high = 10.0;
  for (const ScenarioRun* run : {&r.saved, &r.none})
    for (const YearFigures& y : run->years) high = std::max<double>(high, y.pct_poor);
  const double* target = poor_target(r);
  if (target) high = std::max(high, *target);
  const double y1 = std::ceil(high / 10.0) * 10.0;
  Plot plot{-0.5, static_cast<double>(n) - 0.5, 0.0, y1};
  plot.open(m, "Percent of lane-miles poor by year, at the saved budget and with no funding");
  plot.axes(m, nice_step(y1, 10), "Year", "Percent of lane-miles poor", 0);
  if (target)
    Plot::line(m, Plot::kLeft, plot.y(*target), Plot::kRight, plot.y(*target),
               {{"stroke", "#000"}, {"stroke-width", "2"}, {"stroke-dasharray", "2 3"}});
  const auto poor = [](const YearFigures& y) -> double { return y.pct_poor; };
  polyline(m, year_points(plot, r.none, n, poor),
           {{"stroke", kPoorLineColour}, {"stroke-width", "2"}, {"stroke-dasharray", "8 5"}});
  polyline(m, year_points(plot, r.saved, n, poor),
           {{"stroke", kPoorLineColour}, {"stroke-width", "3"}});
  ValuesTable values{"Percent of lane-miles poor by year",
                     {"Year", "Saved budget", "With " + none_label(r)},
                     {}};
  for (std::size_t k = 0; k < n; ++k) {
    const YearFigures& y = r.saved.years[k];
    const std::string year = std::to_string(y.calendar_year);
    dot(m, plot.x(static_cast<double>(k)), plot.y(y.pct_poor), "4", kPoorLineColour,
        year + ": " + num(y.pct_poor, 2) + "% poor");
    values.rows.push_back(
        {year,
         {num(y.pct_poor, 2), k < r.none.years.size() ? num(r.none.years[k].pct_poor, 2) : ""}});
  }
  plot.x_labels(m, year_labels(r.saved, 0));
  m.close().line_end();
  std::vector<LegendItem> items = {{kPoorLineColour, "saved budget", Swatch::kLine},
                                   {kPoorLineColour, none_label(r), Swatch::kDashed}};
  if (target)
    items.push_back({"#000", "target: at most " + num(*target, 1) + "% poor", Swatch::kDotted});
  legend(m, items);
  values_table(m, values);
}

void mean_chart(Markup& m, const HtmlReport& r) {
  const ScenarioRun& run = r.saved;
  const std::size_t n = run.years.size();
  float low = 10.0f, high = 1.0f;
  for (const ScenarioRun* s : {&run, &r.none})
    for (const YearFigures& y : s->years) {
      low = std::min(low, y.mean_score);
      high = std::max(high, y.mean_score);
    }
  const double y0 = std::max(0.0, std::floor(low) - 1.0);
  const double y1 = std::min(10.0, std::ceil(high) + 1.0);
  Plot plot{-0.5, static_cast<double>(n) - 0.5, y0, std::max(y1, y0 + 1.0)};
  plot.open(m, "Mean score by year, at the saved budget and with no funding");
  plot.axes(m, nice_step(plot.y1 - plot.y0, 8), "Year",
            "Mean score (1 to 10, lane-mile weighted)", 1);
  const auto mean = [](const YearFigures& y) -> double { return y.mean_score; };
  polyline(m, year_points(plot, r.none, n, mean),
           {{"stroke", kMeanColour}, {"stroke-width", "2"}, {"stroke-dasharray", "8 5"}});
  polyline(m, year_points(plot, run, n, mean), {{"stroke", kMeanColour}, {"stroke-width", "3"}});
  ValuesTable values{"Mean score by year", {"Year", "Saved budget", "With " + none_label(r)}, {}};
  for (std::size_t k = 0; k < n; ++k) {
    const std::string year = std::to_string(run.years[k].calendar_year);
    dot(m, plot.x(static_cast<double>(k)), plot.y(run.years[k].mean_score), "5", kMeanColour,
        year + ": " + num(run.years[k].mean_score, 3));
    values.rows.push_back({year,
                           {num(run.years[k].mean_score, 3),
                            k < r.none.years.size() ? num(r.none.years[k].mean_score, 3) : ""}});
  }
  plot.x_labels(m, year_labels(run, 0));
  m.close().line_end();
  legend(m, {{kMeanColour, "saved budget", Swatch::kLine},
             {kMeanColour, none_label(r), Swatch::kDashed}});
  values_table(m, values);
}

// The backlog by year at the saved budget (solid) and with no funding
// (dashed), against the saved budget's money a year (grey) where it is fixed.
void backlog_chart(Markup& m, const HtmlReport& r) {
  const std::size_t n = r.saved.years.size();
  double most = 1.0;
  for (const ScenarioRun* run : {&r.saved, &r.none})
    for (const YearFigures& y : run->years) most = std::max(most, y.backlog);
  const bool fixed = r.base->saved_budget.kind == BudgetKind::kFixed;
  if (fixed) most = std::max(most, static_cast<double>(r.base->saved_budget.amount));
  const double step = nice_step(most, 6);
  Plot plot{-0.5, static_cast<double>(n) - 0.5, 0.0, std::ceil(most / step) * step};
  plot.open(m, "Backlog by year, millions of dollars, at the saved budget and with no funding");
  plot.axes(m, step, "Year", "Backlog, millions of dollars", step < 1.0 ? 1 : 0);
  if (fixed) {
    const double level = plot.y(r.base->saved_budget.amount);
    Plot::line(m, Plot::kLeft, level, Plot::kRight, level,
               {{"stroke", "#757575"}, {"stroke-width", "2"}});
  }
  const auto backlog = [](const YearFigures& y) { return y.backlog; };
  polyline(m, year_points(plot, r.none, n, backlog),
           {{"stroke", kBacklogColour}, {"stroke-width", "3"}, {"stroke-dasharray", "8 5"}});
  polyline(m, year_points(plot, r.saved, n, backlog),
           {{"stroke", kBacklogColour}, {"stroke-width", "3"}});
  ValuesTable values{"Backlog at the start of the year",
                     {"Year", "Saved budget, $M", "Saved budget, lane-miles",
                      "With " + none_label(r) + ", $M"},
                     {}};
  for (std::size_t k = 0; k < n; ++k) {
    const YearFigures& y = r.saved.years[k];
    const std::string year = std::to_string(y.calendar_year);
    dot(m, plot.x(static_cast<double>(k)), plot.y(y.backlog), "4", kBacklogColour,
        year + ": $" + num(y.backlog, 3) + "M");
    values.rows.push_back({year,
                           {num(y.backlog, 3), num(y.backlog_lane_miles, 1),
                            k < r.none.years.size() ? num(r.none.years[k].backlog, 3) : ""}});
  }
  plot.x_labels(m, year_labels(r.saved, 0));
  m.close().line_end();
  std::vector<LegendItem> items = {
      {kBacklogColour, "backlog at the saved budget", Swatch::kLine},
      {kBacklogColour, "backlog with " + none_label(r), Swatch::kDashed}};
  if (fixed)
    items.push_back({"#757575", "the saved budget, $" + num(r.base->saved_budget.amount, 2) +
                                    "M a year", Swatch::kLine});
  legend(m, items);
  values_table(m, values);
}

// The lane-miles by band of remaining service life at the end of each year,
// stacked from the shortest life (at the bottom) to the longest.
void life_chart(Markup& m, const ScenarioRun& run) {
  const std::size_t n = run.years.size();
  double most = 1.0;
  for (const YearFigures& y : run.years) {
    double sum = 0.0;
    for (double miles : y.life_miles) sum += std::max(0.0, miles);
    most = std::max(most, sum);
  }
  const double step = nice_step(most, 6);
  // The network's lane-miles (2000.01) need not take the axis a step higher.
  Plot plot{-0.5, static_cast<double>(n) - 0.5, 0.0, std::ceil(most / step - 1e-3) * step};
  plot.open(m, "Lane-miles by remaining service life, by year, at the saved budget");
  plot.axes(m, step, "Year", "Lane-miles", step < 1.0 ? 1 : 0);
  const double width = (Plot::kRight - Plot::kLeft) / static_cast<double>(n) * 0.7;
  std::vector<std::string> head = {"Year"};
  for (int32_t b = 0; b < kLifeBands; ++b) head.push_back(std::string(life_band_label(b)) + " yr");
  head.push_back("Total");
  ValuesTable values{"Lane-miles by remaining service life (years until poor, at the end of the "
                     "year)",
                     head,
                     {}};
  for (std::size_t k = 0; k < n; ++k) {
    const YearFigures& y = run.years[k];
    const std::string year = std::to_string(y.calendar_year);
    const double x = plot.x(static_cast<double>(k)) - width / 2;
    double bottom = 0.0;
    std::vector<std::string> cells;
    for (int32_t b = 0; b < kLifeBands; ++b) {
      const double miles = std::max(0.0, y.life_miles[static_cast<std::size_t>(b)]);
      cells.push_back(num(miles, 1));
      if (miles <= 0.0) continue;
      rect(m, x, plot.y(bottom + miles), width, plot.y(bottom) - plot.y(bottom + miles),
           kLifeColours[static_cast<std::size_t>(b)],
           year + ": " + num(miles, 1) + " lane-miles, " + life_band_label(b) + " years left");
      bottom += miles;
    }
    cells.push_back(num(bottom, 1));
    values.rows.push_back({year, cells});
  }
  plot.x_labels(m, year_labels(run, 0));
  m.close().line_end();
  std::vector<LegendItem> items;
  for (int32_t b = 0; b < kLifeBands; ++b)
    items.push_back({kLifeColours[static_cast<std::size_t>(b)],
                     b == 0               ? std::string("0 years (poor now)")
                     : b == kLifeBands - 1 ? std::string("13 years or more (30+ included)")
                                           : std::string(life_band_label(b)) + " years"});
  legend(m, items);
  values_table(m, values);
}

void spending_chart(Markup& m, const ScenarioRun& run, const RepairActions& actions) {
  const std::size_t n = run.years.size();
  double most = 0.0;
  for (std::size_t k = 1; k < n; ++k) {
    double year = 0.0;
    for (const auto& by_year : run.cost_by_action) year += std::max(0.0, by_year[k]);
    most = std::max(most, year);
  }
  const auto action_name = [&](std::size_t a) {
    return name_of(actions[static_cast<int>(a) + 1].action_description);
  };
  const double step = nice_step(std::max(most, 1.0), 6);
  Plot plot{0.5, static_cast<double>(n) - 0.5, 0.0, std::ceil(std::max(most, 1.0) / step) * step};
  plot.open(m, "Money spent by repair action and year");
  plot.axes(m, step, "Year", "Millions of dollars", step < 1.0 ? 1 : 0);
  const double width = (Plot::kRight - Plot::kLeft) / std::max<double>(1.0, n - 1.0) * 0.7;
  for (std::size_t k = 1; k < n; ++k) {
    double bottom = 0.0;
    const std::string year = std::to_string(run.years[k].calendar_year);
    for (std::size_t a = 0; a < run.cost_by_action.size(); ++a) {
      const double cost = std::max(0.0, run.cost_by_action[a][k]);
      if (cost <= 0.0) continue;
      rect(m, plot.x(static_cast<double>(k)) - width / 2, plot.y(bottom + cost), width,
           plot.y(bottom) - plot.y(bottom + cost), kActionColours[a % kActionColours.size()],
           year + ": " + action_name(a) + " $" + num(cost, 3) + "M");
      bottom += cost;
    }
  }
  plot.x_labels(m, year_labels(run, 1));
  m.close().line_end();
  std::vector<LegendItem> items;
  for (std::size_t a = 0; a < run.cost_by_action.size(); ++a)
    items.push_back({kActionColours[a % kActionColours.size()],
                     std::to_string(actions[static_cast<int>(a) + 1].action_number) + " " +
                         action_name(a)});
  legend(m, items);

  // The table: a column for each action that spends in some year.
  std::vector<std::size_t> spending;
  for (std::size_t a = 0; a < run.cost_by_action.size(); ++a)
    for (std::size_t k = 1; k < n && k < run.cost_by_action[a].size(); ++k)
      if (run.cost_by_action[a][k] > 0.0) {
        spending.push_back(a);
        break;
      }
  ValuesTable values{"Money spent by repair action and year, $M", {"Year"}, {}};
  for (std::size_t a : spending) values.head.push_back(action_name(a));
  values.head.push_back("Total");
  for (std::size_t k = 1; k < n; ++k) {
    std::vector<std::string> cells;
    double total = 0.0;
    for (std::size_t a : spending) {
      const double cost = std::max(0.0, run.cost_by_action[a][k]);
      cells.push_back(num(cost, 3));
      total += cost;
    }
    cells.push_back(num(total, 3));
    values.rows.push_back({std::to_string(run.years[k].calendar_year), cells});
  }
  values_table(m, values);
}

// Percent poor in the sweep's run: at its highest over the simulated years.
float highest_poor(const ScenarioRun& run) {
  float most = 0.0f;
  for (std::size_t y = 1; y < run.years.size(); ++y) most = std::max(most, run.years[y].pct_poor);
  return run.years.size() > 1 ? most : run.final_year().pct_poor;
}

// Percent poor by funding level, last year and highest; with targets, the
// percent-poor target's line and the level the targets need, marked, the
// funding axis reaching it.
void sweep_chart(Markup& m, const HtmlReport& r) {
  if (r.sweep.empty()) return;
  const ScenarioRun* needed = r.needed && r.needed->run ? &*r.needed->run : nullptr;
  const double needed_level = needed ? static_cast<double>(r.needed->cents) / 100.0 : 0.0;
  double x0 = static_cast<double>(r.sweep_cents.front()) / 100.0;
  double x1 = static_cast<double>(r.sweep_cents.back()) / 100.0;
  if (needed) {
    x0 = std::min(x0, needed_level);
    x1 = std::max(x1, needed_level);
  }
  x1 = std::max(x1, x0 + 0.01);
  double high = 10.0;
  for (const ScenarioRun& run : r.sweep) high = std::max<double>(high, highest_poor(run));
  if (needed) high = std::max<double>(high, highest_poor(*needed));
  const double* target = poor_target(r);
  if (target) high = std::max(high, *target);
  const double y1 = std::ceil(high / 10.0) * 10.0;
  Plot plot{x0, x1, 0.0, y1};
  plot.open(m, "Percent poor by funding level");
  plot.axes(m, nice_step(y1, 10), "Funding, millions of dollars a year",
            "Percent of lane-miles poor", 0);
  std::string last, worst;
  std::vector<std::pair<double, std::string>> labels;
  ValuesTable values{"Percent of lane-miles poor by funding level",
                     {"Funding, $M a year", "Last year", "Highest of the simulated years"},
                     {}};
  bool needed_listed = !needed;
  const auto needed_row = [&] {
    values.rows.push_back({money_text(r.needed->cents) + " (the targets need)",
                           {num(needed->final_year().pct_poor, 2), num(highest_poor(*needed), 2)}});
    needed_listed = true;
  };
  for (std::size_t i = 0; i < r.sweep.size(); ++i) {
    const double level = static_cast<double>(r.sweep_cents[i]) / 100.0;
    last += num(plot.x(level), 2) + "," + num(plot.y(r.sweep[i].final_year().pct_poor), 2) + " ";
    worst += num(plot.x(level), 2) + "," + num(plot.y(highest_poor(r.sweep[i])), 2) + " ";
    if (!needed_listed && r.needed->cents < r.sweep_cents[i]) needed_row();
    const bool is_needed = needed && r.needed->cents == r.sweep_cents[i];
    if (is_needed) needed_listed = true;
    values.rows.push_back({money_text(r.sweep_cents[i]) + (is_needed ? " (the targets need)" : ""),
                           {num(r.sweep[i].final_year().pct_poor, 2),
                            num(highest_poor(r.sweep[i]), 2)}});
  }
  if (!needed_listed) needed_row();
  // Ticks along the whole axis, which may reach past the sweep to the level
  // the targets need.
  const double tick = std::max(nice_step(x1 - x0, 10), 0.01);  // no finer than a cent
  double first = std::ceil(x0 / tick - 1e-9) * tick;
  if (first == 0.0) first = 0.0;  // not -0.0, shown "-0.00"
  for (double v : axis_ticks(first, x1, tick)) labels.emplace_back(v, num(v, 2));
  polyline(m, worst,
           {{"stroke", kSweepHighColour}, {"stroke-width", "2"}, {"stroke-dasharray", "6 4"}});
  polyline(m, last, {{"stroke", kSweepColour}, {"stroke-width", "3"}});
  for (std::size_t i = 0; i < r.sweep.size(); ++i) {
    const float poor = r.sweep[i].final_year().pct_poor;
    // Appended, not "$" + a temporary: g++ 12 at -O3 reports a false
    // -Wrestrict there (GCC bug 105651).
    std::string tip = "$";
    tip += money_text(r.sweep_cents[i]);
    tip += "M: " + num(poor, 2) + "% poor at the end";
    dot(m, plot.x(static_cast<double>(r.sweep_cents[i]) / 100.0), plot.y(poor), "4", kSweepColour,
        tip);
  }
  if (target)
    Plot::line(m, Plot::kLeft, plot.y(*target), Plot::kRight, plot.y(*target),
               {{"stroke", "#000"}, {"stroke-width", "2"}, {"stroke-dasharray", "2 3"}});
  std::string needed_label;
  if (needed) {
    needed_label = "$";
    needed_label += money_text(r.needed->cents);
    needed_label += "M a year";
    const double x = plot.x(needed_level);
    Plot::line(m, x, Plot::kTop, x, Plot::kBottom, {{"stroke", "#000"}, {"stroke-width", "2"}});
    dot(m, x, plot.y(needed->final_year().pct_poor), "5", "#000",
        needed_label + ": " + num(needed->final_year().pct_poor, 2) + "% poor at the end");
    // The label beside the line, on the side with room.
    const bool left = x > (Plot::kLeft + Plot::kRight) / 2;
    m.element("text",
              {{"x", num(left ? x - 6 : x + 6)},
               {"y", num(Plot::kTop + 14)},
               {"text-anchor", left ? "end" : "start"},
               {"font-weight", "bold"}},
              "the targets need " + needed_label)
        .line_end();
  }
  plot.x_labels(m, labels);
  m.close().line_end();
  std::vector<LegendItem> items = {
      {kSweepColour, "percent poor in the last year", Swatch::kLine},
      {kSweepHighColour, "highest percent poor of the simulated years", Swatch::kDashed}};
  if (target)
    items.push_back({"#000", "target: at most " + num(*target, 1) + "% poor", Swatch::kDotted});
  if (needed) items.push_back({"#000", "what the targets need, " + needed_label, Swatch::kLine});
  legend(m, items);
  values_table(m, values);
}

void needed_text(Markup& m, const HtmlReport& r) {
  if (!r.targets) return;
  m.open("p", {{"class", "needed"}}).text("To keep " + r.targets_text + ": ");
  if (!r.needed || !r.needed->run) {
    m.text("even unlimited funding does not.").close().line_end();
    return;
  }
  m.element("strong", "$" + money_text(r.needed->cents) + "M a year");
  if (r.needed->missed_above_cents)
    m.text(" (the response to funding is not monotonic: $" +
           money_text(*r.needed->missed_above_cents) + "M, higher, misses)");
  m.text(".").close().line_end();
}

// The note of a plan entry: a piece split off says so.
std::string plan_note(const PlanEntry& e) {
  if (!e.split) return e.note;
  std::string note = "split: the part of the segment the year's last money paid for";
  if (!e.note.empty()) note += "; " + e.note;
  return note;
}

void plan_table(Markup& m, const HtmlReport& r) {
  constexpr std::size_t kRowsPerYear = 60;
  const RepairActions& actions = r.base->tables.actions;
  std::map<int32_t, std::size_t> shown;
  std::map<int32_t, std::size_t> count;
  for (const PlanEntry& e : r.plan) ++count[e.calendar_year];
  m.open("table", {{"class", "plan"}});
  m.element("caption", "Repairs in the order the year's pass makes them (cost in $M)").line_end();
  row(m, "th",
      {"Year", "Seg.", "Asset id", "Highway", "Segment", "Lane-mi", "Action", "Cost $M", "Score",
       "Note"});
  for (const PlanEntry& e : r.plan) {
    std::size_t& n = shown[e.calendar_year];
    const std::string year = std::to_string(e.calendar_year);
    if (n++ >= kRowsPerYear) {
      if (n == kRowsPerYear + 1)
        m.open("tr")
            .element("td", year)
            .element("td", {{"colspan", "9"}},
                     "and " + std::to_string(count[e.calendar_year] - kRowsPerYear) +
                         " more (pavecast-scenarios plan --csv FILE lists them all)")
            .close()
            .line_end();
      continue;
    }
    const bool known = e.action >= 1 && e.action <= actions.action_count;
    m.open("tr").element("td", year).element("td", std::to_string(e.segment));
    m.element("td", std::string(asset_id(*r.base, e.original_segment)));
    m.element("td", e.highway_name).element("td", e.description).element("td", num(e.lane_miles, 2));
    m.element("td", known ? name_of(actions[e.action].action_description) : "");
    m.element("td", num(e.cost, 3)).open("td", {{"class", "score"}});
    if (e.has_scores) m.text(num(e.score_before, 2) + " ").character(0x2192).text(" ");
    m.text(num(e.score_after, 2)).close().element("td", plan_note(e)).close().line_end();
  }
  m.close().line_end();
}

const char kStyle[] = R"(
body { font: 15px/1.45 -apple-system, 'Segoe UI', Helvetica, Arial, sans-serif; color: #222;
       max-width: 1000px; margin: 0 auto; padding: 16px; }
h1 { font-size: 24px; margin: 8px 0; } h2 { font-size: 19px; margin: 24px 0 8px; }
section { margin-bottom: 24px; }
svg { width: 100%; height: auto; font-size: 12px; font-family: inherit; }
table { border-collapse: collapse; margin: 8px 0; font-size: 13px; }
th, td { border-bottom: 1px solid #ddd; padding: 3px 8px; text-align: left; }
caption { text-align: left; font-weight: bold; padding: 4px 0; }
.pair { display: flex; gap: 32px; flex-wrap: wrap; align-items: flex-start; }
.legend span { margin-right: 16px; white-space: nowrap; }
.legend i { display: inline-block; width: 12px; height: 12px; margin-right: 5px;
            vertical-align: -1px; }
table.values { font-size: 12px; }
table.values td { text-align: right; }
table.values th, table.values td { padding: 2px 8px; }
table.values caption { white-space: nowrap; }
table.plan { font-size: 12px; width: 100%; }
table.plan td.score { white-space: nowrap; }
.needed { font-size: 16px; }
@media print {
  body { max-width: none; padding: 0; font-size: 11pt; }
  section { page-break-inside: avoid; }
  table.plan, table.values { page-break-inside: auto; }
  tr { page-break-inside: avoid; }
}
)";

// With draws: percent poor by year at the saved budget, its median in its
// 80% band, and with targets the budget that meets them with the confidence
// asked (with its band) beside the deterministic answer.
void risk_section(Markup& m, const HtmlReport& r) {
  if (!r.saved_banded) return;
  const ScenarioRun& saved = *r.saved_banded;
  auto dollars = [](int64_t cents) { return format_text("$%sM", money_text(cents).c_str()); };
  m.open("section")
      .element("h2", format_text("Risk: percent poor by year over %d draws", saved.draws))
      .line_end();
  m.element("p", "Each draw projects the network again with deterioration rates drawn around "
                 "their estimates and its own random numbers; a shaded band holds the middle "
                 "80% of the draws in each year (one draw in ten lies below it and one in ten "
                 "above it), and the line inside it is the median draw.")
      .line_end();
  std::vector<ChartSeries> series = {
      chart_series(saved, r.base->saved_budget.kind == BudgetKind::kFixed
                              ? format_text("saved budget, $%sM",
                                            money_text(r.base->saved_budget.amount).c_str())
                              : std::string("saved budget"))};
  if (r.confident && r.confident->found.cents) {
    const ConfidentAnswer& c = *r.confident;
    series.push_back(chart_series(c.runs.front(),
                                  format_text("%s, %d%% confidence",
                                              dollars(*c.found.cents).c_str(), c.confidence)));
  }
  if (r.confident && r.needed && r.needed->run) {
    ChartSeries det{format_text("%s, deterministic", dollars(r.needed->cents).c_str()), {}, {}};
    for (const YearFigures& y : r.needed->run->years)
      det.points.emplace_back(y.calendar_year, y.pct_poor);
    series.push_back(std::move(det));
  }
  std::optional<double> target;
  if (r.targets && r.targets->max_poor) target = *r.targets->max_poor;
  append_percent_poor_chart(m, series,
                            {"Percent poor by year: median and 80% band", "", false, target});
  ValuesTable values{"Percent of lane-miles poor by year over the draws: the median (the "
                     "deterministic line as it is) and the 80% band",
                     {"Year"},
                     {}};
  for (const ChartSeries& s : series) {
    values.head.push_back(s.label);
    if (!s.band.empty()) values.head.push_back(s.label + ", 80% band");
  }
  for (std::size_t k = 0; k < series.front().points.size(); ++k) {
    std::vector<std::string> cells;
    for (const ChartSeries& s : series) {
      cells.push_back(k < s.points.size() ? num(s.points[k].second, 2) : "");
      if (!s.band.empty())
        cells.push_back(k < s.band.size()
                            ? num(s.band[k].first, 2) + "-" + num(s.band[k].second, 2)
                            : "");
    }
    values.rows.push_back({std::to_string(series.front().points[k].first), std::move(cells)});
  }
  values_table(m, values);
  if (r.confident) {
    const ConfidentAnswer& c = *r.confident;
    m.open("p", {{"class", "needed"}})
        .text(format_text("To keep %s in at least %d%% of the draws: ", r.targets_text.c_str(),
                          c.confidence));
    if (!c.found.cents) {
      m.text("no level does.").close().line_end();
    } else {
      const LevelShare& at = *c.found.at;
      m.element("strong", format_text("%s a year", dollars(*c.found.cents).c_str()))
          .text(format_text(" (%d of %d draws meet them", at.met, c.found.draws));
      if (c.found.below)
        m.text(format_text("; %d at %s", c.found.below->met,
                           dollars(*c.found.cents - 1).c_str()));
      m.text(format_text("), against %s without draws",
                         c.deterministic
                             ? format_text("%s a year", dollars(*c.deterministic).c_str()).c_str()
                             : "no level"));
      if (c.found.falls)
        m.text(format_text("; the share of draws meeting them does not rise with funding: fewer "
                           "meet them at %s than at %s",
                           dollars(c.found.falls->higher).c_str(),
                           dollars(c.found.falls->lower).c_str()));
      m.text(".").close().line_end();
    }
  }
  m.close().line_end();
}

// A section: its heading, then what `body` writes.
template <typename Body>
void section(Markup& m, const std::string& heading, Body body) {
  m.open("section").element("h2", heading).line_end();
  body();
  m.close().line_end();
}

}  // namespace

std::string html_report(const HtmlReport& r) {
  const BaseScenario& base = *r.base;
  const std::string name = name_of(base.network.network_name);
  Markup m;
  m.html_doctype().open("html", {{"lang", "en"}}).line_end().open("head").line_end();
  m.empty("meta", {{"charset", "utf-8"}}).line_end();
  m.empty("meta", {{"name", "viewport"}, {"content", "width=device-width, initial-scale=1"}})
      .line_end();
  m.element("title", name + ": pavement projection").line_end();
  m.element("style", kStyle).line_end().close().line_end().open("body").line_end();
  m.element("h1", name + ": pavement projection").line_end();
  m.element("p", r.network + "; " + r.order + ".").line_end();
  summary(m, r);
  network_section(m, base);
  section(m, "Condition by year at the saved budget (" + r.budget + ")",
          [&] { condition_chart(m, r.saved); });
  section(m, "Percent poor by year at the saved budget and with no funding",
          [&] { poor_chart(m, r); });
  section(m, "Mean score by year at the saved budget and with no funding",
          [&] { mean_chart(m, r); });
  section(m, "Backlog by year", [&] { backlog_chart(m, r); });
  section(m, "Remaining service life at the saved budget", [&] { life_chart(m, r.saved); });
  section(m, "Money by repair action and year at the saved budget",
          [&] { spending_chart(m, r.saved, base.tables.actions); });
  section(m, "Percent poor by funding level", [&] {
    sweep_chart(m, r);
    needed_text(m, r);
  });
  section(m, "Work plan: the first " + std::to_string(r.plan_years) + " years at the saved budget",
          [&] { plan_table(m, r); });
  risk_section(m, r);
  m.close().line_end().close().line_end();
  return m.str();
}

}  // namespace pavecast
