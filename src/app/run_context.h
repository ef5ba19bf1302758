// The run context: every setting, answer, table and count of one run, under
// the names the program's documentation gives them. The driver creates it at
// start; every stage reads and writes its fields directly, and nothing else is
// shared between stages. Character answers hold one letter ('Y', 'N', or
// whatever saved character Enter kept); text fields have their fixed lengths.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "model/statistics.h"
#include "io/record_files.h"
#include "layout/text.h"
#include "model/segment_table.h"
#include "model/parameter_tables.h"

namespace pavecast {

inline constexpr int kMaxTraces = 99;
inline constexpr int kMaxDataSets = 20;
inline constexpr int kReconNumbers = 500;

struct StartTime {
  int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

// Start-up constants.
inline constexpr std::array<const char*, 5> kRepairOrderNames = {
    "", "Random Order", "  Priority  ", "Worst  First", " Best  First"};
inline constexpr std::array<const char*, 4> kPrintoutTitles = {
    "", "Condensed Print on a LaserJet", "Condensed Format on a Dot Matrix Printer",
    "Six Lines Per Inch Format on a Dot Matrix"};
inline constexpr char kEsc = 27;
inline constexpr char kFormFeed = 12;
inline constexpr std::string_view kYellowOnBlack = "\x1b[33;40m";
inline constexpr std::string_view kWhiteOnRed = "\x1b[37;41m";

// Files a run keeps open from the stage that opens them to the stage that
// finishes them. A copy of a run context (one projection of the scenario
// tool) starts with no file open: the files belong to the run that opened
// them.
struct RunFiles {
  RunFiles() = default;
  RunFiles(const RunFiles&) {}
  RunFiles& operator=(const RunFiles&) = delete;
  RunFiles(RunFiles&&) = default;
  RunFiles& operator=(RunFiles&&) = default;

  std::unique_ptr<OutputFile> echo;  // "userdata.tmp", the record of the dialogue
  std::unique_ptr<OutputFile> report;
  std::unique_ptr<OutputFile> segment_list;  // .scr
  std::unique_ptr<OutputFile> improvements;  // .rep
  std::array<std::unique_ptr<OutputFile>, kMaxTraces + 1> trace;
};

struct RunContext {
  explicit RunContext(Workdir dir, int32_t segment_capacity = kProgramSegmentCapacity)
      : workdir(std::move(dir)), segments(segment_capacity) {}

  Workdir workdir;
  RunFiles files;
  std::string printer_device_prefix = "/dev/lp";  // printer port n is prefix + (n - 1)

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
  PerYear<float> funding{};

  // --- repair order and priorities
  int32_t repair_order = 0;        // this run's order
  int32_t saved_repair_order = 0;  // the order written back for the next run
  std::array<int32_t, kClasses + 1> priority{};

  // --- repair actions, pavement types, rates and policy
  char change_repeat_policy = 'N';
  RepairActions actions;
  PavementTypes pavement;
  PolicyMatrix policy{};

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
  std::array<float, kReconNumbers + 1> recon_random{};
  int32_t recon_cursor = kReconNumbers + 1;
  char final_conditions_answer = 'N';
  Text<12> final_conditions_file;
  char print_answer = 'N';
  char auxiliary_answer = 'N';

  // --- network
  SegmentTable segments;
  NetworkValues network;
  ForcedRepairs forced;

  // --- output files of the run (12 characters, blank-padded; longer names
  // are kept whole)
  std::string report_file_name;
  std::string condition_file_name = "NA          ";
  std::string improvements_file_name = "NA          ";
  std::string inputs_file_name;
  int32_t list_lines = 3;
  int32_t repair_lines = 3;

  // --- engine state
  int32_t year = 0;
  float funds = 0.0f;
  int32_t split_segment = 0;
  int32_t forced_pass = 0;
  int32_t repair_number = 0;
  int32_t list_position = 0;
  float year_miles_repaired = 0.0f;
  PerYear<float> vmt_increase{};
  // Set by the network options when the 500 reconstruction numbers are
  // loaded (a percent above 0.001): reconstruct_probability then holds a
  // fraction. A percent of 0.001 or less leaves it false and reconstruction
  // off, even when the numbers were loaded on an earlier pass.
  bool recon_numbers_loaded = false;

  // --- statistics and report
  Statistics stats;
  int32_t report_line = 0;
  int32_t printer_status = 0;
};

// Yes/no tests: a test for "Y" treats every other answer as no, a test for
// "N" every other answer as yes.
inline bool is_yes(char answer) { return answer == 'Y'; }
inline bool is_no(char answer) { return answer == 'N'; }

}  // namespace pavecast
