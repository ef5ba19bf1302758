// Random order under a budget with traffic growth, random reconstruction
// and a forced repair; priority order with the priorities edited, the
// repetition limit changed, scores randomised and the network subdivided.
// Numbers worked by hand from the tiny parameters (tiny_network.h).
#include <gtest/gtest.h>

#include "scenarios/tiny_network.h"

namespace pavecast::scenarios {
namespace {

// data\random.dat: the given numbers, then filler up to 500 lines.
std::string random_numbers(std::initializer_list<std::string_view> first) {
  std::string s;
  int n = 0;
  for (std::string_view r : first) {
    s += std::string(r) + "\n";
    ++n;
  }
  for (; n < 500; ++n) s += ".99999\n";
  return s;
}

// 2025, four segments, 10 lane-miles: 1 ASPH 5 x 2, 2 ASPH 3 x 2, 3 ASPH 8 x 4,
// 4 CONC 6 x 2. Seg 2 is forced in year index 3. Traffic grows 25 % then
// 50 %: the rates are multiplied by 1.1875 in year 2 and by 1.375 in year 3.
// Reconstruction at 50 % draws .4, .6, .7, .2 in turn.
TEST(RepairOrders, RandomOrderWithTrafficReconstructionAndAForcedRepairUnderABudget) {
  TempDir dir;
  write_tiny_parameters(dir);
  dir.write("data/default2.dat",
            saved_answers({"1", "N",    "N", "N", "force.txt", "Y", "  2.00", " 2", "N", "1", "rnd",
                           "N", "   1", "N", "N", "  5.00",    "N", "N",      "N",  "N"}));
  dir.write("roads/rnd", lines({"2025", "Random Test", "ASPH", " 5   2.00", " 3   2.00",
                                " 8   4.00", "", "CONC", " 6   2.00", ""}));
  dir.write("force.txt", lines({" 3   2"}));
  dir.write("data/vmt-inc.dat", lines({"25.0", "50.0"}));
  // Keys: year 2 from lines 1-4, year 3 from lines 5-8.
  dir.write("data/random.dat", random_numbers({".40000", ".60000", ".70000", ".20000", ".30000",
                                               ".80000", ".50000", ".10000"}));

  Changes changes;
  RunResult r = run_and_diff(dir, {"", "", "", "", "", "y", "",  "",    "", "", "",
                                   "", "", "", "", "", "y", "y", "50.", "", "", ""},
                             changes);
  EXPECT_EQ(r.status, 0);
  EXPECT_TEXT(introduction() + secondary_data_question('N') + printout_type_question(1) +
                  date_time_question('N') + trace_question('N') + force_fix_question('N') +
                  force_fix_file_prompt("force.txt   ") + years_question(2) +
                  dollars_question('Y') + funding_amount_question("  2.00") +
                  fixed_funding_confirmation("  2.00") + repair_order_menu(1) +
                  repetition_question('N') + reading_rates_and_matrices() +
                  scores_question("rnd      ") + split_question('N') + randomize_question('N') +
                  traffic_question('N') + reconstruct_question('N') + probability_prompt(" 5.0") +
                  final_conditions_question('N') + print_question('N') + auxiliary_question('N') +
                  progress("Reading Data") + year_message(2, 4) + year_message(3, 4) +
                  year_message_cleared() +
                  closing_list("rnd-c.out   ", "rnd-c.res   ", "NA          ", "NA          ",
                               "0.0", "0.0") +
                  done_running(),
              r.console);

  Files expected;
  // Year 2 (funds 2.0), keys .4 .6 .7 .2: seg 4 (CONC 6) draws .4 and is
  // rebuilt for 1.0 instead of sealed; seg 1 (5) draws .6 and is sealed for
  // .125; seg 2 waits for its forced repair and loses 1.1875 (to 1.8125);
  // seg 3 (8) has no action and loses .59375.
  // Year 3 (funds .875 + 2.0, 1.0 reserved for seg 2), keys .3 .8 .5 .1:
  // seg 4 loses .408203125; seg 1 (6) draws .7 and is sealed; seg 3 (7.40625)
  // is sealed; at the end of the year seg 2 draws .2 and is rebuilt from the
  // reserved money, its cost not counted twice.
  expected["rnd-c.out"] =
      laserjet_setup() + report_title("", "Random Test          ") +
      funding_fixed("  2.00", "Random Order") + lane_miles(10, true) +
      cost_table_heading({10, 20, 30}) + first_year_row(3, "2025", "40", "20", "6.0") +
      // 65.25 / 10; 1.125 over 4 lane-miles
      year_row(3, "2026", "20", "20", "6.5", "1.1", "1.1", "4", ".281", {"0.1", "0.0", "1.0"}) +
      // 86.80859375 / 10; 1.375 over 8; 2.5 / 2 = 1.25 prints 1.2
      year_row(3, "2027", "0", "0", "8.7", "1.4", "1.2", "8", ".172", {"0.4", "0.0", "1.0"}) +
      total_rows(3, "2", "2.5", "1.2", "12", ".208", {"8", "0", "4"}) + definitions() +
      distribution({"0.0", "0.0", "0.0", "0.0", "0.0", "0.0", "20.0", "40.0", "0.0", "40.0"},
                   "8.68") +
      // the rates after two years of growth: x 1.6328125
      policy_heading("ASPH    ", "CONC    ", "        ") +
      policy_row(10, 2, "Seal", "0.125", 10, {"0.41", "0.41"}) +
      policy_row(20, 1, "Overlay", "0.500", 9, {"0.41", "0.41"}) +
      policy_row(30, 9, "Rebuild", "1.000", 8, {"0.82", "0.41"}) + rates_row(7, {"0.82", "0.41"}) +
      rates_row(6, {"0.82", "0.82"}) + rates_row(5, {"1.22", "0.82"}) +
      rates_row(4, {"1.22", "0.82"}) + rates_row(3, {"1.63", "0.82"}) +
      rates_row(2, {"1.63", "1.22"}) + rates_row(1, {"1.63", "1.22"}) + end_record(1);
  expected["rnd-c.res"] =
      echo::secondary_data('N') + echo::printout_type(1) + echo::date_time('N') + echo::trace('N') +
      echo::force_fix('Y') + echo::force_fix_file("force.txt   ") + echo::years(2, 2) +
      echo::dollars('Y') + echo::fixed_funding("  2.0") + echo::repair_order(1) +
      echo::repetition('N') + echo::split('N') + echo::randomize('N') + echo::traffic('Y') +
      echo::reconstruct('Y') + echo::probability("50.0") + echo::scores("rnd      ") +
      echo::final_conditions('N') + echo::print('N') + echo::auxiliary('N') + end_record(1);
  expected["data/default.dat"] = lines({"", "N", " 1"});
  expected["data/default2.dat"] = saved_answers(
      {"1", "N",    "N", "Y", "force.txt   ", "Y", "  2.00", " 2", "N", "1", "rnd      ",
       "N", "   1", "N", "Y", "   50.",       "N", "N",      "N",  "Y"});
  expect_files(changes.written, expected);
  EXPECT_TRUE(changes.deleted.empty());
}

// 2025, one ASPH line (4 x 4.00) and one CONC line (6 x 2.00), split in two
// and randomised with .25 .75 .5 .125: segs 1-2 ASPH 3.75 and 4.25 x 2.0,
// segs 3-4 CONC 6.0 and 5.625 x 1.0. The priorities of classes 4 and 6 are
// edited to 200 and 10; the overlay may be applied twice.
TEST(RepairOrders, PriorityOrderWithEditedPrioritiesRandomisedScoresAndSubdivision) {
  TempDir dir;
  write_tiny_parameters(dir);
  dir.write("data/default2.dat",
            saved_answers({"1", "N",    "N", "N", "force.txt", "Y", "  1.00", " 1", "N", "2", "pr",
                           "N", "   4", "N", "N", "  5.00",    "N", "N",      "N",  "N"}));
  dir.write("data/priority.dat", lines({"100", "100", " 50", " 50", " 20", "  0", "  5", "  1"}));
  dir.write("roads/pr", lines({"2025 SHORT", "Priority Test", "ASPH", " 4   4.00", "", "CONC",
                               " 6   2.00", ""}));
  dir.write("data/random.dat", lines({".25000", ".75000", ".50000", ".12500"}));

  Changes changes;
  RunResult r = run_and_diff(dir,
                             {"", "", "3", "y", "", "", "", "", "", "",
                              // order 2, then the priorities of classes 1 to 8: Enter keeps a
                              // valid value, 0 counts as Enter, and Enter on class 6 (saved 0) is
                              // refused until 10 is typed
                              "", "", "", "", "200", "0", "", "10", "", "", "",
                              // change the limits: the overlay (the one changeable action) to 2
                              "y", "2",
                              // the scores file, split y by 2, randomise y
                              "", "y", "2", "y", "", "", "", "", ""},
                             changes, StartTime{2026, 3, 7, 9, 5});
  EXPECT_EQ(r.status, 0);
  const std::string priority_rows =
      kFooter + blanks(27) + " Road Score" + blanks(7) + "Priority\n" + blanks(27) + " ----------" +
      blanks(7) + "--------\n\n" +
      lines({blanks(33) + "1              100", blanks(33) + "2              100",
             blanks(33) + "3               50", blanks(33) + "4               50",
             blanks(33) + "5               20", blanks(33) + "6                0",
             blanks(33) + "7                5", blanks(33) + "8                1"}) +
      " Enter in the range of 1 to 999.   \n" + " " + kEsc + "[33;40m\n" +
      lines({"100", "100", " 50", "200", " 20", blanks(14), " 10", "  5", "  1"}) + kFooter +
      pad(" Are these values correct (y/n)? Y", 74) + "\n";
  EXPECT_TEXT(introduction() + secondary_data_question('N') + printout_type_question(1) +
                  date_time_question('N') + trace_question('N') + force_fix_question('N') +
                  years_question(1) + dollars_question('Y') + funding_amount_question("  1.00") +
                  fixed_funding_confirmation("  1.00") + repair_order_menu(2) + priority_rows +
                  repetition_question('N', true) + repetition_entry(20, "Overlay", "1") +
                  reading_rates_and_matrices() + scores_question("pr       ") +
                  split_question('N') + split_factor_prompt(4) + randomize_question('N') +
                  traffic_question('N') + reconstruct_question('N') +
                  final_conditions_question('N') + print_question('N') + auxiliary_question('N') +
                  progress("Reading Data") + year_message(2, 4) + year_message_cleared() +
                  closing_list("pr-c.out    ", "pr-c.res    ", "NA          ", "NA          ",
                               "16.7", "16.7") +
                  done_running(),
              r.console);

  Files expected;
  // Keys: .25/200, .75/200, .5/10, .125/10 (classes 4, 4, 6, 6). With 1.0:
  // segs 1 and 2 get overlays for .5 each; seg 4 (class 6) needs a seal
  // with nothing left: a piece of 0.0 lane-miles (seg 5) is sealed at no
  // cost, then seg 4 (key .0125) and seg 3 deteriorate by .5.
  expected["pr-c.out"] =
      report_title(" 3/ 7/2026  9:05", "Priority Test        ") +
      funding_fixed("  1.00", "  Priority  ") + lane_miles(6, false) +
      cost_table_heading({10, 20, 30}) +
      // loaded by the file scores: 4 of 6 below 6, all 6 at 6 or below;
      // the mean from the randomised scores, 27.625 / 6
      first_year_row(3, "2025", "67", "33", "4.6") +
      year_row(3, "2026", "17", "17", "6.4", "1.0", "1.0", "4", ".250", {"0.0", "1.0", "0.0"}) +
      total_rows(3, "1", "1.0", "1.0", "4", ".250", {"0", "4", "0"}) + definitions() +
      distribution({"0.0", "0.0", "0.0", "0.0", "16.7", "16.7", "66.7", "0.0", "0.0", "0.0"},
                   "6.44") +
      policy_heading("ASPH    ", "CONC    ", "        ") +
      policy_row(10, 2, "Seal", "0.125", 10, {"0.25", "0.25"}) +
      policy_row(20, 2, "Overlay", "0.500", 9, {"0.25", "0.25"}) +
      policy_row(30, 9, "Rebuild", "1.000", 8, {"0.50", "0.25"}) + rates_row(7, {"0.50", "0.25"}) +
      rates_row(6, {"0.50", "0.50"}) + rates_row(5, {"0.75", "0.50"}) +
      rates_row(4, {"0.75", "0.50"}) + rates_row(3, {"1.00", "0.50"}) +
      rates_row(2, {"1.00", "0.75"}) + rates_row(1, {"1.00", "0.75"}) + end_record(3);
  expected["pr-c.res"] =
      echo::secondary_data('N') + echo::printout_type(3) + echo::date_time('Y') + echo::trace('N') +
      echo::force_fix('N') + echo::years(1, 1) + echo::dollars('Y') + echo::fixed_funding("  1.0") +
      echo::repair_order(2) + echo::repetition('Y') + echo::split('Y') + echo::split_factor(2) +
      echo::randomize('Y') + echo::traffic('N') + echo::reconstruct('N') +
      echo::scores("pr       ") + echo::final_conditions('N') + echo::print('N') +
      echo::auxiliary('N') + priority_table({100, 100, 50, 200, 20, 10, 5, 1}) + end_record(3);
  expected["data/priority.dat"] = lines({"100", "100", " 50", "200", " 20", " 10", "  5", "  1"});
  expected["data/default.dat"] = lines({"", "N", " 1"});
  expected["data/default2.dat"] = saved_answers(
      {"3", "Y",    "N", "N", "force.txt   ", "Y", "  1.00", " 1", "Y", "2", "pr       ",
       "Y", "   2", "Y", "N", "    5.",       "N", "N",      "N",  "N"});
  expect_files(changes.written, expected);
  EXPECT_TRUE(changes.deleted.empty());
}

}  // namespace
}  // namespace pavecast::scenarios
