// The names of the files a run writes in its working directory: its output
// files, named from the scores file name and the funding, its trace files
// and its two scratch files.
//
// Output names: the scores name's characters up to the first blank or
// period, then "-", the character after the blank or period when it is not
// a blank, the funding letter ("u" when annual_funding is 998.0 or more,
// else "c"), a period and the extension: rd96 gives rd96-c.out, rd96.a gives
// rd96-ac.out. A name without blank or period in its 9 characters is taken
// whole, with neither "-" nor funding letter (ninechars.out).
#pragma once

#include <string>
#include <string_view>

#include "layout/text.h"
#include "model/settings.h"

namespace pavecast {

inline constexpr std::string_view kEchoFileName = "userdata.tmp";
inline constexpr std::string_view kCommandFileName = "temptemp.bat";

// The output file name for `extension` ("out", "scr", "rep", "res"),
// without padding.
std::string run_output_name(const Text<9>& scores_name, float annual_funding,
                            std::string_view extension);

// True when `name` (without its padding blanks) is a file the run of
// `settings` writes or may write: its scratch files, its report, listings
// and inputs record, or one of its trace files.
bool is_run_file_name(const RunSettings& settings, std::string_view name);

}  // namespace pavecast
