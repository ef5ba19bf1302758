// The run's settings: every answer of the dialogue and what the answers fix
// (the data set's files, the trace entries, the horizon, the funding answer,
// the repair order, the network options), under the names the program's
// documentation gives them. The dialogue fills them from the saved answers
// and the analyst's replies; every later stage only reads them. Character
// answers hold one letter ('Y', 'N', or whatever saved character Enter kept);
// text fields have their fixed lengths.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "layout/text.h"

namespace pavecast {

inline constexpr int kMaxTraces = 99;
inline constexpr int kMaxDataSets = 20;

struct StartTime {
  int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

// Start-up constants.
inline constexpr std::array<const char*, 4> kPrintoutTitles = {
    "", "Condensed Print on a LaserJet", "Condensed Format on a Dot Matrix Printer",
    "Six Lines Per Inch Format on a Dot Matrix"};
inline constexpr char kEsc = 27;
inline constexpr char kFormFeed = 12;
inline constexpr std::string_view kYellowOnBlack = "\x1b[33;40m";
inline constexpr std::string_view kWhiteOnRed = "\x1b[37;41m";

struct RunSettings {
  // --- start-up and secondary data sets
  StartTime start_time;
  int32_t printer_port = 0;
  char keep_default_char = ' ';
  char secondary_data_answer = 'N';
  int32_t default_data_set = 0;
  int32_t data_set = 0;
  int32_t data_set_count = 0;
  std::array<Text<3>, kMaxDataSets + 1> data_set_ext{};
  std::array<Text<45>, kMaxDataSets + 1> data_set_title{};
  Text<17> answers_file_name;

  // --- printout, trace and force-fix options
  int32_t printout_type = 0;
  int32_t page_lines = 74;
  char date_time_answer = 'N';
  char trace_answer = 'N';
  int32_t trace_count = 0;
  std::array<int32_t, kMaxTraces + 1> trace_segment{};
  std::array<Text<3>, kMaxTraces + 1> trace_tag{};
  std::array<Text<9>, kMaxTraces + 1> trace_file_name{};
  char force_fix_answer = 'N';
  Text<12> force_fix_file;

  // --- horizon and funding
  int32_t default_years = 0;  // saved answer, the default of the years question
  int32_t years = 0;
  int32_t year_slots = 1;
  char budget_constrained = 'N';
  float default_funding = 0.0f;
  float annual_funding = 99999.9f;
  bool variable_funding = false;

  // --- repair order and the repetition policy
  int32_t repair_order = 0;        // this run's order, 1..4 once asked (repair_order_questions.h)
  int32_t saved_repair_order = 0;  // the order written back for the next run
  char change_repeat_policy = 'N';

  // --- network options
  Text<9> default_scores_name;
  Text<9> scores_name;
  char split_answer = 'N';
  int32_t split_factor = 1;
  int32_t copies_made = 1;
  char randomize_answer = 'N';
  char vmt_answer = ' ';  // a 19-line saved answers file leaves it blank
  char reconstruct_answer = 'N';
  float reconstruct_probability = 0.0f;  // percent; a fraction once the numbers are loaded
  // Set when the 500 reconstruction numbers are loaded (a percent above
  // 0.001): reconstruct_probability then holds a fraction. A percent of 0.001
  // or less leaves it false and reconstruction off, even when the numbers
  // were loaded on an earlier pass.
  bool recon_numbers_loaded = false;
  char final_conditions_answer = 'N';
  Text<12> final_conditions_file;
  char print_answer = 'N';
  char auxiliary_answer = 'N';
};

// Yes/no tests: a test for "Y" treats every other answer as no, a test for
// "N" every other answer as yes.
inline bool is_yes(char answer) {
  return answer == 'Y';
}
inline bool is_no(char answer) {
  return answer == 'N';
}

}  // namespace pavecast
