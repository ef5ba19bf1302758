// Copies to the printer at the end of a run, after the run's files have
// taken their names: the report, and the inputs record.
//
// Each copy is described by the two-line command file "temptemp.bat",
// written before the copy and deleted after it; the copy itself is made here,
// byte for byte, so no file name ever reaches a command processor. Printer
// port n (1 to 9) is the device printers.device_prefix + (n - 1), opened for
// writing without being created; port 0 has no device. A copy to the printer
// that cannot be made is reported to the caller, which alerts the analyst.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "output/run_output.h"

namespace pavecast {

// The command file texts.
std::string print_report_command(const RunOutput& run);
std::string print_inputs_command(const RunOutput& run);

// The device of the printer port, or an empty path for a port without one.
std::filesystem::path printer_device(const RunOutput& run);

// Copies `from` to the printer under the command file `command`. False when
// the device is missing or the file could not be read or written to it whole.
bool print_file(const RunOutput& run, const FilePath& from, const std::string& command);

// The same for bytes the run holds (the inputs record, read back from its
// scratch file's handle).
bool print_bytes(const RunOutput& run, std::string_view bytes, const std::string& command);

}  // namespace pavecast
