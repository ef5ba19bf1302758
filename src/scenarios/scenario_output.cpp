#include "scenarios/scenario_output.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <string_view>
#include <utility>

#include "scenarios/tool_text.h"

namespace pavecast {

namespace {

// The repair orders 1 to 5 in the CSV, in titles and as table columns.
struct OrderNames {
  const char* label;
  const char* title;
  const char* column;
};
constexpr OrderNames kOrderNames[] = {{"", "", ""},
                                      {"random", "Random order", "Random"},
                                      {"priority", "Priority", "Priority"},
                                      {"worst-first", "Worst first", "Worst 1st"},
                                      {"best-first", "Best first", "Best 1st"},
                                      {"cost-effectiveness", "Cost-effectiveness", "Cost-eff."}};

// The backlog and the lane-miles by band of remaining life, each after a
// comma.
std::string outlook_fields(const YearFigures& y) {
  // Appended field by field: g++ 12 at -O3 reports a false -Wrestrict on
  // "," + a temporary (GCC bug 105651).
  std::string out = ",";
  out += fixed(y.backlog, 3);
  out += ',';
  out += fixed(y.backlog_lane_miles, 2);
  for (double miles : y.life_miles) {
    out += ',';
    out += fixed(miles, 2);
  }
  return out;
}

// The band columns of a row, each after a comma: empty without a band.
std::string band_fields(const YearBand* band) {
  if (band == nullptr) return ",,,,,,,,,";
  std::string out;
  for (const auto& [p, decimals] : {std::pair{&band->poor, 2}, std::pair{&band->good, 2},
                                    std::pair{&band->mean, 3}})
    for (float v : {p->p10, p->p50, p->p90}) {
      out += ',';
      out += fixed(v, decimals);
    }
  return out;
}

// Whether the CSV carries the band columns: a run of a command given --draws.
bool banded(const std::vector<ScenarioRun>& runs) {
  return std::any_of(runs.begin(), runs.end(), [](const ScenarioRun& r) { return r.draws >= 0; });
}

std::string csv_row(const char* kind, const ScenarioRun& run, const std::string& group,
                    const YearFigures& y, double spent, int32_t miles, bool with_bands,
                    const YearBand* band) {
  return std::string(kind) + "," + funding_label(run.scenario.budget) + "," +
         order_label(run.scenario.repair_order) + "," + group + "," +
         std::to_string(y.calendar_year) + "," + fixed(y.pct_poor, 2) + "," + fixed(y.pct_fair, 2) +
         "," + fixed(y.pct_good, 2) + "," + fixed(y.mean_score, 3) + "," + fixed(spent, 3) + "," +
         std::to_string(miles) + outlook_fields(y) + (with_bands ? band_fields(band) : "") + "\n";
}

// `bands` by year, or empty.
std::string csv_group_rows(const ScenarioRun& run, const std::string& group,
                           const std::vector<YearFigures>& years, double total_spent,
                           int32_t total_miles, bool with_bands,
                           const std::vector<YearBand>& bands) {
  std::string out;
  auto band = [&](std::size_t y) { return y < bands.size() ? &bands[y] : nullptr; };
  for (std::size_t y = 0; y < years.size(); ++y)
    out += csv_row("year", run, group, years[y], years[y].spent, years[y].miles_repaired,
                   with_bands, band(y));
  if (!years.empty())
    out += csv_row("summary", run, group, years.back(), total_spent, total_miles, with_bands,
                   band(years.size() - 1));
  return out;
}

// A CSV field: valid UTF-8, quoted when it holds a comma, a quote or a line
// end.
std::string field(const std::string& raw) {
  std::string text = valid_utf8(raw);
  if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::string fixed(double value, int decimals) {
  std::string text = format_text("%.*f", decimals, value);
  // Percent fair is a difference and can fall a hair below 0: no "-0.00".
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

std::string money_text(int64_t cents) {
  return format_text("%lld.%02lld", static_cast<long long>(cents / 100),
                static_cast<long long>(cents % 100));
}

std::string money_text(float millions) {
  return fixed(millions, 2);
}

std::string funding_label(const Budget& budget) {
  switch (budget.kind) {
    case BudgetKind::kFixed:
      return money_text(budget.amount);
    case BudgetKind::kVariable:
      return "variable";
    case BudgetKind::kUnlimited:
      break;
  }
  return "unlimited";
}

std::string order_label(int32_t repair_order) {
  if (repair_order >= 1 && repair_order <= 5) return kOrderNames[repair_order].label;
  return "order-" + std::to_string(repair_order);
}

std::string order_title(int32_t repair_order) {
  if (repair_order >= 1 && repair_order <= 5) return kOrderNames[repair_order].title;
  return "Order " + std::to_string(repair_order);
}

std::string csv_header() {
  return "kind,funding,order,group,year,percent_poor,percent_fair,percent_good,mean_score,spent,"
         "lane_miles_repaired,backlog,backlog_lane_miles,rsl_0,rsl_1_3,rsl_4_7,rsl_8_12,"
         "rsl_13_plus\n";
}

std::string csv_band_header() {
  std::string out;
  for (const char* figure : {"percent_poor", "percent_good", "mean_score"})
    for (const char* p : {"p10_", "p50_", "p90_"}) {
      out += ',';
      out += p;
      out += figure;
    }
  return out;
}

std::string csv_rows(const ScenarioRun& run, bool with_bands) {
  std::string out = csv_group_rows(run, "network", run.years, run.total_spent,
                                   run.total_miles_repaired, with_bands, run.bands);
  for (const GroupFigures& g : run.groups)
    out += csv_group_rows(run, csv_text_field(g.label), g.years, g.total_spent,
                          g.total_miles_repaired, with_bands, {});
  return out;
}

std::string csv_field(const std::string& text) {
  return field(text);
}

std::string csv_text_field(const std::string& text) {
  // What a spreadsheet would take for a formula, or strip, is shown as text.
  if (!text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos)
    return field("'" + text);
  return field(text);
}

std::string csv_text(const std::vector<ScenarioRun>& runs) {
  const bool with_bands = banded(runs);
  std::string out = csv_header();
  if (with_bands) out.insert(out.size() - 1, csv_band_header());
  for (const ScenarioRun& run : runs) out += csv_rows(run, with_bands);
  return out;
}

std::string band_title(const ScenarioRun& run) {
  return format_text("Over %d draws: the median and the 80%% band (10th to 90th percentile)\n",
                     run.draws);
}

std::string band_table(const ScenarioRun& run) {
  if (run.bands.empty()) return "";
  std::string out = band_title(run) +
                    "Year   % Poor   (80% band)         % Good   (80% band)         Mean  "
                    "(80% band)\n";
  for (std::size_t y = 0; y < run.bands.size() && y < run.years.size(); ++y) {
    const YearBand& b = run.bands[y];
    out += format_text("%4d  %7s %6s-%-6s    %7s %6s-%-6s   %6s %5s-%-5s\n",
                       run.years[y].calendar_year, fixed(b.poor.p50, 2).c_str(),
                       fixed(b.poor.p10, 2).c_str(), fixed(b.poor.p90, 2).c_str(),
                       fixed(b.good.p50, 2).c_str(), fixed(b.good.p10, 2).c_str(),
                       fixed(b.good.p90, 2).c_str(), fixed(b.mean.p50, 3).c_str(),
                       fixed(b.mean.p10, 3).c_str(), fixed(b.mean.p90, 3).c_str());
  }
  return out;
}

std::string band_summary(const std::vector<ScenarioRun>& runs,
                         const std::vector<std::string>& labels) {
  if (runs.empty() || runs.front().bands.empty()) return "";
  std::string out = band_title(runs.front()) +
                    "The last year       % Poor   (80% band)       % Good   (80% band)     Mean"
                    "\n";
  for (std::size_t i = 0; i < runs.size(); ++i) {
    if (runs[i].bands.empty()) continue;
    const YearBand& b = runs[i].bands.back();
    std::string label = i < labels.size() ? labels[i] : funding_label(runs[i].scenario.budget);
    if (label.size() > 18) label.resize(18);
    out += format_text("%-18s %7s %6s-%-6s  %7s %6s-%-6s %6s\n", label.c_str(),
                       fixed(b.poor.p50, 2).c_str(), fixed(b.poor.p10, 2).c_str(),
                       fixed(b.poor.p90, 2).c_str(), fixed(b.good.p50, 2).c_str(),
                       fixed(b.good.p10, 2).c_str(), fixed(b.good.p90, 2).c_str(),
                       fixed(b.mean.p50, 3).c_str());
  }
  return out;
}

std::string year_table(const std::vector<YearFigures>& years, double total_spent,
                       int32_t total_miles) {
  std::string out = "Year   % Poor  % Fair  % Good    Mean      Spent  Lane-miles     Backlog\n";
  for (const YearFigures& y : years)
    out += format_text("%4d  %7s %7s %7s %7s %10s %11d %11s\n", y.calendar_year,
                  fixed(y.pct_poor, 2).c_str(), fixed(y.pct_fair, 2).c_str(),
                  fixed(y.pct_good, 2).c_str(), fixed(y.mean_score, 3).c_str(),
                  fixed(y.spent, 3).c_str(), y.miles_repaired, fixed(y.backlog, 3).c_str());
  out += format_text("Total %40.3f %11d\n", total_spent, total_miles);
  return out;
}

std::string year_table(const ScenarioRun& run) {
  std::string out = year_table(run.years, run.total_spent, run.total_miles_repaired);
  for (const GroupFigures& g : run.groups)
    out += "\n" + g.label + "\n" + year_table(g.years, g.total_spent, g.total_miles_repaired);
  return out;
}

std::string sweep_summary(const std::vector<ScenarioRun>& runs) {
  auto table = [&](const std::function<const YearFigures&(const ScenarioRun&)>& last,
                   const std::function<double(const ScenarioRun&)>& total) {
    std::string out =
        " Funding  Final % Poor  % Fair  % Good    Mean  Total spent  Final backlog\n";
    for (const ScenarioRun& run : runs) {
      const YearFigures& y = last(run);
      out += format_text("%8s  %12s %7s %7s %7s %12s %14s\n", funding_label(run.scenario.budget).c_str(),
                    fixed(y.pct_poor, 2).c_str(), fixed(y.pct_fair, 2).c_str(),
                    fixed(y.pct_good, 2).c_str(), fixed(y.mean_score, 3).c_str(),
                    fixed(total(run), 3).c_str(), fixed(y.backlog, 3).c_str());
    }
    return out;
  };
  std::string out = table([](const ScenarioRun& r) -> const YearFigures& { return r.final_year(); },
                          [](const ScenarioRun& r) { return r.total_spent; });
  if (runs.empty()) return out;
  for (std::size_t g = 0; g < runs.front().groups.size(); ++g)
    out +=
        "\n" + runs.front().groups[g].label + "\n" +
        table([g](const ScenarioRun& r) -> const YearFigures& { return r.groups[g].years.back(); },
              [g](const ScenarioRun& r) { return r.groups[g].total_spent; });
  return out;
}

std::string orders_table(const std::vector<ScenarioRun>& runs) {
  if (runs.empty()) return "";
  // One table per figure, the orders side by side: five orders fit in 80
  // columns that way.
  auto table = [&](const std::vector<YearFigures>& (*years)(const ScenarioRun&, std::size_t),
                   std::size_t group) {
    std::string out;
    struct Figure {
      const char* title;
      double (*value)(const YearFigures&);
      int decimals;
    };
    for (const Figure& f :
         {Figure{"Percent poor", [](const YearFigures& y) -> double { return y.pct_poor; }, 2},
          Figure{"Percent fair", [](const YearFigures& y) -> double { return y.pct_fair; }, 2},
          Figure{"Percent good", [](const YearFigures& y) -> double { return y.pct_good; }, 2},
          Figure{"Mean score", [](const YearFigures& y) -> double { return y.mean_score; }, 3},
          Figure{"Backlog $M", [](const YearFigures& y) { return y.backlog; }, 3}}) {
      out += format_text("%-12s", f.title);
      for (const ScenarioRun& run : runs)
        out += format_text(" %10s", kOrderNames[std::clamp(run.scenario.repair_order, 0, 5)].column);
      out += '\n';
      const std::vector<YearFigures>& first = years(runs.front(), group);
      for (std::size_t k = 0; k < first.size(); ++k) {
        out += format_text("%-12d", first[k].calendar_year);
        for (const ScenarioRun& run : runs)
          out += format_text(" %10s", fixed(f.value(years(run, group)[k]), f.decimals).c_str());
        out += '\n';
      }
      out += '\n';
    }
    out += format_text("%-12s", "Total spent");
    for (const ScenarioRun& run : runs) {
      double total = run.total_spent;
      if (group > 0) total = run.groups[group - 1].total_spent;
      out += format_text(" %10s", fixed(total, 3).c_str());
    }
    out += '\n';
    return out;
  };
  auto years_of = [](const ScenarioRun& run, std::size_t group) -> const std::vector<YearFigures>& {
    return group == 0 ? run.years : run.groups[group - 1].years;
  };
  std::string out = table(years_of, 0);
  for (std::size_t g = 0; g < runs.front().groups.size(); ++g)
    out += "\n" + runs.front().groups[g].label + "\n\n" + table(years_of, g + 1);
  return out;
}

ChartSeries chart_series(const ScenarioRun& run, const std::string& label) {
  ChartSeries s{label, {}, {}};
  for (std::size_t y = 0; y < run.years.size(); ++y) {
    const int32_t year = run.years[y].calendar_year;
    if (y < run.bands.size()) {
      const Percentiles& p = run.bands[y].poor;
      s.points.emplace_back(year, p.p50);
      s.band.emplace_back(p.p10, p.p90);
    } else {
      s.points.emplace_back(year, run.years[y].pct_poor);
    }
  }
  return s;
}

}  // namespace pavecast
