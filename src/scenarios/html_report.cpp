#include "scenarios/html_report.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>

#include "model/condition_class.h"
#include "scenarios/chart.h"
#include "scenarios/scenario_output.h"

namespace pavecast {

namespace {

std::string num(double v, int decimals = 1) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
  return buffer;
}

std::string esc(std::string_view text) {
  return xml_escaped(text);
}

// A tick step of 1, 2 or 5 times a power of ten giving at most `most` ticks.
double nice_step(double span, int most) {
  const double raw = std::max(span, 1e-9) / most;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (m * power >= raw) return m * power;
  return 10.0 * power;
}

// A plot area in an SVG of 960 x 340 pixels: values to pixels, the axes,
// their ticks and titles.
struct Plot {
  double x0, x1, y0, y1;
  static constexpr double kLeft = 70, kRight = 930, kTop = 20, kBottom = 290;

  double x(double v) const { return kLeft + (v - x0) / (x1 - x0) * (kRight - kLeft); }
  double y(double v) const { return kBottom - (v - y0) / (y1 - y0) * (kBottom - kTop); }

  std::string open(const std::string& label) const {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 960 340\" role=\"img\" "
           "aria-label=\"" +
           esc(label) + "\">\n";
  }
  // The axes, y ticks every `step`, and the titles.
  std::string axes(double step, const std::string& x_title, const std::string& y_title,
                   int y_decimals) const {
    std::string s;
    for (double v = y0; v <= y1 + 1e-9; v += step) {
      s += "<line x1=\"" + num(kLeft) + "\" y1=\"" + num(y(v)) + "\" x2=\"" + num(kRight) +
           "\" y2=\"" + num(y(v)) + "\" stroke=\"#e0e0e0\"/>\n";
      s += "<text x=\"" + num(kLeft - 6) + "\" y=\"" + num(y(v) + 4) + "\" text-anchor=\"end\">" +
           num(v, y_decimals) + "</text>\n";
    }
    s += "<line x1=\"" + num(kLeft) + "\" y1=\"" + num(kBottom) + "\" x2=\"" + num(kRight) +
         "\" y2=\"" + num(kBottom) + "\" stroke=\"#333\"/>\n";
    s += "<line x1=\"" + num(kLeft) + "\" y1=\"" + num(kTop) + "\" x2=\"" + num(kLeft) +
         "\" y2=\"" + num(kBottom) + "\" stroke=\"#333\"/>\n";
    s += "<text x=\"" + num((kLeft + kRight) / 2) + "\" y=\"332\" text-anchor=\"middle\">" +
         esc(x_title) + "</text>\n";
    s += "<text transform=\"translate(16 " + num((kTop + kBottom) / 2) +
         ") rotate(-90)\" text-anchor=\"middle\">" + esc(y_title) + "</text>\n";
    return s;
  }
  // Labels under the x axis at the given values, every k-th shown.
  std::string x_labels(const std::vector<std::pair<double, std::string>>& labels) const {
    std::string s;
    const std::size_t k = std::max<std::size_t>(1, (labels.size() + 19) / 20);
    for (std::size_t i = 0; i < labels.size(); i += k)
      s += "<text x=\"" + num(x(labels[i].first)) + "\" y=\"" + num(kBottom + 18) +
           "\" text-anchor=\"middle\">" + esc(labels[i].second) + "</text>\n";
    return s;
  }
};

std::string rect(double x, double y, double w, double h, const char* fill,
                 const std::string& title) {
  return "<rect x=\"" + num(x, 2) + "\" y=\"" + num(y, 2) + "\" width=\"" + num(w, 2) +
         "\" height=\"" + num(h, 2) + "\" fill=\"" + fill + "\"><title>" + esc(title) +
         "</title></rect>\n";
}

std::string legend(const std::vector<std::pair<const char*, std::string>>& items) {
  std::string s = "<p class=\"legend\">";
  for (const auto& [colour, label] : items)
    s += "<span><i style=\"background:" + std::string(colour) + "\"></i>" + esc(label) + "</span>";
  return s + "</p>\n";
}

// --- the sections

std::string network_section(const BaseScenario& base) {
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
    const std::string type =
        seg.pavement_type >= 1 && seg.pavement_type <= types.pavement_type_count
            ? std::string(types.pavement_type_name[seg.pavement_type].trimmed())
            : "?";
    for (Group* g : {&by_type[type], &by_jurisdiction[seg.jurisdiction]}) {
      ++g->segments;
      g->lane_miles += seg.lane_miles;
      g->score_miles += static_cast<double>(seg.lane_miles) * seg.score;
    }
  }
  const double total = base.network.total_lane_miles;
  auto row = [&](const std::string& name, const Group& g) {
    return "<tr><td>" + esc(name) + "</td><td>" + std::to_string(g.segments) + "</td><td>" +
           num(g.lane_miles, 1) + "</td><td>" + num(total > 0 ? 100.0 * g.lane_miles / total : 0) +
           "</td><td>" + num(g.lane_miles > 0 ? g.score_miles / g.lane_miles : 0, 2) +
           "</td></tr>\n";
  };
  std::string s = "<section><h2>The network</h2>\n<p>" + std::to_string(table.segment_count) +
                  " segments, " + num(total, 1) + " lane-miles; conditions of " +
                  std::to_string(base.network.first_year) + ".</p>\n";
  const std::string head =
      "<tr><th>{}</th><th>Segments</th><th>Lane-miles</th><th>% of lane-miles</th>"
      "<th>Mean score</th></tr>\n";
  s += "<div class=\"pair\"><table><caption>By pavement type</caption>\n" +
       std::string(head).replace(8, 2, "Type");
  for (const auto& [name, g] : by_type) s += row(name, g);
  s += "</table>\n<table><caption>By jurisdiction</caption>\n" +
       std::string(head).replace(8, 2, "Jurisdiction");
  for (const auto& [code, g] : by_jurisdiction) s += row(std::to_string(code), g);
  return s + "</table></div></section>\n";
}

