// What the output stages keep between them: the names of the run's files as
// the closing list shows them, the page line counters of the listings and
// the report, and the printer status. Where printer ports lead is a setting
// of the program, fixed for the run (Printers).
#pragma once

#include <cstdint>
#include <string>

namespace pavecast {

struct OutputState {
  // Blank-padded to 12 characters; longer names are kept whole.
  std::string report_file_name;
  std::string condition_file_name = "NA          ";
  std::string improvements_file_name = "NA          ";
  std::string inputs_file_name;
  int32_t list_lines = 3;    // lines on the segment list's current page
  int32_t repair_lines = 3;  // lines on the improvements file's current page
  int32_t report_line = 0;
  int32_t printer_status = 0;
};

// Where printer ports lead: port n (1 to 9) is device_prefix + (n - 1).
struct Printers {
  std::string device_prefix = "/dev/lp";
};

}  // namespace pavecast
