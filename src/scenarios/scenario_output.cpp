#include "scenarios/scenario_output.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <string_view>

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

std::string csv_row(const char* kind, const ScenarioRun& run, const std::string& group,
                    const YearFigures& y, double spent, int32_t miles) {
  return std::string(kind) + "," + funding_label(run.scenario.budget) + "," +
         order_label(run.scenario.repair_order) + "," + group + "," +
         std::to_string(y.calendar_year) + "," + fixed(y.pct_poor, 2) + "," + fixed(y.pct_fair, 2) +
         "," + fixed(y.pct_good, 2) + "," + fixed(y.mean_score, 3) + "," + fixed(spent, 3) + "," +
         std::to_string(miles) + outlook_fields(y) + "\n";
}

std::string csv_group_rows(const ScenarioRun& run, const std::string& group,
                           const std::vector<YearFigures>& years, double total_spent,
                           int32_t total_miles) {
  std::string out;
  for (const YearFigures& y : years)
    out += csv_row("year", run, group, y, y.spent, y.miles_repaired);
  if (!years.empty()) out += csv_row("summary", run, group, years.back(), total_spent, total_miles);
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

std::string csv_rows(const ScenarioRun& run) {
  std::string out =
      csv_group_rows(run, "network", run.years, run.total_spent, run.total_miles_repaired);
  for (const GroupFigures& g : run.groups)
    out += csv_group_rows(run, csv_text_field(g.label), g.years, g.total_spent, g.total_miles_repaired);
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
  std::string out = csv_header();
  for (const ScenarioRun& run : runs) out += csv_rows(run);
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

}  // namespace pavecast