std::string condition_chart(const ScenarioRun& run) {
  const std::size_t n = run.years.size();
  Plot plot{-0.5, static_cast<double>(n) - 0.5, 0.0, 100.0};
  std::string s = plot.open("Condition by year: percent of lane-miles good, fair and poor");
  s += plot.axes(20.0, "Year", "Percent of lane-miles", 0);
  const double width = (Plot::kRight - Plot::kLeft) / static_cast<double>(n) * 0.7;
  std::vector<std::pair<double, std::string>> labels;
  for (std::size_t k = 0; k < n; ++k) {
    const YearFigures& y = run.years[k];
    const double poor = std::clamp<double>(y.pct_poor, 0.0, 100.0);
    const double fair = std::clamp<double>(y.pct_fair, 0.0, 100.0 - poor);
    const double good = std::max(0.0, 100.0 - poor - fair);
    const double x = plot.x(static_cast<double>(k)) - width / 2;
    const std::string year = std::to_string(y.calendar_year);
    s += rect(x, plot.y(poor), width, plot.y(0) - plot.y(poor), kPoorColour,
              year + ": " + num(poor, 2) + "% poor");
    s += rect(x, plot.y(poor + fair), width, plot.y(poor) - plot.y(poor + fair), kFairColour,
              year + ": " + num(fair, 2) + "% fair");
    s += rect(x, plot.y(100.0), width, plot.y(poor + fair) - plot.y(100.0), kGoodColour,
              year + ": " + num(good, 2) + "% good");
    labels.emplace_back(static_cast<double>(k), year);
  }
  s += plot.x_labels(labels);
  return s + "</svg>\n";
}

