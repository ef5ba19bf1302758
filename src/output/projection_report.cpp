#include "output/projection_report.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "layout/layout.h"
#include "model/repair_order.h"
#include "model/whole_number.h"

namespace pavecast {

namespace {

using layout::Item;
using layout::Layout;

// The cost table moves left and its "Cost By Action" title right as repair
// actions are added; a run without actions is laid out like one with one.
constexpr std::array<int, kMaxActions + 1> kMargin = {30, 30, 29, 26, 23, 20, 17, 14, 11, 8, 5, 2};
constexpr std::array<int, kMaxActions + 1> kGap = {3, 3, 3, 5, 8, 11, 14, 17, 20, 23, 26, 29};

// The layouts of the cost table for n repair actions.
struct CostTable {
  explicit CostTable(int n)
      : heading(margin(n) + "26X,'  Cost   Avg.  ','Mi`s  $/Mi'," + std::to_string(kGap[n]) +
                "X,'Cost By Action',/," + margin(n) +
                "'Year  % Poor  % Fair ','Mean   (m$)   $/Yr  Rep.  Rep.  ',11(1X,I4,1X)"),
        dash_line(margin(n) + "'----  ------  ------ ----   ----   ----  ----  ----',5X,11(A3,3X)"),
        first_year_row(margin(n) + "I4,I6,I8,4X,F3.1"),
        year_row(margin(n) + "I4,I6,I8,F7.1,2F7.1,1X,I5,2X,F4.3,3X,F5.1,10F6.1"),
        total_row(margin(n) + "'Total Cost (',I2,' Years)',3X,F8.1,1X,F6.1,1X,I5,2X,F4.3"),
        lane_miles_row("/,/," + margin(n) + "28X,'Total Lane-Miles By Action',I5," +
                       (n == kMaxActions ? "11I6" : "10I6")) {}

  static std::string margin(int n) { return std::to_string(kMargin[n]) + "X,"; }

