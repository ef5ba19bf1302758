// What the output stages keep between them: the names of the run's files as
// the closing list shows them, the page line counters of the listings and
// the report, the printer status and where printer ports lead.
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
  std::string printer_device_prefix = "/dev/lp";  // printer port n is prefix + (n - 1)
};

}  // namespace pavecast