std::string mean_chart(const ScenarioRun& run) {
  const std::size_t n = run.years.size();
  float low = 10.0f, high = 1.0f;
  for (const YearFigures& y : run.years) {
    low = std::min(low, y.mean_score);
    high = std::max(high, y.mean_score);
  }
  const double y0 = std::max(0.0, std::floor(low) - 1.0);
  const double y1 = std::min(10.0, std::ceil(high) + 1.0);
  Plot plot{-0.5, static_cast<double>(n) - 0.5, y0, std::max(y1, y0 + 1.0)};
  std::string s = plot.open("Mean score by year");
  s += plot.axes(nice_step(plot.y1 - plot.y0, 8), "Year", "Mean score (lane-mile weighted)", 1);
  std::string points;
  std::vector<std::pair<double, std::string>> labels;
  for (std::size_t k = 0; k < n; ++k) {
    points += num(plot.x(static_cast<double>(k)), 2) + "," +
              num(plot.y(run.years[k].mean_score), 2) + " ";
    labels.emplace_back(static_cast<double>(k), std::to_string(run.years[k].calendar_year));
  }
  s += "<polyline points=\"" + points + "\" fill=\"none\" stroke=\"" + kMeanColour +
       "\" stroke-width=\"3\"/>\n";
  for (std::size_t k = 0; k < n; ++k)
    s += "<circle cx=\"" + num(plot.x(static_cast<double>(k)), 2) + "\" cy=\"" +
         num(plot.y(run.years[k].mean_score), 2) + "\" r=\"5\" fill=\"" + kMeanColour +
         "\"><title>" + std::to_string(run.years[k].calendar_year) + ": " +
         num(run.years[k].mean_score, 3) + "</title></circle>\n";
  s += plot.x_labels(labels);
  return s + "</svg>\n";
}

std::string spending_chart(const ScenarioRun& run, const RepairActions& actions) {
  const std::size_t n = run.years.size();
  double most = 0.0;
  for (std::size_t k = 1; k < n; ++k) {
    double year = 0.0;
    for (const auto& by_year : run.cost_by_action) year += std::max(0.0, by_year[k]);
    most = std::max(most, year);
  }
  const double step = nice_step(std::max(most, 1.0), 6);
  Plot plot{0.5, static_cast<double>(n) - 0.5, 0.0, std::ceil(std::max(most, 1.0) / step) * step};
  std::string s = plot.open("Money spent by repair action and year");
  s += plot.axes(step, "Year", "Millions of dollars", step < 1.0 ? 1 : 0);
  const double width = (Plot::kRight - Plot::kLeft) / std::max<double>(1.0, n - 1.0) * 0.7;
  std::vector<std::pair<double, std::string>> labels;
  for (std::size_t k = 1; k < n; ++k) {
    double bottom = 0.0;
    const std::string year = std::to_string(run.years[k].calendar_year);
    for (std::size_t a = 0; a < run.cost_by_action.size(); ++a) {
      const double cost = std::max(0.0, run.cost_by_action[a][k]);
      if (cost <= 0.0) continue;
      const std::string name(actions[static_cast<int>(a) + 1].action_description.trimmed());
      s += rect(plot.x(static_cast<double>(k)) - width / 2, plot.y(bottom + cost), width,
                plot.y(bottom) - plot.y(bottom + cost), kActionColours[a % kActionColours.size()],
                year + ": " + name + " $" + num(cost, 3) + "M");
      bottom += cost;
    }
    labels.emplace_back(static_cast<double>(k), year);
  }
  s += plot.x_labels(labels);
  s += "</svg>\n";
  std::vector<std::pair<const char*, std::string>> items;
  for (std::size_t a = 0; a < run.cost_by_action.size(); ++a)
    items.emplace_back(
        kActionColours[a % kActionColours.size()],
        std::to_string(actions[static_cast<int>(a) + 1].action_number) + " " +
            std::string(actions[static_cast<int>(a) + 1].action_description.trimmed()));
  return s + legend(items);
}

