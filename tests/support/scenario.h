// Whole-run scenarios: a working directory with small data and roads files,
// a run of the program from a scripted console, and the texts the run is
// expected to write, built line by line from the fixed wording of the
// dialogue, the report and the listings.
//
// The helpers only build the fixed parts (questions, headings, column
// widths); every number a scenario expects is worked out by hand in the
// scenario itself and written there as it must be printed.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/run_driver.h"
#include "support/test_support.h"

namespace pavecast::scenarios {

using testing::Files;
using testing::files_under;
using testing::kFooter;
using testing::lines;
using testing::TempDir;

// ---------------------------------------------------------------- text bits

std::string blanks(std::size_t n);
// `text` blank-padded on the right to `width` (never cut).
std::string pad(std::string_view text, std::size_t width);
// `text` right-aligned in `width` columns, as a number is printed.
std::string right(std::string_view text, std::size_t width);
inline const std::string kEsc = "\x1b";
inline const std::string kFormFeed = "\f";

// ------------------------------------------------------------ the dialogue

// " " + text: a progress message.
std::string progress(std::string_view text);
// The opening question of every run, answered before anything else.
std::string introduction();
std::string secondary_data_question(char answer);
std::string printout_type_question(int shown);
std::string date_time_question(char answer);
std::string trace_question(char answer);
// The count and entry prompts of a trace answer of yes.
std::string trace_entries(int count);
// The line of a changeable repair action and the prompt under it.
std::string repetition_entry(int number, std::string_view description, std::string_view current);
// The list of trace file names (9 characters each) and the pause after it.
std::string trace_file_list(std::initializer_list<std::string_view> names);
std::string force_fix_question(char answer);
std::string force_fix_file_prompt(std::string_view file12);
std::string years_question(int saved_years);
std::string dollars_question(char answer);
// The amount question with its default line ("  9.99" or "Variable").
std::string funding_amount_question(std::string_view default_shown);
std::string fixed_funding_confirmation(std::string_view amount_f6_2);
std::string variable_funding_confirmation();
std::string repair_order_menu(int shown);
// The repetition question showing its default; then the heading of the
// limits when they are to be changed, else the progress message.
std::string repetition_question(char shown, bool change = false);
std::string reading_rates_and_matrices();
std::string scores_question(std::string_view default_name9);
// The summary of a scores file shown for "help": the miles of scores 1 to
// 10 and their total as printed (F6.0), then the wait for Enter.
std::string scores_summary(const std::vector<std::string_view>& miles, std::string_view total);
std::string split_question(char answer);
std::string split_factor_prompt(int shown);
std::string randomize_question(char answer);
std::string traffic_question(char answer);
std::string reconstruct_question(char answer);
std::string probability_prompt(std::string_view shown_f4_1);
std::string final_conditions_question(char answer);
std::string final_conditions_name_prompt(std::string_view default12);
std::string print_question(char answer);
std::string auxiliary_question(char answer);
std::string year_message(int year, int segments);
// The record of 64 blanks that clears the year message.
std::string year_message_cleared();
std::string writing_final_conditions(std::string_view file12);
// The closing list: the four file names as shown (12 columns or longer) and
// the final percents as printed (F5.1).
std::string closing_list(std::string_view report, std::string_view inputs,
                         std::string_view condition, std::string_view improvements,
                         std::string_view poor, std::string_view fair);
std::string done_running();
std::string printer_alert();

// ------------------------------------------------------ the inputs record

// Echo lines, the question with its final answer, as userdata.tmp holds them.
namespace echo {
std::string secondary_data(char answer);
std::string printout_type(int type);
std::string date_time(char answer);
std::string trace(char answer);
std::string force_fix(char answer);
std::string force_fix_file(std::string_view file12);
std::string years(int saved, int chosen);
std::string dollars(char answer);
std::string fixed_funding(std::string_view amount_f5_1);
std::string repair_order(int order);
std::string repetition(char answer);
std::string split(char answer);
std::string split_factor(int factor);
std::string randomize(char answer);
std::string traffic(char answer);
std::string reconstruct(char answer);
std::string probability(std::string_view percent_f4_1);
std::string scores(std::string_view name9);
std::string final_conditions(char answer);
std::string print(char answer);
std::string auxiliary(char answer);
std::string final_conditions_name(std::string_view file12);
}  // namespace echo

// The end record of the report and the inputs record.
std::string end_record(int printout_type);
// The priority table that closes the inputs record under priority order.
std::string priority_table(const std::vector<int>& priorities);

// ------------------------------------------------------------- the report

std::string laserjet_setup();
// The title; `date_time` is "" or the date and time as printed (16 columns).
std::string report_title(std::string_view date_time, std::string_view network_name21);
std::string funding_fixed(std::string_view amount_f6_2, std::string_view order12);
std::string funding_variable(std::string_view order12);
std::string funding_unlimited();
std::string lane_miles(int miles, bool forced);
// The three heading lines of the cost table for these action numbers.
std::string cost_table_heading(const std::vector<int>& action_numbers);
// The table's left margin for n actions.
int cost_table_margin(int n);
std::string first_year_row(int n, std::string_view year, std::string_view poor,
                           std::string_view fair, std::string_view mean);
std::string year_row(int n, std::string_view year, std::string_view poor, std::string_view fair,
                     std::string_view mean, std::string_view spent, std::string_view per_year,
                     std::string_view miles, std::string_view per_mile,
                     const std::vector<std::string_view>& costs);
std::string total_rows(int n, std::string_view years, std::string_view total,
                       std::string_view per_year, std::string_view miles, std::string_view per_mile,
                       const std::vector<std::string_view>& miles_by_action);
std::string definitions();
// The score distribution: ten shares and the average as printed.
std::string distribution(const std::vector<std::string_view>& shares, std::string_view average);
std::string policy_heading(std::string_view name1, std::string_view name2, std::string_view name3);
// A policy row with an action: number, limit, description, cost (F6.3 text),
// score label and the rates as printed.
std::string policy_row(int number, int limit, std::string_view description, std::string_view cost,
                       int label, const std::vector<std::string_view>& rates);
std::string rates_row(int label, const std::vector<std::string_view>& rates);
// The whole policy block of a report on the bundled example's parameters
// (eight actions, three pavement types, the rates as read).
std::string example_policy_block();

// ------------------------------------------------------------ the listings

std::string segment_list_heading_short();
std::string segment_list_heading_names();
std::string improvements_heading_short(int first_year);
std::string improvements_heading_names(int first_year);
std::string trace_heading_short(int segment);
std::string trace_heading_names(std::string_view highway23, std::string_view description38);
// The record of one blank that starts each year in both listings.
std::string year_start();

// ------------------------------------------------------------- data files

// One repairs file record in its columns.
std::string repair_record(int rank, int number, int limit, char mark, std::string_view description,
                          std::string_view gain, std::string_view cost, int new_type);
// A names-form segment line: score, lane-miles, MCD and jurisdiction as
// typed in their columns, highway name and description.
std::string names_segment(std::string_view score, std::string_view miles, std::string_view mcd,
                          std::string_view jurisdiction, std::string_view highway,
                          std::string_view description);
// The 20 saved answers, one per line as given.
std::string saved_answers(std::initializer_list<std::string_view> lines20);

// --------------------------------------------------------------- the run

struct RunResult {
  int status = -1;
  std::string console;
};

// What a run did to its working directory.
struct Changes {
  Files written;                  // new or changed files, with what they hold
  std::set<std::string> deleted;  // files that were there before and are gone
};
Changes changes_between(const Files& before, const Files& after);

// Runs the program in `dir` with the reply lines, at the given start time,
// with printer port n standing for the file `printer_prefix` + (n - 1).
RunResult run(const TempDir& dir, const std::vector<std::string>& replies,
              StartTime start = StartTime{2026, 12, 8, 14, 30}, std::string printer_prefix = "");
// The same, also collecting what the run wrote and deleted.
RunResult run_and_diff(const TempDir& dir, const std::vector<std::string>& replies,
                       Changes& changes, StartTime start = StartTime{2026, 12, 8, 14, 30},
                       std::string printer_prefix = "");

// Expects the written files to be exactly `expected` (names and bytes),
// reporting the first differing line of each file.
void expect_files(const Files& written, const Files& expected);

// The first differing line of two texts, or "" when they are equal.
std::string first_difference(const std::string& expected, const std::string& actual);

}  // namespace pavecast::scenarios

// Compares two long texts and, on a difference, names its first line.
#define EXPECT_TEXT(expected, actual)                                                        \
  do {                                                                                       \
    std::string difference_ = ::pavecast::scenarios::first_difference((expected), (actual)); \
    EXPECT_TRUE(difference_.empty()) << difference_;                                         \
  } while (false)
