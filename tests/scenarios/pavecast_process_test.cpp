// The built program run as an analyst scripting runs would: a copy of the
// bundled example as the working directory, an answers file on standard
// input, the transcript on standard output, and the exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/scenario.h"

namespace pavecast::scenarios {
namespace {

namespace fs = std::filesystem;

std::string program_path() {
  if (const char* bin = std::getenv("PAVECAST_BIN")) return bin;
  return PAVECAST_BINARY_DIR "/pavecast";
}

struct ProcessResult {
  int status = -1;  // the exit status, or -1 when the program did not exit normally
  std::string transcript;
};

// Runs the program in `workdir` with `answers` on its standard input, no
// shell involved; the answers and the transcript live in `scratch`.
ProcessResult run_program_process(const fs::path& workdir, const fs::path& scratch,
                                  const std::string& answers) {
  const fs::path answers_file = scratch / "answers.txt";
  const fs::path transcript_file = scratch / "transcript.txt";
  std::ofstream(answers_file, std::ios::binary) << answers;
  const std::string program = program_path();

  pid_t pid = ::fork();
  if (pid == 0) {
    int in = ::open(answers_file.c_str(), O_RDONLY);
    int out = ::open(transcript_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
        ::chdir(workdir.c_str()) != 0)
      ::_exit(127);
    char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};
    ::execv(program.c_str(), argv);
    ::_exit(127);
  }
  ProcessResult result;
  int wstatus = 0;
  if (pid < 0 || ::waitpid(pid, &wstatus, 0) != pid) return result;
  if (WIFEXITED(wstatus)) result.status = WEXITSTATUS(wstatus);
  std::ifstream t(transcript_file, std::ios::binary);
  std::ostringstream s;
  s << t.rdbuf();
  result.transcript = s.str();
  return result;
}

// The example's own questions up to the scores file, with its saved answers
// as defaults (printout 1, 10 years, $40M, worst first, NET1, randomised).
std::string example_dialogue_to_scores(int saved_years) {
  return introduction() + secondary_data_question('N') + printout_type_question(1) +
         date_time_question('N') + trace_question('N') + force_fix_question('N') +
         years_question(saved_years) + dollars_question('Y') + funding_amount_question(" 40.00") +
         fixed_funding_confirmation(" 40.00") + repair_order_menu(3) + repetition_question('N') +
         reading_rates_and_matrices() + scores_question("NET1     ") + split_question('N') +
         randomize_question('Y') + traffic_question('N') + reconstruct_question('N') +
         final_conditions_question('N') + print_question('N') + auxiliary_question('Y') +
         progress("Reading Data");
}

// The analyst adds a two-segment network to the example and runs one year
// with the example's parameters: ACC 4 x 1.00 and PCC 6 x 0.50 lane-miles,
// randomised with the first two numbers of random.dat (.44888, .09800) to
// 3.94888 and 5.598. Worst first with $40M: the ACC segment (class 4) gets
// the mill and overlay (40, 0.600 per 2 lane-miles: 0.300) and becomes
// 7.94888; the PCC segment (class 6) the concrete repair (35, 0.400: 0.100)
// and becomes 8.598.
TEST(PavecastProcess, AnAnalystScriptsAOneYearRunOfTheirOwnNetwork) {
  TempDir dir, scratch;
  testing::copy_example(dir);
  dir.write("roads/pair",
            lines({"2025", "Two Segments", "ACC", " 4   1.00", "", "PCC", " 6   0.50", ""}));
  Files before = files_under(dir.path());

  ProcessResult r = run_program_process(
      dir.path(), scratch.path(),
      lines({"", "", "", "", "", "", "1", "", "", "", "", "", "pair", "", "", "", "", "", "", ""}));
  EXPECT_EQ(r.status, 0);
  EXPECT_TEXT(example_dialogue_to_scores(10) + year_message(2, 2) + year_message_cleared() +
                  closing_list("pair-c.out  ", "pair-c.res  ", "pair-c.scr  ", "pair-c.rep  ",
                               "0.0", "0.0") +
                  done_running(),
              r.transcript);

  Changes changes = changes_between(before, files_under(dir.path()));
  EXPECT_EQ(changes.deleted, std::set<std::string>{});

  Files expected;
  const std::vector<int> actions = {10, 20, 30, 35, 40, 50, 55, 60};
  expected["pair-c.out"] =
      laserjet_setup() + report_title("", "Two Segments         ") +
      funding_fixed(" 40.00", "Worst  First") +
      // 1.5 lane-miles: 2 in whole lane-miles
      lane_miles(2, false) + cost_table_heading(actions) +
      // The file scores count: 4 poor, 6 fair, so 1.0 of 1.5 poor, 66.67
      // prints 67, fair 33.33; the mean is of the randomised scores,
      // (3.94888 + 0.5 x 5.598) / 1.5 = 4.4986
      first_year_row(8, "2025", "67", "33", "4.5") +
      // (7.94888 + 0.5 x 8.598) / 1.5 = 8.1653; .4 spent over 2 whole
      // lane-miles (1.5 + .5005)
      year_row(8, "2026", "0", "0", "8.2", "0.4", "0.4", "2", ".200",
               {"0.0", "0.0", "0.0", "0.1", "0.3", "0.0", "0.0", "0.0"}) +
      total_rows(8, "1", "0.4", "0.4", "2", ".200", {"0", "0", "0", "1", "1", "0", "0", "0"}) +
      definitions() +
      distribution({"0.0", "0.0", "0.0", "0.0", "0.0", "0.0", "0.0", "66.7", "33.3", "0.0"},
                   "8.17") +
      example_policy_block() + end_record(1);
  expected["pair-c.res"] = echo::secondary_data('N') + echo::printout_type(1) +
                           echo::date_time('N') + echo::trace('N') + echo::force_fix('N') +
                           echo::years(10, 1) + echo::dollars('Y') + echo::fixed_funding(" 40.0") +
                           echo::repair_order(3) + echo::repetition('N') + echo::split('N') +
                           echo::randomize('Y') + echo::traffic('N') + echo::reconstruct('N') +
                           echo::scores("pair     ") + echo::final_conditions('N') +
                           echo::print('N') + echo::auxiliary('Y') + end_record(1);
  auto list_line = [](std::string_view rest) { return std::string(rest) + "\n"; };
  expected["pair-c.scr"] = segment_list_heading_short() + year_start() +
                           list_line("   1      1    1    2     4      1.0       4.") +
                           list_line("   2      2    2    2     6      0.5       6.");
  expected["pair-c.rep"] = improvements_heading_short(2025) + year_start() +
                           list_line("   1      1   1    2     4      40    1.0   0.300   0.300") +
                           list_line("   2      2   2    2     6      35    0.5   0.100   0.400");
  expected["data/default2.dat"] = saved_answers(
      {"1", "N",    "N", "N", "force.txt   ", "Y", " 40.00", " 1", "N", "3", "pair     ",
       "N", "   1", "Y", "N", "    5.",       "N", "N",      "Y",  "N"});
  expect_files(changes.written, expected);
}

// The end of the console input before the dialogue is over is a stop with
// status 1, and nothing is written back.
TEST(PavecastProcess, AnswersThatEndTooSoonStopTheRunWithStatusOne) {
  TempDir dir, scratch;
  testing::copy_example(dir);
  Files before = files_under(dir.path());
  ProcessResult r = run_program_process(dir.path(), scratch.path(), lines({"", ""}));
  EXPECT_EQ(r.status, 1);
  EXPECT_TEXT(introduction() + secondary_data_question('N') + printout_type_question(1) +
                  " ** Fatal Error: end of console input\n",
              r.transcript);
  Files after = files_under(dir.path());
  after.erase("userdata.tmp");
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace pavecast::scenarios