std::string sweep_chart(const HtmlReport& r) {
  if (r.sweep.empty()) return "";
  const double x0 = static_cast<double>(r.sweep_cents.front()) / 100.0;
  const double x1 = std::max(static_cast<double>(r.sweep_cents.back()) / 100.0, x0 + 0.01);
  double high = 10.0;
  auto highest = [](const ScenarioRun& run) {
    float most = 0.0f;
    for (std::size_t y = 1; y < run.years.size(); ++y) most = std::max(most, run.years[y].pct_poor);
    return run.years.size() > 1 ? most : run.final_year().pct_poor;
  };
  for (const ScenarioRun& run : r.sweep) high = std::max<double>(high, highest(run));
  if (r.targets && r.targets->max_poor) high = std::max(high, *r.targets->max_poor);
  const double y1 = std::ceil(high / 10.0) * 10.0;
  Plot plot{x0, x1, 0.0, y1};
  std::string s = plot.open("Percent poor by funding level");
  s += plot.axes(nice_step(y1, 10), "Funding ($M a year)", "Percent poor", 0);
  std::string last, worst;
  std::vector<std::pair<double, std::string>> labels;
  for (std::size_t i = 0; i < r.sweep.size(); ++i) {
    const double level = static_cast<double>(r.sweep_cents[i]) / 100.0;
    last += num(plot.x(level), 2) + "," + num(plot.y(r.sweep[i].final_year().pct_poor), 2) + " ";
    worst += num(plot.x(level), 2) + "," + num(plot.y(highest(r.sweep[i])), 2) + " ";
    labels.emplace_back(level, money_text(r.sweep_cents[i]));
  }
  s += "<polyline points=\"" + worst +
       "\" fill=\"none\" stroke=\"#c2a5cf\" stroke-width=\"2\" "
       "stroke-dasharray=\"6 4\"/>\n";
  s += "<polyline points=\"" + last + "\" fill=\"none\" stroke=\"" + kSweepColour +
       "\" stroke-width=\"3\"/>\n";
  for (std::size_t i = 0; i < r.sweep.size(); ++i) {
    const double level = static_cast<double>(r.sweep_cents[i]) / 100.0;
    s += "<circle cx=\"" + num(plot.x(level), 2) + "\" cy=\"" +
         num(plot.y(r.sweep[i].final_year().pct_poor), 2) + "\" r=\"4\" fill=\"" + kSweepColour +
         "\"><title>$" + money_text(r.sweep_cents[i]) +
         "M: " + num(r.sweep[i].final_year().pct_poor, 2) + "% poor at the end</title></circle>\n";
  }
  if (r.targets && r.targets->max_poor)
    s += "<line x1=\"" + num(Plot::kLeft) + "\" y1=\"" + num(plot.y(*r.targets->max_poor)) +
         "\" x2=\"" + num(Plot::kRight) + "\" y2=\"" + num(plot.y(*r.targets->max_poor)) +
         "\" stroke=\"#000\" stroke-dasharray=\"3 3\"/>\n";
  if (r.needed && r.needed->run) {
    const double level = static_cast<double>(r.needed->cents) / 100.0;
    if (level >= x0 && level <= x1)
      s += "<line x1=\"" + num(plot.x(level)) + "\" y1=\"" + num(Plot::kTop) + "\" x2=\"" +
           num(plot.x(level)) + "\" y2=\"" + num(Plot::kBottom) +
           "\" stroke=\"#000\" stroke-width=\"2\"><title>needed: $" + money_text(r.needed->cents) +
           "M</title></line>\n";
  }
  s += plot.x_labels(labels);
  s += "</svg>\n";
  return s + legend({{kSweepColour, "percent poor in the last year"},
                     {"#c2a5cf", "highest percent poor of the simulated years"}});
}

std::string needed_text(const HtmlReport& r) {
  if (!r.targets) return "";
  std::string s = "<p class=\"needed\">To keep " + esc(r.targets_text) + ": ";
  if (!r.needed || !r.needed->run) return s + "even unlimited funding does not.</p>\n";
  s += "<strong>$" + money_text(r.needed->cents) + "M a year</strong>";
  if (r.needed->missed_above_cents)
    s += " (the response to funding is not monotonic: $" +
         money_text(*r.needed->missed_above_cents) + "M, higher, misses)";
  return s + ".</p>\n";
}

