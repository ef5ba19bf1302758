// Unlimited money on a names-form network: random order without asking,
// a forced repair without a budget (its repair number counted twice), three
// traced segments, the listings in their names layout, the dated title and
// the scores-file summary shown for "help".
#include <gtest/gtest.h>

#include "scenarios/tiny_network.h"

namespace pavecast::scenarios {
namespace {

const char kMain[] = "Main Street";
const char kMainFrom[] = "From Oak Ave to Elm St";
const char kCounty[] = "County Road 5";
const char kCountyFrom[] = "From Ridge Rd to River Rd";
const char kHarbor[] = "Harbor Drive";
const char kHarborFrom[] = "From Dock St to Pier 4";

// A line of the names-form segment list.
std::string names_list_line(int position, std::string_view highway, std::string_view description,
                            int segment, int type, int year, int cls, std::string_view miles,
                            std::string_view key) {
  return right(std::to_string(position), 4) + blanks(3) + pad(highway, 23) + " " +
         pad(description, 38) + " " + right(std::to_string(segment), 4) +
         right(std::to_string(type), 5) + right(std::to_string(year), 5) +
         right(std::to_string(cls), 6) + right(miles, 8) + right(key, 9) + "\n";
}

// A line of the names-form improvements file; `forced` adds the marker.
std::string names_repair_line(int number, std::string_view highway, std::string_view description,
                              int segment, int type, int year, int cls, int action,
                              std::string_view miles, std::string_view cost, std::string_view spent,
                              int mcd, int jurisdiction, bool forced = false) {
  return right(std::to_string(number), 4) + blanks(3) + pad(highway, 23) + " " +
         pad(description, 38) + " " + right(std::to_string(segment), 4) +
         right(std::to_string(type), 4) + right(std::to_string(year), 5) +
         right(std::to_string(cls), 6) + right(std::to_string(action), 5) + right(miles, 9) +
         right(cost, 7) + right(spent, 8) + right(std::to_string(mcd), 4) +
         right(std::to_string(jurisdiction), 3) + (forced ? "    Yes" : "") + "\n";
}

// A trace line: year, type, class, lane-miles, original and current
// segment, last repair and its count; the end-of-year pass of forced
// repairs adds a marker.
std::string trace_line(int year, int type, int cls, std::string_view miles, int original,
                       int current, int last, int count, bool forced = false) {
  return right(std::to_string(year), 2) + right(std::to_string(type), 3) +
         right(std::to_string(cls), 5) + right(miles, 7) + right(std::to_string(original), 4) +
         right(std::to_string(current), 5) + right(std::to_string(last), 5) +
         right(std::to_string(count), 5) + (forced ? " Forced" : "") + "\n";
}

// 2025, names form, 6 lane-miles: 1 ASPH 4 x 3.0, 2 ASPH 7 x 2.0, 3 CONC 2 x 1.0.
// Seg 2 is forced in year index 2; segments 1, 3 and 2 are traced.
TEST(NamesAndTraces, UnlimitedMoneyWithAForcedRepairTracesAndNamesListings) {
  TempDir dir;
  write_tiny_parameters(dir);
  dir.write("data/default2.dat",
            saved_answers({"1", "Y",    "N", "N", "force.txt", "N", "  2.00", " 2", "N", "3", "nm",
                           "N", "   1", "N", "N", "  5.00",    "N", "N",      "Y",  "N"}));
  dir.write("roads/nm", lines({"2025 NAMES", "Names Network", "ASPH"}) +
                            names_segment(" 4", "3.00", "1234", "1", kMain, kMainFrom) +
                            names_segment(" 7", "2.00", "2001", "2", kCounty, kCountyFrom) +
                            lines({"", "CONC"}) +
                            names_segment(" 2", "1.00", "3002", "3", kHarbor, kHarborFrom) +
                            lines({""}));
  dir.write("fix.dat", lines({" 2   2"}));
  // Keys: year 2 .3 .2 .9, year 3 .6 .5 .4.
  dir.write("data/random.dat", lines({".30000", ".20000", ".90000", ".60000", ".50000", ".40000"}));

  Changes changes;
  RunResult r = run_and_diff(dir,
                             {"", "", "", "",
                              // trace three segments, 1, 3 and 2, then the pause after the list
                              "y", "3", "1", "3", "2", "",
                              // forced repairs from fix.dat; the years and no budget kept
                              "y", "fix.dat", "", "", "",
                              // the summary of the default scores file, then Enter for it
                              "help", "", "", "", "", "", "", "", "", ""},
                             changes);
  EXPECT_EQ(r.status, 0);
  EXPECT_TEXT(
      introduction() + secondary_data_question('N') + printout_type_question(1) +
          date_time_question('Y') + trace_question('N') + trace_entries(3) +
          trace_file_list({"trace.1", "trace.3", "trace.2"}) + force_fix_question('N') +
          force_fix_file_prompt("force.txt   ") + years_question(2) + dollars_question('N') +
          repetition_question('N') + reading_rates_and_matrices() + scores_question("nm       ") +
          progress("Calculating") +
          scores_summary({"0.", "1.", "0.", "3.", "0.", "0.", "2.", "0.", "0.", "0."}, "6.") +
          scores_question("nm       ") + split_question('N') + randomize_question('N') +
          traffic_question('N') + reconstruct_question('N') + final_conditions_question('N') +
          print_question('N') + auxiliary_question('Y') + progress("Reading Data") +
          year_message(2, 3) + year_message(3, 3) + year_message_cleared() +
          closing_list("nm-u.out    ", "nm-u.res    ", "nm-u.scr    ", "nm-u.rep    ", "0.0",
                       "0.0") +
          done_running(),
      r.console);

  Files expected;
  // Year 2, keys .3 .2 .9: seg 2 is held for its forced repair; seg 1
  // (class 4) gets an overlay for .75; seg 3 (class 2) is rebuilt for .5 and
  // becomes ASPH; at the end of the year seg 2 (class 7) is sealed for
  // .125 as repair 4, the year's pass and the budget check each counting it.
  // Year 3, keys .6 .5 .4: segs 3 and 2 deteriorate; seg 1 (7) is sealed
  // for .1875.
  expected["nm-u.out"] =
      laserjet_setup() + report_title("12/ 8/2026 14:30", "Names Network        ") +
      funding_unlimited() + lane_miles(6, true) + cost_table_heading({10, 20, 30}) +
      // 4 of 6 lane-miles poor: 66.67 prints 67, fair 0; 28 / 6
      first_year_row(3, "2025", "67", "0", "4.7") +
      // 47 / 6; 1.375 over 6 lane-miles; the overlay's .75 prints 0.8
      year_row(3, "2026", "0", "0", "7.8", "1.4", "1.4", "6", ".229", {"0.1", "0.8", "0.5"}) +
      // 48.75 / 6; 1.5625 / 2; .1875 over 3 lane-miles = .0625 prints .062
      year_row(3, "2027", "0", "0", "8.1", "0.2", "0.8", "3", ".062", {"0.2", "0.0", "0.0"}) +
      total_rows(3, "2", "1.6", "0.8", "9", ".174", {"5", "3", "1"}) + definitions() +
      // 8.125 prints 8.12
      distribution({"0.0", "0.0", "0.0", "0.0", "0.0", "0.0", "0.0", "83.3", "0.0", "16.7"},
                   "8.12") +
      tiny_policy_block() + end_record(1);
  expected["nm-u.res"] =
      echo::secondary_data('N') + echo::printout_type(1) + echo::date_time('Y') + echo::trace('Y') +
      echo::force_fix('Y') + echo::force_fix_file("fix.dat     ") + echo::years(2, 2) +
      echo::dollars('N') + echo::repetition('N') + echo::split('N') + echo::randomize('N') +
      echo::traffic('N') + echo::reconstruct('N') + echo::scores("nm       ") +
      echo::final_conditions('N') + echo::print('N') + echo::auxiliary('Y') + end_record(1);
  // Keys shown as key x 10000.
  expected["nm-u.scr"] = segment_list_heading_names() + year_start() +
                         names_list_line(1, kCounty, kCountyFrom, 2, 1, 2, 7, "2.0", "2000.") +
                         names_list_line(2, kMain, kMainFrom, 1, 1, 2, 4, "3.0", "3000.") +
                         names_list_line(3, kHarbor, kHarborFrom, 3, 2, 2, 2, "1.0", "9000.") +
                         year_start() +
                         names_list_line(1, kHarbor, kHarborFrom, 3, 1, 3, 10, "1.0", "4000.") +
                         names_list_line(2, kCounty, kCountyFrom, 2, 1, 3, 8, "2.0", "5000.") +
                         names_list_line(3, kMain, kMainFrom, 1, 1, 3, 7, "3.0", "6000.");
  // The names layout shows the matrix's action for the class.
  expected["nm-u.rep"] =
      improvements_heading_names(2025) + year_start() +
      names_repair_line(1, kMain, kMainFrom, 1, 1, 2, 4, 20, "3.0", "0.750", "0.750", 1234, 1) +
      names_repair_line(2, kHarbor, kHarborFrom, 3, 2, 2, 2, 30, "1.0", "0.500", "1.250", 3002, 3) +
      names_repair_line(4, kCounty, kCountyFrom, 2, 1, 2, 7, 10, "2.0", "0.125", "1.375", 2001, 2,
                        true) +
      year_start() +
      names_repair_line(1, kMain, kMainFrom, 1, 1, 3, 7, 10, "3.0", "0.188", "0.188", 1234, 1);
  expected["trace.1"] = trace_heading_names(kMain, kMainFrom) +
                        trace_line(2, 1, 7, "3.0", 1, 1, 20, 1) +
                        trace_line(3, 1, 8, "3.0", 1, 1, 10, 1);
  expected["trace.3"] = trace_heading_names(kHarbor, kHarborFrom) +
                        trace_line(2, 1, 10, "1.0", 3, 3, 30, 1) +
                        trace_line(3, 1, 10, "1.0", 3, 3, 30, 1);
  expected["trace.2"] = trace_heading_names(kCounty, kCountyFrom) +
                        trace_line(2, 1, 8, "2.0", 2, 2, 10, 1, true) +
                        trace_line(3, 1, 8, "2.0", 2, 2, 10, 1);
  expected["data/default.dat"] = lines({"", "N", " 1"});
  // Without a budget the saved order stays 3.
  expected["data/default2.dat"] = saved_answers(
      {"1", "Y",    "Y", "Y", "fix.dat     ", "N", "  2.00", " 2", "N", "3", "nm       ",
       "N", "   1", "N", "N", "    5.",       "N", "N",      "Y",  "N"});
  expect_files(changes.written, expected);
  EXPECT_TRUE(changes.deleted.empty());
}

}  // namespace
}  // namespace pavecast::scenarios
