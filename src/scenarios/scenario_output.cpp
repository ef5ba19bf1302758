#include "scenarios/scenario_output.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace pavecast {

namespace {

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

std::string format(const char* pattern, ...) {
  char buffer[256];
  va_list args;
  va_start(args, pattern);
  int n = std::vsnprintf(buffer, sizeof buffer, pattern, args);
  va_end(args);
  return std::string(buffer,
                     static_cast<std::size_t>(n < 0 ? 0 : std::min<int>(n, sizeof buffer - 1)));
}

// The repair orders 1 to 4 in the CSV and in titles.
struct OrderNames {
  const char* label;
  const char* title;
};
constexpr OrderNames kOrderNames[] = {{"", ""},
                                      {"random", "Random order"},
                                      {"priority", "Priority"},
                                      {"worst-first", "Worst first"},
                                      {"best-first", "Best first"}};

double d(float value) {
  return static_cast<double>(value);
}

std::string csv_row(const char* kind, const ScenarioRun& run, const YearFigures& y, float spent,
                    int32_t miles) {
  return std::string(kind) + "," + funding_label(run.scenario.budget) + "," +
         order_label(run.scenario.repair_order) + "," + std::to_string(y.calendar_year) + "," +
         fixed(y.pct_poor, 2) + "," + fixed(y.pct_fair, 2) + "," + fixed(y.mean_score, 3) + "," +
         fixed(spent, 3) + "," + std::to_string(miles) + "\n";
}

}  // namespace

std::string fixed(float value, int decimals) {
  std::string text = format("%.*f", decimals, d(value));
  // Percent fair is a difference and can fall a hair below 0: no "-0.00".
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

std::string money_text(int64_t cents) {
  return format("%lld.%02lld", static_cast<long long>(cents / 100),
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
  if (repair_order >= 1 && repair_order <= 4) return kOrderNames[repair_order].label;
  return "order-" + std::to_string(repair_order);
}

std::string order_title(int32_t repair_order) {
  if (repair_order >= 1 && repair_order <= 4) return kOrderNames[repair_order].title;
  return "Order " + std::to_string(repair_order);
}

std::string csv_header() {
  return "kind,funding,order,year,percent_poor,percent_fair,mean_score,spent,"
         "lane_miles_repaired\n";
}

std::string csv_rows(const ScenarioRun& run) {
  std::string out;
  for (const YearFigures& y : run.years) out += csv_row("year", run, y, y.spent, y.miles_repaired);
  out += csv_row("summary", run, run.final_year(), run.total_spent, run.total_miles_repaired);
  return out;
}

std::string csv_text(const std::vector<ScenarioRun>& runs) {
  std::string out = csv_header();
  for (const ScenarioRun& run : runs) out += csv_rows(run);
  return out;
}

std::string year_table(const ScenarioRun& run) {
  std::string out = "Year   % Poor  % Fair    Mean      Spent  Lane-miles\n";
  for (const YearFigures& y : run.years)
    out += format("%4d  %7s %7s %7s %10s %11d\n", y.calendar_year, fixed(y.pct_poor, 2).c_str(),
                  fixed(y.pct_fair, 2).c_str(), fixed(y.mean_score, 3).c_str(),
                  fixed(y.spent, 3).c_str(), y.miles_repaired);
  out += format("Total %32.3f %11d\n", d(run.total_spent), run.total_miles_repaired);
  return out;
}

std::string sweep_summary(const std::vector<ScenarioRun>& runs) {
  std::string out = " Funding  Final % Poor  % Fair    Mean  Total spent\n";
  for (const ScenarioRun& run : runs) {
    const YearFigures& y = run.final_year();
    out += format("%8s  %12s %7s %7s %12s\n", funding_label(run.scenario.budget).c_str(),
                  fixed(y.pct_poor, 2).c_str(), fixed(y.pct_fair, 2).c_str(),
                  fixed(y.mean_score, 3).c_str(), fixed(run.total_spent, 3).c_str());
  }
  return out;
}

std::string orders_table(const std::vector<ScenarioRun>& runs) {
  std::string out = "      ";
  for (const ScenarioRun& run : runs)
    out += format("  %-22s", order_title(run.scenario.repair_order).c_str());
  out += "\nYear  ";
  for (std::size_t i = 0; i < runs.size(); ++i) out += "  % Poor % Fair   Mean";
  out += '\n';
  if (runs.empty()) return out;

  auto figures = [](const YearFigures& y) {
    return format("  %6s %6s %6s", fixed(y.pct_poor, 2).c_str(), fixed(y.pct_fair, 2).c_str(),
                  fixed(y.mean_score, 3).c_str());
  };
  for (std::size_t k = 0; k < runs.front().years.size(); ++k) {
    out += format("%4d  ", runs.front().years[k].calendar_year);
    for (const ScenarioRun& run : runs) out += figures(run.years[k]);
    out += '\n';
  }
  out += "End   ";
  for (const ScenarioRun& run : runs) out += figures(run.final_year());
  out += "\nSpent ";
  for (const ScenarioRun& run : runs) out += format("  %20s", fixed(run.total_spent, 3).c_str());
  out += '\n';
  return out;
}

}  // namespace pavecast