std::string plan_table(const HtmlReport& r) {
  constexpr std::size_t kRowsPerYear = 60;
  const RepairActions& actions = r.base->tables.actions;
  std::string s;
  std::map<int32_t, std::size_t> shown;
  std::map<int32_t, std::size_t> count;
  for (const PlanEntry& e : r.plan) ++count[e.calendar_year];
  s += "<table class=\"plan\"><tr><th>Year</th><th>Seg.</th><th>Highway</th><th>Segment</th>"
       "<th>Lane-mi</th><th>Action</th><th>Cost $M</th><th>Score</th><th>Note</th></tr>\n";
  for (const PlanEntry& e : r.plan) {
    std::size_t& n = shown[e.calendar_year];
    if (n++ >= kRowsPerYear) {
      if (n == kRowsPerYear + 1)
        s += "<tr><td>" + std::to_string(e.calendar_year) + "</td><td colspan=\"8\">and " +
             std::to_string(count[e.calendar_year] - kRowsPerYear) +
             " more (pavecast-scenarios plan --csv FILE lists them all)</td></tr>\n";
      continue;
    }
    const bool known = e.action >= 1 && e.action <= actions.action_count;
    s += "<tr><td>" + std::to_string(e.calendar_year) + "</td><td>" + std::to_string(e.segment) +
         "</td><td>" + esc(e.highway_name) + "</td><td>" + esc(e.description) + "</td><td>" +
         num(e.lane_miles, 2) + "</td><td>" +
         (known ? esc(std::string(actions[e.action].action_description.trimmed())) : "") +
         "</td><td>" + num(e.cost, 3) + "</td><td>" +
         (e.has_scores ? num(e.score_before, 2) + " &#8594; " : std::string()) +
         num(e.score_after, 2) + "</td><td>" + esc(e.note) + "</td></tr>\n";
  }
  return s + "</table>\n";
}

const char kStyle[] = R"(<style>
body { font: 15px/1.45 -apple-system, "Segoe UI", Helvetica, Arial, sans-serif; color: #222;
       max-width: 1000px; margin: 0 auto; padding: 16px; }
h1 { font-size: 24px; margin: 8px 0; } h2 { font-size: 19px; margin: 24px 0 8px; }
section { margin-bottom: 24px; }
svg { width: 100%; height: auto; font-size: 12px; font-family: inherit; }
table { border-collapse: collapse; margin: 8px 0; font-size: 13px; }
th, td { border-bottom: 1px solid #ddd; padding: 3px 8px; text-align: left; }
caption { text-align: left; font-weight: bold; padding: 4px 0; }
.pair { display: flex; gap: 32px; flex-wrap: wrap; }
.legend span { margin-right: 16px; white-space: nowrap; }
.legend i { display: inline-block; width: 12px; height: 12px; margin-right: 5px;
            vertical-align: -1px; }
table.plan { font-size: 12px; width: 100%; }
.needed { font-size: 16px; }
@media print {
  body { max-width: none; padding: 0; font-size: 11pt; }
  section { page-break-inside: avoid; }
  table.plan { page-break-inside: auto; }
  tr { page-break-inside: avoid; }
}
</style>
)";

}  // namespace

std::string html_report(const HtmlReport& r) {
  const BaseScenario& base = *r.base;
  const std::string name(base.network.network_name.trimmed());
  std::string s =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<title>" +
      esc(name) + ": pavement projection</title>\n" + kStyle + "</head>\n<body>\n";
  s += "<h1>" + esc(name) + ": pavement projection</h1>\n<p>" + esc(r.network) + "; " +
       esc(r.order) + ".</p>\n";
  s += network_section(base);

  s += "<section><h2>Condition by year at the saved budget (" + esc(r.budget) + ")</h2>\n" +
       condition_chart(r.saved) +
       legend({{kGoodColour, "good (score 7 or more)"},
               {kFairColour, "fair (score 6)"},
               {kPoorColour, "poor (score 5 or less)"}}) +
       "</section>\n";
  s += "<section><h2>Mean score by year at the saved budget</h2>\n" + mean_chart(r.saved) +
       "</section>\n";
  s += "<section><h2>Money by repair action and year at the saved budget</h2>\n" +
       spending_chart(r.saved, base.tables.actions) + "</section>\n";
  s += "<section><h2>Percent poor by funding level</h2>\n" + sweep_chart(r) + needed_text(r) +
       "</section>\n";
  s += "<section><h2>Work plan: the first " + std::to_string(r.plan_years) +
       " years at the saved budget</h2>\n" + plan_table(r) + "</section>\n";
  return s + "</body>\n</html>\n";
}

}  // namespace pavecast
