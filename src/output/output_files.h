// The run's output files: their names, derived from the scores file name and
// the funding, their opening at the start of the loading, and the headings of
// the two auxiliary listings and of the trace files.
//
// Naming: model/run_file_names.h. Names are not cut: a name of
// 12 characters or fewer is blank-padded to 12, a longer one kept whole (a
// cut would give the improvements listing and the inputs record the same
// name once the scores name has 7 or more characters).
//
// Every run file is written beside its name (a replacement file) and takes
// the name only when the run commits its whole set of files (io/file_set.h),
// so a run that stops earlier leaves the files of an earlier run as they
// were. A second pass through the
// loading (after a way back from the trace-file recovery dialogue) first
// drops every run file and trace file the earlier pass left open, so no
// listing of an abandoned pass survives, and this pass creates its files
// afresh.
#pragma once

#include <string>
#include <string_view>

#include "io/console.h"
#include "output/run_output.h"

namespace pavecast {

// A run file name as it is shown and stored: blank-padded to 12 characters,
// a longer name kept whole.
std::string padded_name(std::string name);

// The name as the file system sees it: without its padding blanks.
std::string trimmed_name(std::string_view name);

// The output file name for `extension` ("out", "scr", "rep", "res"),
// blank-padded to 12 characters when shorter.
std::string output_file_name(const Text<9>& scores_name, float annual_funding,
                             std::string_view extension);

// Drops the report, the two listings and the trace files still open from an
// earlier pass; files of those names from an earlier run stay as they are.
void discard_earlier_pass_files(RunFiles& files);

// Sets report_file_name, condition_file_name and improvements_file_name (the
// last two "NA" when no auxiliary files are wanted); creates the segment list
// and the improvements file (auxiliary files wanted), then the report. A file
// that cannot be created is a fatal stop naming it.
void open_run_files(const RunOutput& run);

// The headings of the improvements file and the segment list (when open) in
// the layout chosen by names_format; list_lines and repair_lines become 3.
void write_listing_headings(const RunOutput& run);

// The two column-heading lines of each listing, written again by the
// listing writer after a form feed (the text: what the writers write).
void write_improvements_columns(OutputFile& file, int32_t names_format);
void write_segment_list_columns(OutputFile& file, int32_t names_format);
std::string improvements_columns(int32_t names_format);
std::string segment_list_columns(int32_t names_format);

// Creates the trace files in entry order, each with its heading. Returns 0,
// or the entry t whose file cannot be created (entries 1..t-1 stay open). A
// name already used by an earlier entry counts as a file that cannot be
// created: two entries writing one file would garble it.
int open_trace_files(const RunOutput& run);

}  // namespace pavecast