  Layout heading, dash_line, first_year_row, year_row, total_row, lane_miles_row;
};

// A real divided by a real, or 0.0 when the divisor is 0.
float ratio_or_zero(double numerator, double divisor) {
  return divisor == 0.0 ? 0.0f : static_cast<float>(numerator / divisor);
}

void form_feed(OutputFile& out) {
  out.write(std::string{kFormFeed, '\n'});
}

void write_printer_setup(OutputFile& out) {
  const std::string esc(1, kEsc);
  out.write(esc + "E\n");
  out.write(esc + "&l8D\n");
  out.write(esc + "&l4E\n");
  out.write(esc + "(0U" + esc + "(sp16.66h9.5vsb6d" + esc + "&a8L\n");
  out.write(esc + "&a6L\n");
  form_feed(out);
}

std::string_view order_name(int32_t order) {
  return order >= 1 && order <= 4 ? repair_order_name(repair_order_of(order)) : "";
}

void write_title(const RunOutput& run, OutputFile& out) {
  static const Layout kDated(
      "11X,I2,'/',I2,'/',I4,1X,I2,':',I2,14X,'Quillondarowmere Transportation',' Committee',/,"
      "41X,'Pavecast (PAVC)',/");
  static const Layout kDatedEarlyMinute(
      "11X,I2,'/',I2,'/',I4,1X,I2,':0',I1,14X,'Quillondarowmere Transportation',' Committee',/,"
      "41X,'Pavecast (PAVC)',/");
  static const Layout kUndated(
      "41X,'Quillondarowmere Transportation',' Committee',/,41X,'Pavecast (PAVC)',/");
  static const Layout kRoads("48X,'Roads: ',A21");
  static const Layout kUnlimited("48X,'Funding: Unlimited Dollars'");
  static const Layout kFixed("48X,'Funding: $',F6.2,'M Per Year',/,48X,'Repair Order: ',A12");
  static const Layout kVariable("48X,'Funding: Variable',/,48X,'Repair Order: ',A12");
  static const Layout kLaneMiles("48X,'Lane-Miles: ',I4,/,/,/,/");
  static const Layout kLaneMilesForced("48X,'Lane-Miles: ',I4,', (Some Repairs Are Forced)',/,/");

  run.state.report_line = 11;
  if (is_yes(run.settings.date_time_answer)) {
    const StartTime& t = run.settings.start_time;
    out.write(t.minute >= 10 ? kDated : kDatedEarlyMinute,
              {t.month, t.day, t.year, t.hour, t.minute});
  } else {
    out.write(kUndated, {});
  }
  out.write(kRoads, {run.network.network_name});

  std::string_view order = order_name(run.settings.repair_order);
  if (run.settings.variable_funding) {
    out.write(kVariable, {order});
  } else if (run.settings.annual_funding >= 998.0f) {
    out.write(kUnlimited, {});
  } else {
    out.write(kFixed, {run.settings.annual_funding, order});
  }

  int32_t lane_miles = whole(run.network.total_lane_miles, kLaneMilesOffset);
  out.write(is_no(run.settings.force_fix_answer) ? kLaneMiles : kLaneMilesForced, {lane_miles});
}

void write_table_heading(const CostTable& table, int n, const RunOutput& run, OutputFile& out) {
  std::vector<Item> numbers, dashes;
  for (int a = 1; a <= n; ++a) {
    numbers.emplace_back(run.tables.actions[a].action_number);
    dashes.emplace_back("---");
  }
  out.write(table.heading, numbers);
  out.write(table.dash_line, dashes);
}

// A page break inside the table: the form feed and the heading again.
void new_table_page(const CostTable& table, int n, const RunOutput& run, OutputFile& out) {
  form_feed(out);
  write_table_heading(table, n, run, out);
  run.state.report_line = 3;
}

void write_cost_table(const RunOutput& run, OutputFile& out) {
  const Statistics& s = run.stats;
  const int n = std::clamp(run.tables.actions.action_count, 0, kMaxActions);
  const CostTable table(std::max(n, 1));
  const int year_slots = std::clamp(run.settings.year_slots, 1, kMaxYearSlots);

  run.state.report_line += 3;
  write_table_heading(table, n, run, out);

  float cumulative = 0.0f;
  float total_cost = 0.0f;
  for (int y = 1; y <= year_slots; ++y) {
    if (run.state.report_line >= run.settings.page_lines) new_table_page(table, n, run, out);
    int32_t poor = whole(s.pct_poor[y], kReportOffset);
    int32_t fair = whole(s.pct_fair[y], kReportOffset);
    int32_t calendar_year = run.network.first_year - 1 + y;

    if (y == 1) {
      out.write(table.first_year_row, {calendar_year, poor, fair, s.mean_score[1]});
    } else {
      cumulative = static_cast<float>(static_cast<double>(cumulative) + s.spent[y]);
      float per_year = static_cast<float>(static_cast<double>(cumulative) / (y - 1));
      float per_mile = ratio_or_zero(s.spent[y], s.miles_repaired[y]);
      std::vector<Item> row = {calendar_year,       poor,       fair,
                               s.mean_score[y],     s.spent[y], per_year,
                               s.miles_repaired[y], per_mile};
      for (int a = 1; a <= n; ++a) row.emplace_back(s.cost_by_action[a][y]);
      out.write(table.year_row, row);
    }
    total_cost = static_cast<float>(static_cast<double>(total_cost) + s.spent[y]);
    run.state.report_line += 1;
  }

  float per_year = ratio_or_zero(total_cost, run.settings.years);
  float per_mile = ratio_or_zero(total_cost, s.total_miles_repaired);
  if (run.state.report_line > run.settings.page_lines) new_table_page(table, n, run, out);
  out.write(table.total_row,
            {run.settings.years, total_cost, per_year, s.total_miles_repaired, per_mile});
  std::vector<Item> miles;
  for (int a = 1; a <= n; ++a) miles.emplace_back(whole(s.miles_by_action[a], kLaneMilesOffset));
  out.write(table.lane_miles_row, miles);
  run.state.report_line += 4;
}

void write_score_distribution(const RunOutput& run, OutputFile& out) {
  static const Layout kDefinitions(
      "/,/,/,/,'A \"poor\" pavement is defined as having a score ','of 5 or less.',/,"
      "'A \"fair\" ','pavement is defined as having a score of 6.'");
  static const Layout kShares(
      "/,/,'Percent of Miles by Score from 1 to 10:',10(F5.1,','),' Average = ',F4.2,/");

  out.write(kDefinitions, {});

  std::array<float, kClasses + 1> share{};
  for (int i = 1; i <= run.segments.segment_count; ++i) {
    const Segment& seg = run.segments[i];
    int32_t c = whole(seg.score, kReportOffset);
    if (c >= 1 && c <= kClasses)
      share[c] = static_cast<float>(static_cast<double>(share[c]) + seg.lane_miles);
  }
  std::vector<Item> items;
  for (int c = 1; c <= kClasses; ++c) {
    share[c] = ratio_or_zero(static_cast<double>(share[c]) * 100.0, run.network.total_lane_miles);
    items.emplace_back(share[c]);
  }
  int year_slots = std::clamp(run.settings.year_slots, 1, kMaxYearSlots);
  items.emplace_back(run.stats.mean_score[year_slots]);
  out.write(kShares, items);
}

void write_policy_block(const RunOutput& run, OutputFile& out) {
  static const Layout kHeading(
      "/,/,/,14X,8X,'Repetition of Action Policy',T71,14X,'Deterioration Rates',/,"
      "38X,14X,'Cost',/,"
      "14X,'Act #Of',31X,'Per 2',/,"
      "14X,' #  Rep     Description of Policy     Ln-Mi',T57,14X,'Score  ',T68,14X,A8,2X,"
      "2(A8,2X)");
  static const Layout kDashes(
      "14X,2(3('-'),1X),29('-'),' -----',T57,14X,5('-'),T68,14X,3(8('-'),2X)");
  static const Layout kActionAndRates("14X,2(I2,2X),A29,F6.3,T58,14X,I2,4X,5F10.2");
  static const Layout kRatesOnly("T58,14X,I2,4X,5F10.2");
  static const Layout kLastAction("14X,2(I2,2X),A29,F6.3");

  const PavementTypes& pavement = run.tables.pavement;
  out.write(kHeading, {pavement.pavement_type_name[1], pavement.pavement_type_name[2],
                       pavement.pavement_type_name[3]});
  out.write(kDashes, {});

  const int types = std::clamp(pavement.pavement_type_count, 0, kMaxPavementTypes);
  for (int k = 1; k <= kMaxActions; ++k) {
    // Rows past the actions in use stay empty whatever an earlier reading
    // left in the table.
    const RepairAction& action = run.tables.actions[k];
    int32_t number = k <= run.tables.actions.action_count ? action.action_number : 0;
    int32_t repeats = std::min(action.max_repeats, int32_t{9});
    std::vector<Item> row;
    if (k <= kClasses) {
      if (number > 0) {
        row = {number, repeats, action.action_description, action.action_cost};
      }
      row.emplace_back(int32_t{11 - k});
      for (int p = 1; p <= types; ++p) row.emplace_back(pavement.det_rate[p][k]);
      out.write(number > 0 ? kActionAndRates : kRatesOnly, row);
    } else if (number != 0) {
      out.write(kLastAction, {number, repeats, action.action_description, action.action_cost});
    }
  }
}

}  // namespace

void write_projection_report(const RunOutput& run) {
  if (!run.files.report) return;
  OutputFile& out = *run.files.report;
  if (run.settings.printout_type == 1) write_printer_setup(out);
  write_title(run, out);
  write_cost_table(run, out);
  if (run.state.report_line > run.settings.page_lines - 24) form_feed(out);
  write_score_distribution(run, out);
  write_policy_block(run, out);
}

void write_end_record(int32_t printout_type, OutputFile& file) {
  if (printout_type == 1) {
    file.write(std::string{kEsc, 'E', '\n'});
  } else {
    form_feed(file);
  }
}

}  // namespace pavecast
