// The two ways back: three segments are to be traced, but "trace.2" is a
// directory, so the second trace file cannot be opened. Keep goes back to
// the trace file list with the one file that opened; reenter deletes it and
// asks everything again from the printout type, with this run's answers as
// the defaults.
#include <gtest/gtest.h>

#include "scenarios/tiny_network.h"

namespace pavecast::scenarios {
namespace {

// 2025, two ASPH segments of 2 lane-miles, scores 5 and 8; no budget, so
// random order with keys .5 and .4. In the one year seg 2 (8) has no
// action and loses .5; seg 1 (5) is sealed for .125 (to 6).
void write_trace_network(const TempDir& dir, std::string_view saved_years,
                         std::string_view saved_scores) {
  write_tiny_parameters(dir);
  dir.write("data/default2.dat",
            saved_answers({"1",         "N",      "N", "N",          "force.txt", "N",    "  2.00",
                           saved_years, "N",      "3", saved_scores, "N",         "   1", "N",
                           "N",         "  5.00", "N", "N",          "N",         "N"}));
  dir.write("roads/tr", lines({"2025 SHORT", "Trace Test", "ASPH", " 5   2.00", " 8   2.00", ""}));
  dir.write("data/random.dat", lines({".50000", ".40000"}));
  std::filesystem::create_directory(dir.path() / "trace.2");
}

std::string recovery_question(int requested, int opened) {
  return " You requested to trace " + right(std::to_string(requested), 3) +
         " segments.  You may only trace " + right(std::to_string(opened), 3) + ".\n" +
         " Do you want to keep your entries (k) or reenter them (r) (k/r)? \n";
}

// Every question from the force-fix question on, all answered with Enter.
std::string later_questions(int saved_years, std::string_view default_scores) {
  return force_fix_question('N') + years_question(saved_years) + dollars_question('N') +
         repetition_question('N') + reading_rates_and_matrices() + scores_question(default_scores) +
         split_question('N') + randomize_question('N') + traffic_question('N') +
         reconstruct_question('N') + final_conditions_question('N') + print_question('N') +
         auxiliary_question('N') + progress("Reading Data");
}

std::string later_echoes(int saved_years) {
  return echo::force_fix('N') + echo::years(saved_years, 1) + echo::dollars('N') +
         echo::repetition('N') + echo::split('N') + echo::randomize('N') + echo::traffic('N') +
         echo::reconstruct('N') + echo::scores("tr       ") + echo::final_conditions('N') +
         echo::print('N') + echo::auxiliary('N');
}

// The report of the one year, after the way back.
std::string trace_run_report(int printout_type, std::string_view date_time) {
  return (printout_type == 1 ? laserjet_setup() : "") +
         report_title(date_time, "Trace Test           ") + funding_unlimited() +
         lane_miles(4, false) + cost_table_heading({10, 20, 30}) +
         first_year_row(3, "2025", "50", "0", "6.5") +
         // 27 / 4 = 6.75 prints 6.8; .125 over 2 lane-miles
         year_row(3, "2026", "0", "50", "6.8", "0.1", "0.1", "2", ".062", {"0.1", "0.0", "0.0"}) +
         total_rows(3, "1", "0.1", "0.1", "2", ".062", {"2", "0", "0"}) + definitions() +
         distribution({"0.0", "0.0", "0.0", "0.0", "0.0", "50.0", "0.0", "50.0", "0.0", "0.0"},
                      "6.75") +
         tiny_policy_block() + end_record(printout_type);
}

const std::string kTraceEntries = "y\n3\n1\n2\n3";  // then the pause after the list

std::vector<std::string> replies(std::initializer_list<std::string> list) {
  std::vector<std::string> v;
  for (const std::string& s : list) {
    std::size_t start = 0, end;
    while ((end = s.find('\n', start)) != std::string::npos) {
      v.push_back(s.substr(start, end - start));
      start = end + 1;
    }
    v.push_back(s.substr(start));
  }
  return v;
}

TEST(WaysBack, KeepGoesBackToTheTraceFileListWithTheFilesThatOpened) {
  TempDir dir;
  write_trace_network(dir, " 1", "tr");
  Changes changes;
  RunResult r =
      run_and_diff(dir,
                   replies({"", "", "", "", kTraceEntries, "",
                            // Enter for the rest; after the stop an unknown reply, then keep
                            "", "", "", "", "", "", "", "", "", "", "", "", "x", "k",
                            // the list again, then every later question again
                            "", "", "", "", "", "", "", "", "", "", "", "", ""}),
                   changes);
  EXPECT_EQ(r.status, 0);
  EXPECT_TEXT(introduction() + secondary_data_question('N') + printout_type_question(1) +
                  date_time_question('N') + trace_question('N') + trace_entries(3) +
                  trace_file_list({"trace.1", "trace.2", "trace.3"}) +
                  later_questions(1, "tr       ") + recovery_question(3, 1) +
                  trace_file_list({"trace.1"}) + later_questions(1, "tr       ") +
                  year_message(2, 2) + year_message_cleared() +
                  closing_list("tr-u.out    ", "tr-u.res    ", "NA          ", "NA          ",
                               "0.0", "50.0") +
                  done_running(),
              r.console);

  Files expected;
  expected["tr-u.out"] = trace_run_report(1, "");
  // The record holds both passes through the questions.
  expected["tr-u.res"] = echo::secondary_data('N') + echo::printout_type(1) + echo::date_time('N') +
                         echo::trace('Y') + later_echoes(1) + later_echoes(1) + end_record(1);
  // Only the trace file of the kept entry, written once, from the second pass.
  expected["trace.1"] = trace_heading_short(1) + " 2  1    6    2.0   1    1   10    1\n";
  expected["data/default.dat"] = lines({"", "N", " 1"});
  expected["data/default2.dat"] = saved_answers(
      {"1", "N",    "Y", "N", "force.txt   ", "N", "  2.00", " 1", "N", "3", "tr       ",
       "N", "   1", "N", "N", "    5.",       "N", "N",      "N",  "N"});
  expect_files(changes.written, expected);
  EXPECT_TRUE(changes.deleted.empty());
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "trace.2"));
}

