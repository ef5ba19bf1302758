// Saved answers: the defaults of every question are the answers of the
// previous run. "data\default.dat" holds the keep-default character, the
// secondary data answer and the data set number; "data\class.dat" lists the
// secondary data sets; the saved answers file ("data\default2.dat", or
// "data\default." + a set's extension) holds 20 lines, one answer each.
//
// Missing start-up files, files with too few lines and values that do not
// fit their layout are fatal stops naming the file (line 20 of the saved
// answers file is optional). Both files are rewritten whole and atomically.
#pragma once

#include <string>
#include <string_view>

#include "dialogue/dialogue.h"
#include "io/record_files.h"
#include "model/settings.h"

namespace pavecast {

// Start-up: "data\default.dat" into keep_default_char, secondary_data_answer
// and default_data_set (data_set starts equal to it).
void read_default_dat(RunSettings& settings, const Workdir& workdir);

// The secondary data question and, unless the answer is "N", the choice of
// a data set from "data\class.dat"; sets answers_file_name.
void choose_data_set(const Dialogue& d, RunSettings& settings);

// The two parts of the choice without the dialogue: "data\class.dat" into
// data_set_ext, data_set_title and data_set_count (a missing file, or one
// without a readable record, is a fatal stop); answers_file_name from the
// secondary data answer and data_set.
void read_data_sets(RunSettings& settings, const Workdir& workdir);
void name_answers_file(RunSettings& settings);

// Re-entry point A: the saved answers file into the defaults.
void read_saved_answers(RunSettings& settings, const Workdir& workdir);

// After the last question: "data\default.dat" and the saved answers file
// rewritten with this run's answers.
void write_back_saved_answers(const RunSettings& settings, const Workdir& workdir);

// The name of one of the five parameter files ("funding", "priority",
// "repairs", "detrates", "matrix") for this run's data set choice: the
// secondary name "data\base." + extension when the secondary data answer is
// "Y" (for "repairs": when it is not "N"), else "data\base.dat".
FilePath parameter_file(const RunSettings& settings, const Workdir& workdir, std::string_view base);

}  // namespace pavecast
