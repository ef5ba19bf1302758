// Reports long and wide enough to need their page breaks and to overflow
// their columns: 97 years of the bundled example, and 65 years of a network
// with all 11 repair actions printed six lines to the inch.
#include <gtest/gtest.h>

#include <sstream>

#include "support/scenario.h"

namespace pavecast::scenarios {
namespace {

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> v;
  std::istringstream s(text);
  std::string l;
  while (std::getline(s, l)) v.push_back(l);
  return v;
}

// A printed number in its field: blanks, then an optional sign and digits
// (with a point and `decimals` digits for a real), or the field all
// asterisks because the value does not fit.
bool number_field(std::string_view f, int decimals) {
  if (f.find_first_not_of('*') == std::string_view::npos) return true;
  std::size_t i = f.find_first_not_of(' ');
  if (i == std::string_view::npos) return false;
  std::string_view n = f.substr(i);
  if (n[0] == '-') n.remove_prefix(1);
  if (decimals < 0)
    return !n.empty() && n.find_first_not_of("0123456789") == std::string_view::npos;
  std::size_t point = n.find('.');
  return point != std::string_view::npos &&
         n.substr(0, point).find_first_not_of("0123456789") == std::string_view::npos &&
         n.size() - point - 1 == static_cast<std::size_t>(decimals) &&
         n.substr(point + 1).find_first_not_of("0123456789") == std::string_view::npos;
}

// Checks a year row of the cost table for n actions: its margin, the
// calendar year, and every field in its columns.
void expect_year_row(const std::string& row, int n, int calendar_year) {
  SCOPED_TRACE("row [" + row + "]");
  const std::size_t m = static_cast<std::size_t>(cost_table_margin(n));
  // year I4, I6, I8, F7.1 x 3, 1X, I5, 2X, F4.3, 3X, F5.1, F6.1 ...
  struct Field {
    std::size_t width;
    int decimals;  // -1: integer; -2: blanks
  };
  std::vector<Field> fields = {{4, -1}, {6, -1}, {8, -1}, {7, 1}, {7, 1},  {7, 1},
                               {1, -2}, {5, -1}, {2, -2}, {4, 3}, {3, -2}, {5, 1}};
  for (int a = 2; a <= n; ++a) fields.push_back({6, 1});
  std::size_t width = m;
  for (const Field& f : fields) width += f.width;
  ASSERT_EQ(row.size(), width);
  EXPECT_EQ(row.substr(0, m), blanks(m));
  EXPECT_EQ(row.substr(m, 4), std::to_string(calendar_year));
  std::size_t at = m;
  for (const Field& f : fields) {
    std::string_view field = std::string_view(row).substr(at, f.width);
    if (f.decimals == -2)
      EXPECT_EQ(field, blanks(f.width));
    else
      EXPECT_TRUE(number_field(field, f.decimals)) << "field at column " << at + 1;
    at += f.width;
  }
}

// Reads the rows of the cost table from `lines` starting at `at`, for the
// loaded year and `years` simulated years, expecting a form feed and the
// whole heading again before row `break_before` (0: none). Leaves `at` on
// the line after the last row.
void expect_table_rows(const std::vector<std::string>& lines, std::size_t& at, int n,
                       int first_year, int years, int break_before,
                       const std::vector<int>& action_numbers) {
  const std::vector<std::string> heading = split_lines(cost_table_heading(action_numbers));
  for (int y = 1; y <= years + 1; ++y) {
    ASSERT_LT(at, lines.size());
    if (y == break_before) {
      EXPECT_EQ(lines[at], "\f") << "page break before row " << y;
      for (std::size_t h = 0; h < heading.size(); ++h) EXPECT_EQ(lines[at + 1 + h], heading[h]);
      at += 1 + heading.size();
    }
    if (y == 1) {
      // the loaded year: I4, I6, I8, 4X, F3.1
      const std::string& row = lines[at];
      const std::size_t m = static_cast<std::size_t>(cost_table_margin(n));
      ASSERT_EQ(row.size(), m + 25) << row;
      EXPECT_EQ(row.substr(m, 4), std::to_string(first_year));
      EXPECT_TRUE(number_field(std::string_view(row).substr(m + 22, 3), 1)) << row;
    } else {
      expect_year_row(lines[at], n, first_year + y - 1);
    }
    ++at;
  }
}

// ------------------------------------------------------- 97 example years

TEST(LongReports, NinetySevenYearsOfTheExampleBreakThePageBeforeTheSixtyFirstRow) {
  TempDir dir;
  testing::copy_example(dir);
  // 97 years, no auxiliary files; Enter for everything else.
  RunResult r =
      run(dir, {"", "", "", "", "", "", "97", "", "", "", "", "", "", "", "", "", "", "", "", "n"});
  ASSERT_EQ(r.status, 0) << r.console;

  // The console: the dialogue, one message a year with the count of
  // segments at its start (at most one split a year), the closing list.
  std::vector<std::string> console = split_lines(r.console);
  std::size_t at =
      split_lines(introduction() + secondary_data_question('N') + printout_type_question(1)).size();
  int count = 800;
  std::size_t first_message = 0;
  for (std::size_t i = 0; i < console.size(); ++i)
    if (console[i].find("Processing year") != std::string::npos) {
      first_message = i;
      break;
    }
  ASSERT_GT(first_message, at);
  for (int y = 2; y <= 98; ++y) {
    const std::string& l = console[first_message + static_cast<std::size_t>(y) - 2];
    const std::string same = split_lines(year_message(y, count))[0];
    const std::string one_more = split_lines(year_message(y, count + 1))[0];
    if (l == one_more) ++count;
    EXPECT_TRUE(l == same || l == one_more) << l;
  }
  EXPECT_GT(count, 800);

  std::string report = dir.read("NET1-c.out");
  std::vector<std::string> lines = split_lines(report);
  const std::vector<int> actions = {10, 20, 30, 35, 40, 50, 55, 60};
  const std::string opening = laserjet_setup() + report_title("", "Tri-County Regional  ") +
                              funding_fixed(" 40.00", "Worst  First") + lane_miles(2000, false) +
                              cost_table_heading(actions);
  ASSERT_EQ(report.substr(0, opening.size()), opening);
  // 74 lines a page: the title takes 11, the heading 3, so rows 1 to 60
  // (2025 to 2084) fill the first page.
  at = split_lines(opening).size();
  expect_table_rows(lines, at, 8, 2025, 97, 61, actions);
  // The totals follow on the second page, 41 lines down: no page break
  // before them nor before the definitions.
  ASSERT_LT(at + 3, lines.size());
  EXPECT_TRUE(lines[at].starts_with(blanks(11) + "Total Cost (97 Years)")) << lines[at];
  EXPECT_EQ(lines[at + 1], "");
  EXPECT_EQ(lines[at + 2], "");
  EXPECT_TRUE(lines[at + 3].starts_with(blanks(39) + "Total Lane-Miles By Action"))
      << lines[at + 3];
  EXPECT_EQ(lines[at + 3].size(), 39u + 26u + 5u + 7u * 6u);
  const std::string closing = definitions();
  std::size_t rest = report.find(closing);
  ASSERT_NE(rest, std::string::npos);
  EXPECT_EQ(report.find('\f', report.find("Total Cost")), std::string::npos);
  // The distribution line, then the policy block with the rates as read
  // (no traffic growth) and the printer reset.
  std::string tail = report.substr(rest + closing.size());
  std::vector<std::string> tail_lines = split_lines(tail);
  ASSERT_GE(tail_lines.size(), 4u);
  EXPECT_TRUE(tail_lines[2].starts_with("Percent of Miles by Score from 1 to 10:"))
      << tail_lines[2];
  EXPECT_EQ(tail_lines[2].size(), 39u + 10u * 6u + 11u + 4u);
  const std::string policy = example_policy_block() + end_record(1);
  EXPECT_TRUE(report.ends_with(policy));
}

// --------------------------------------------------------- 11 actions

// One segment of 12,000 lane-miles with score 2, losing a point a year;
// only class 1 has an action, the eleventh (21, rebuild: 4.0 per 2
// lane-miles, 9 points). Without a budget it is rebuilt in years 3, 13,
// ..., 63 for 24,000 a time (2.0 a lane-mile) and ends at 7 after 65 years.
TEST(LongReports, ElevenActionsOverSixtyFiveYearsAtSixLinesAnInch) {
  TempDir dir;
  dir.write("data/default.dat", "\nN\n 1\n");
  dir.write("data/printer.def", "1\n");
  std::string repairs;
  for (int a = 1; a <= 10; ++a) {
    std::string cost = a < 10 ? "0.0" + std::to_string(a) + "0" : "0.100";
    repairs += repair_record(a < 9 ? a : 8, 10 + a, 1, ' ', "Action " + std::to_string(10 + a),
                             "1.0", cost, 0);
  }
  repairs += repair_record(9, 21, 9, ' ', "Rebuild", "9.0", "4.000", 0);
  dir.write("data/repairs.dat", repairs);
  dir.write("data/detrates.dat", lines({"FLEX", "1.00", "1.00", "1.00", "1.00", "1.00", "1.00",
                                        "1.00", "1.00", "1.00", "1.00"}));
  dir.write("data/matrix.dat", lines({"FLEX", "21  0  0  0  0  0  0  0  0  0"}));
  dir.write("data/random.dat", lines({".50000"}));
  dir.write("data/default2.dat",
            saved_answers({"3", "N",    "N", "N", "force.txt", "N", "  2.00", "65", "N", "3", "big",
                           "N", "   1", "N", "N", "  5.00",    "N", "N",      "N",  "N"}));
  dir.write("roads/big", lines({"2025", "Big Network", "FLEX", " 212000.0", ""}));

  RunResult r = run(dir, std::vector<std::string>(17, ""));
  ASSERT_EQ(r.status, 0) << r.console;
  std::string messages;
  for (int y = 2; y <= 66; ++y) messages += year_message(y, 1);
  EXPECT_TEXT(introduction() + secondary_data_question('N') + printout_type_question(3) +
                  date_time_question('N') + trace_question('N') + force_fix_question('N') +
                  years_question(65) + dollars_question('N') + repetition_question('N') +
                  reading_rates_and_matrices() + scores_question("big      ") +
                  split_question('N') + randomize_question('N') + traffic_question('N') +
                  reconstruct_question('N') + final_conditions_question('N') + print_question('N') +
                  auxiliary_question('N') + progress("Reading Data") + messages +
                  year_message_cleared() +
                  closing_list("big-u.out   ", "big-u.res   ", "NA          ", "NA          ",
                               "0.0", "0.0") +
                  done_running(),
              r.console);

  const std::string report = dir.read("big-u.out");
  const std::vector<std::string> lines = split_lines(report);
  const std::vector<int> actions = {11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21};
  // No printer codes for a dot-matrix type; 12,000 does not fit Lane-Miles' I4.
  const std::string opening = report_title("", "Big Network          ") + funding_unlimited() +
                              scenarios::lines({blanks(48) + "Lane-Miles: ****", "", "", "", ""}) +
                              cost_table_heading(actions);
  ASSERT_EQ(report.substr(0, opening.size()), opening);

  // 53 lines a page: rows 1 to 39 on the first, a form feed and the heading,
  // then rows 40 to 66.
  std::size_t at = split_lines(opening).size();
  const std::size_t first_row = at;
  expect_table_rows(lines, at, 11, 2025, 65, 40, actions);

  const std::vector<std::string_view> none(11, "0.0");
  std::vector<std::string_view> rebuilt = none;
  rebuilt[10] = "******";  // 24,000.0 does not fit F6.1
  auto row = [&](std::size_t index) { return lines[first_row + index] + "\n"; };
  EXPECT_EQ(row(0), first_year_row(11, "2025", "100", "0", "2.0"));
  EXPECT_EQ(row(1), year_row(11, "2026", "100", "0", "1.0", "0.0", "0.0", "0", ".000", none));
  // 2.0 a lane-mile does not fit F4.3
  EXPECT_EQ(row(2),
            year_row(11, "2027", "0", "0", "10.0", "24000.0", "12000.0", "12000", "****", rebuilt));
  EXPECT_EQ(row(3), year_row(11, "2028", "0", "0", "9.0", "0.0", "8000.0", "0", ".000", none));
  EXPECT_EQ(row(6), year_row(11, "2031", "0", "100", "6.0", "0.0", "4000.0", "0", ".000", none));
  EXPECT_EQ(row(7), year_row(11, "2032", "100", "0", "5.0", "0.0", "3428.6", "0", ".000", none));
  // row 40 (2064) follows the break: the fourth rebuild, 96,000 over 39 years
  EXPECT_EQ(row(39 + 4),
            year_row(11, "2064", "100", "0", "3.0", "0.0", "2461.5", "0", ".000", none));
  // the last row, 2090: seven rebuilds over 65 years
  EXPECT_EQ(lines[at - 1] + "\n",
            year_row(11, "2090", "0", "0", "7.0", "0.0", "2584.6", "0", ".000", none));

  std::string expected_end =
      total_rows(11, "65", "168000.0", "2584.6", "84000", "****",
                 {"0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "84000"}) +
      // 30 lines on the second page and 4 more: past the 29 that leave room
      // for the rest, so the definitions start a new page
      end_record(3) + definitions() +
      distribution({"0.0", "0.0", "0.0", "0.0", "0.0", "0.0", "100.0", "0.0", "0.0", "0.0"},
                   "7.00") +
      policy_heading("FLEX    ", "        ", "        ");
  for (int k = 1; k <= 10; ++k) {
    std::string cost = k < 10 ? "0.0" + std::to_string(k) + "0" : "0.100";
    expected_end +=
        policy_row(10 + k, 1, "Action " + std::to_string(10 + k), cost, 11 - k, {"1.00"});
  }
  expected_end += policy_row(21, 9, "Rebuild", "4.000", 0, {}) + end_record(3);
  std::string rest;
  for (std::size_t i = at; i < lines.size(); ++i) rest += lines[i] + "\n";
  EXPECT_TEXT(expected_end, rest);
}

}  // namespace
}  // namespace pavecast::scenarios