TEST(WaysBack, ReenterDeletesTheTraceFilesAndOffersThisRunsAnswersAsDefaults) {
  TempDir dir;
  write_trace_network(dir, " 3", "xx");
  Changes changes;
  RunResult r =
      run_and_diff(dir,
                   replies({"", "",
                            // printout type 2, the date and time, three traces
                            "2", "y", kTraceEntries, "",
                            // 1 year, the scores file tr
                            "", "1", "", "", "tr", "", "", "", "", "", "", "",
                            // reenter, then Enter everywhere but no traces this time
                            "r", "", "", "n", "", "", "", "", "", "", "", "", "", "", "", ""}),
                   changes);
  EXPECT_EQ(r.status, 0);
  EXPECT_TEXT(introduction() + secondary_data_question('N') + printout_type_question(1) +
                  date_time_question('N') + trace_question('N') + trace_entries(3) +
                  trace_file_list({"trace.1", "trace.2", "trace.3"}) +
                  later_questions(3, "xx       ") + recovery_question(3, 1) +
                  lines({blanks(76), blanks(76), blanks(76)}) +
                  progress("Deleting Previous Entries") +
                  // the saved answers written before the trace files were opened
                  printout_type_question(2) + date_time_question('Y') + trace_question('Y') +
                  later_questions(1, "tr       ") + year_message(2, 2) + year_message_cleared() +
                  closing_list("tr-u.out    ", "tr-u.res    ", "NA          ", "NA          ",
                               "0.0", "50.0") +
                  done_running(),
              r.console);

  Files expected;
  expected["tr-u.out"] = trace_run_report(2, "12/ 8/2026 14:30");
  expected["tr-u.res"] = echo::secondary_data('N') + echo::printout_type(2) + echo::date_time('Y') +
                         echo::trace('Y') + later_echoes(3) + echo::printout_type(2) +
                         echo::date_time('Y') + echo::trace('N') + later_echoes(1) + end_record(2);
  expected["data/default.dat"] = lines({"", "N", " 1"});
  expected["data/default2.dat"] = saved_answers(
      {"2", "Y",    "N", "N", "force.txt   ", "N", "  2.00", " 1", "N", "3", "tr       ",
       "N", "   1", "N", "N", "    5.",       "N", "N",      "N",  "N"});
  // trace.1 was opened, then deleted: it is not left behind.
  expect_files(changes.written, expected);
  EXPECT_TRUE(changes.deleted.empty());
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "trace.2"));
}

}  // namespace
}  // namespace pavecast::scenarios
