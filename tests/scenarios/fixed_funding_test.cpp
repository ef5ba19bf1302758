// A fixed budget under worst-first order on a five-segment network, then a
// second run that starts from the first run's final conditions with
// variable funding under best-first order. Every number below is worked by
// hand from the tiny parameters (tiny_network.h).
#include <gtest/gtest.h>

#include "scenarios/tiny_network.h"
#include "support/gcc_bugs.h"

namespace pavecast::scenarios {
namespace {

// 2025, five segments, 20 lane-miles:
//   1 ASPH 8 x 5.0   2 ASPH 4 x 4.0   3 ASPH 6 x 2.0   4 CONC 2 x 1.0   5 CONC 5 x 8.0
void write_tiny_network(const TempDir& dir) {
  write_tiny_parameters(dir);
  dir.write(
      "data/default2.dat",
      saved_answers({"1",    "N", "N",    "N", "force.txt", "Y",      "  9.99", " 5", "N", "1",
                     "tiny", "N", "   1", "N", "N",         "  5.00", "N",      "N",  "N", "N"}));
  dir.write("roads/tiny",
            lines({"2025 SHORT", "Tiny Test Network", "ASPH", " 8   5.00", " 4   4.00", " 6   2.00",
                   "", "CONC", " 2   1.00", " 5   8.00", ""}));
}

// The first run: 2 years at $2M, worst first, final conditions and
// auxiliary files. Answers: years 2, $2 (typed without a point), order 3,
// final conditions y, auxiliary files "yes", Enter elsewhere.
const std::vector<std::string> kFirstReplies = {"", "", "", "", "", "", "2", "", "2", "",   "3",
                                                "", "", "", "", "", "", "y", "", "",  "yes"};

// Year 2 (funds 2.0), taken by the whole score: seg 4 (2) is rebuilt for
// 0.5 and becomes ASPH; seg 2 (4) gets an overlay for 1.0; seg 5 (5) would
// cost 2.0 for its overlay with 0.5 left, so 1.0 lane-mile of it (new seg 6)
// is overlaid for 0.5 and the rest deteriorates with seg 3 (6, split: no
// more repairs) and seg 1 (8, no action).
// Year 3 (funds 2.0): seg 5 (4.5) overlay 1.5, seg 3 (5.5) seal 0.125,
// seg 2 (7) seal 0.25; seg 1, 6 and 4 have no action for their class.
std::string first_run_report() {
  return laserjet_setup() + report_title("", "Tiny Test Network    ") +
         funding_fixed("  2.00", "Worst  First") + lane_miles(20, false) +
         cost_table_heading({10, 20, 30}) +
         // loaded: 13 of 20 lane-miles below 6, 15 at 6 or below; 110 / 20
         first_year_row(3, "2025", "65", "10", "5.5") +
         // 6 poor, 8 at or below 6; 129.5 / 20; 2.0 spent over 7 lane-miles
         year_row(3, "2026", "30", "10", "6.5", "2.0", "2.0", "7", ".286", {"0.0", "1.5", "0.5"}) +
         // 150.25 / 20; 1.875 over 12 lane-miles (.15625 prints .156)
         year_row(3, "2027", "0", "0", "7.5", "1.9", "1.9", "12", ".156", {"0.4", "1.5", "0.0"}) +
         total_rows(3, "2", "3.9", "1.9", "19", ".204", {"6", "12", "1"}) + definitions() +
         distribution({"0.0", "0.0", "0.0", "0.0", "0.0", "0.0", "35.0", "60.0", "0.0", "5.0"},
                      "7.51") +
         tiny_policy_block() + end_record(1);
}

std::string first_run_inputs(char print) {
  return echo::secondary_data('N') + echo::printout_type(1) + echo::date_time('N') +
         echo::trace('N') + echo::force_fix('N') + echo::years(5, 2) + echo::dollars('Y') +
         echo::fixed_funding("  2.0") + echo::repair_order(3) + echo::repetition('N') +
         echo::split('N') + echo::randomize('N') + echo::traffic('N') + echo::reconstruct('N') +
         echo::scores("tiny     ") + echo::final_conditions('Y') + echo::print(print) +
         echo::auxiliary('Y') + echo::final_conditions_name("tiny.prd    ") + end_record(1);
}

std::string first_run_dialogue(char print) {
  return introduction() + secondary_data_question('N') + printout_type_question(1) +
         date_time_question('N') + trace_question('N') + force_fix_question('N') +
         years_question(5) + dollars_question('Y') + funding_amount_question("  9.99") +
         fixed_funding_confirmation("  2.00") + repair_order_menu(1) + repetition_question('N') +
         reading_rates_and_matrices() + scores_question("tiny     ") + split_question('N') +
         randomize_question('N') + traffic_question('N') + reconstruct_question('N') +
         final_conditions_question('N') + final_conditions_name_prompt("tiny.prd    ") +
         print_question(print) + auxiliary_question('N') + progress("Reading Data") +
         year_message(2, 5) + year_message(3, 6) + year_message_cleared() +
         writing_final_conditions("tiny.prd    ");
}

std::string first_run_closing() {
  return closing_list("tiny-c.out  ", "tiny-c.res  ", "tiny-c.scr  ", "tiny-c.rep  ", "0.0",
                      "0.0") +
         done_running();
}

TEST(FixedFunding, WorstFirstWithASplitListingsAndFinalConditionsThenASecondRunFromThem) {
  TempDir dir;
  write_tiny_network(dir);

  Changes first;
  RunResult r = run_and_diff(dir, kFirstReplies, first);
  EXPECT_EQ(r.status, 0);
  EXPECT_TEXT(first_run_dialogue('N') + first_run_closing(), r.console);

  Files expected;
  expected["tiny-c.out"] = first_run_report();
  expected["tiny-c.res"] = first_run_inputs('N');
  expected["tiny-c.scr"] =
      segment_list_heading_short() + year_start() + list_line(1, 4, 2, 2, 2, "1.0", "2.") +
      list_line(2, 2, 1, 2, 4, "4.0", "4.") + list_line(3, 5, 2, 2, 5, "8.0", "5.") +
      // the rest of seg 5 after the split, taken again in the same year
      list_line(4, 5, 2, 2, 5, "6.0", "5.") + list_line(5, 3, 1, 2, 6, "2.0", "6.") +
      list_line(6, 1, 1, 2, 8, "5.0", "8.") + year_start() +
      // keys 4.5, 5.5 and 7.5 print to the even whole number
      list_line(1, 5, 2, 3, 5, "6.0", "4.") + list_line(2, 3, 1, 3, 6, "2.0", "6.") +
      list_line(3, 2, 1, 3, 7, "4.0", "7.") + list_line(4, 1, 1, 3, 8, "5.0", "8.") +
      list_line(5, 6, 2, 3, 8, "2.0", "8.") + list_line(6, 4, 1, 3, 10, "1.0", "10.");
  expected["tiny-c.rep"] = improvements_heading_short(2025) + year_start() +
                           repair_line(1, 4, 2, 2, 2, 30, "1.0", "0.500", "0.500") +
                           repair_line(2, 2, 1, 2, 4, 20, "4.0", "1.000", "1.500") +
                           repair_line(3, 6, 2, 2, 5, 20, "2.0", "0.500", "2.000") + year_start() +
                           repair_line(1, 5, 2, 3, 5, 20, "6.0", "1.500", "1.500") +
                           repair_line(2, 3, 1, 3, 6, 10, "2.0", "0.125", "1.625") +
                           repair_line(3, 2, 1, 3, 7, 10, "4.0", "0.250", "1.875");
  // Classes at 0.5: 6.5 is written as 7, 9.75 as 10; seg 4 is now ASPH.
  const std::string terminator = blanks(76);
  expected["tiny.prd"] = lines({"2027 SHORT", "Tiny Test Network    ", "ASPH    ", " 7    5.0",
                                " 8    4.0", " 7    2.0", "10    1.0", terminator, "CONC    ",
                                " 8    6.0", " 8    2.0", terminator});
  expected["data/default.dat"] = lines({"", "N", " 1"});
  expected["data/default2.dat"] = saved_answers(
      {"1", "N",    "N", "N", "force.txt   ", "Y", "  2.00", " 2", "N", "3", "tiny     ",
       "N", "   1", "N", "N", "    5.",       "Y", "N",      "Y",  "N"});
  expect_files(first.written, expected);
  EXPECT_TRUE(first.deleted.empty());

  // The analyst starts the next run from the final conditions: the
  // defaults are the first run's answers. Years 1, variable funding (-1),
  // order 4, the scores file tiny.prd, no final conditions or auxiliary
  // files. Funding file: 0.375 for the one year.
  dir.write("roads/tiny.prd", dir.read("tiny.prd"));
  dir.write("data/funding.dat", lines({" 1  0.375"}));
  Changes second;
  r = run_and_diff(dir, {"",  "", "",         "", "", "", "1", "",  "-1", "",
                         "4", "", "tiny.prd", "", "", "", "",  "n", "",   "n"},
                   second);
  EXPECT_EQ(r.status, 0);
  EXPECT_TEXT(introduction() + secondary_data_question('N') + printout_type_question(1) +
                  date_time_question('N') + trace_question('N') + force_fix_question('N') +
                  years_question(2) + dollars_question('Y') + funding_amount_question("  2.00") +
                  variable_funding_confirmation() + repair_order_menu(3) +
                  repetition_question('N') + reading_rates_and_matrices() +
                  scores_question("tiny     ") + split_question('N') + randomize_question('N') +
                  traffic_question('N') + reconstruct_question('N') +
                  final_conditions_question('Y') + print_question('N') + auxiliary_question('Y') +
                  progress("Reading Data") + year_message(2, 6) + year_message_cleared() +
                  closing_list("tiny-pc.out ", "tiny-pc.res ", "NA          ", "NA          ",
                               "0.0", "0.0") +
                  done_running(),
              r.console);

  expected.clear();
  // Best first from the whole scores 10, 8, 8, 8, 7, 7 with 0.375: segs 4,
  // 2, 5 and 6 have no action for their class; seg 1 is sealed for 0.3125;
  // 1.0 of seg 3's 2.0 lane-miles (new seg 7) is sealed for the 0.0625
  // left, and the rest of seg 3 deteriorates to 6.5.
  expected["tiny-pc.out"] =
      laserjet_setup() + report_title("", "Tiny Test Network    ") +
      funding_variable(" Best  First") + lane_miles(20, false) + cost_table_heading({10, 20, 30}) +
      // 155 / 20 = 7.75 prints 7.8
      first_year_row(3, "2027", "0", "0", "7.8") +
      // 156.25 / 20; .375 over 6 lane-miles = .0625 prints .062
      year_row(3, "2028", "0", "0", "7.8", "0.4", "0.4", "6", ".062", {"0.4", "0.0", "0.0"}) +
      total_rows(3, "1", "0.4", "0.4", "6", ".062", {"6", "0", "0"}) + definitions() +
      distribution({"0.0", "0.0", "0.0", "0.0", "0.0", "0.0", "5.0", "90.0", "0.0", "5.0"},
                   "7.81") +
      tiny_policy_block() + end_record(1);
  expected["tiny-pc.res"] =
      echo::secondary_data('N') + echo::printout_type(1) + echo::date_time('N') + echo::trace('N') +
      echo::force_fix('N') + echo::years(2, 1) + echo::dollars('Y') + echo::repair_order(4) +
      echo::repetition('N') + echo::split('N') + echo::randomize('N') + echo::traffic('N') +
      echo::reconstruct('N') + echo::scores("tiny.prd ") + echo::final_conditions('N') +
      echo::print('N') + echo::auxiliary('N') + end_record(1);
  expected["data/default2.dat"] = saved_answers(
      {"1", "N",    "N", "N", "force.txt   ", "Y", " -1.00", " 1", "N", "4", "tiny.prd ",
       "N", "   1", "N", "N", "    5.",       "N", "N",      "N",  "N"});
  expect_files(second.written, expected);
  EXPECT_TRUE(second.deleted.empty());
}

// The first run again, answering y to printing, with printer port `port`
// standing for the file printer/lp(port - 1) and data\error.dat holding
// `status`. Returns what the run wrote.
PAVECAST_GCC_BUG_105651_BEGIN
Changes printing_run(const TempDir& dir, const TempDir& printer, char port, char status,
                     RunResult& r, bool wait_for_enter = false) {
  write_tiny_network(dir);
  dir.write("data/printer.def", std::string(1, port) + "\n");
  dir.write("data/error.dat", std::string(1, status) + "\n");
  std::vector<std::string> replies = kFirstReplies;
  replies[19] = "y";
  if (wait_for_enter) replies.push_back("");
  Changes changes;
  r = run_and_diff(dir, replies, changes, StartTime{2026, 12, 8, 14, 30},
                   (printer.path() / "lp").string());
  return changes;
}
PAVECAST_GCC_BUG_105651_END

// The report, then the completed inputs record, reach the printer; the
// command file is gone afterwards.
TEST(Printing, TheReportAndTheInputsRecordGoToThePrinterPort) {
  TempDir dir, printer;
  printer.write("lp0", "");
  RunResult r;
  Changes changes = printing_run(dir, printer, '1', '0', r);
  EXPECT_EQ(r.status, 0);
  EXPECT_TEXT(first_run_dialogue('N') + first_run_closing(), r.console);
  EXPECT_EQ(printer.read("lp0"), first_run_report() + first_run_inputs('Y'));
  EXPECT_EQ(changes.written.at("tiny-c.res"), first_run_inputs('Y'));
  EXPECT_EQ(changes.written.at("tiny-c.out"), first_run_report());
  EXPECT_FALSE(dir.exists("temptemp.bat"));
  EXPECT_FALSE(dir.exists("userdata.tmp"));
}

// Port 2 has no device: each failed copy is followed at once by the alert.
TEST(Printing, AFailedCopyToThePrinterAlertsAfterEachCopy) {
  TempDir dir, printer;
  printer.write("lp0", "");
  RunResult r;
  Changes changes = printing_run(dir, printer, '2', '0', r);
  EXPECT_EQ(r.status, 0);
  EXPECT_TEXT(first_run_dialogue('N') + printer_alert() + printer_alert() + first_run_closing(),
              r.console);
  EXPECT_EQ(printer.read("lp0"), "");
  EXPECT_EQ(changes.written.at("tiny-c.res"), first_run_inputs('Y'));
  EXPECT_FALSE(dir.exists("temptemp.bat"));
}

// data\error.dat holding 1: nothing is printed, the analyst is told and
// waits for Enter; the inputs record is still completed and kept, and the
// alert follows the closing list.
TEST(Printing, APrinterProblemSkipsOnlyThePrinting) {
  TempDir dir, printer;
  printer.write("lp0", "");
  RunResult r;
  Changes changes = printing_run(dir, printer, '1', '1', r, true);
  EXPECT_EQ(r.status, 0);
  EXPECT_TEXT(first_run_dialogue('N') + progress("There is a problem with the printer. ") +
                  "The program will terminate when the <Enter> key is pressed.\n" + " " + kEsc +
                  "[33;40m\n" + first_run_closing() + printer_alert(),
              r.console);
  EXPECT_EQ(printer.read("lp0"), "");
  EXPECT_EQ(changes.written.at("tiny-c.res"), first_run_inputs('Y'));
  EXPECT_EQ(changes.written.at("tiny-c.out"), first_run_report());
  EXPECT_FALSE(dir.exists("userdata.tmp"));
  EXPECT_FALSE(dir.exists("temptemp.bat"));
}

}  // namespace
}  // namespace pavecast::scenarios
