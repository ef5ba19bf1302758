// Copies at the end of a run: the report and the inputs record to the
// printer, and the inputs record "userdata.tmp" to its permanent name.
//
// Each copy is described by the two-line command file "temptemp.bat",
// written before the copy and deleted after it; the copy itself is made here,
// byte for byte, so no file name ever reaches a command processor. Printer
// port n (1 to 9) is the device printer_device_prefix + (n - 1), opened for
// writing without being created; port 0 has no device. A copy to the printer
// that cannot be made is reported to the caller, which alerts the analyst.
#pragma once

#include <filesystem>
#include <string>

#include "output/run_output.h"

namespace pavecast {

// The command file texts.
std::string print_report_command(const RunOutput& run);
std::string copy_inputs_command(const RunOutput& run);
std::string print_inputs_command(const RunOutput& run);

// The device of the printer port, or an empty path for a port without one.
std::filesystem::path printer_device(const RunOutput& run);

// Copies `from` to the printer under the command file `command`. False when
// the device is missing or the file could not be read or written to it whole.
bool print_file(const RunOutput& run, const FilePath& from, const std::string& command);

// Copies "userdata.tmp" to inputs_file_name under its command file, written
// completely or not at all (a failure is a fatal stop naming the file).
void copy_inputs_record(const RunOutput& run);

}  // namespace pavecast
