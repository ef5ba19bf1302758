// Printout, trace and force-fix options: the questions asked right after the
// saved answers are read (printout type, date and time in the report title,
// segments to trace, file of forced repairs), and the trace-file recovery
// dialogue entered when loading cannot open a trace file.
#pragma once

#include "dialogue/dialogue.h"
#include "io/run_files.h"
#include "model/settings.h"

namespace pavecast {

// Printout type, date and time, trace answer, trace count and entries.
void ask_printout_options(const Dialogue& d, RunSettings& settings);

// Re-entry point B: the list of trace file names (six to a line, a pause
// after every 15 lines when more follow), the entries after trace_count
// cleared, then a pause. Nothing at all when no tracing was asked for.
void show_trace_files(const Dialogue& d, RunSettings& settings);

// The force-fix question and the name of the forced-repair file.
void ask_force_fix(const Dialogue& d, RunSettings& settings);

enum class TraceRecovery {
  kKeep,     // trace_count cut to the files opened; go back to point B
  kReenter,  // trace files opened so far deleted, entries cleared; point A
};

// Trace file `failed_entry` could not be opened: tell the analyst, ask keep
// or reenter, and carry the choice out. Keep leaves the files open as they
// are (the loader decides what becomes of them on its next pass). Reenter
// closes and drops every file held in files.trace[1..trace_count],
// which must therefore hold only the files opened by the failed pass, and
// clears the entries and the count.
TraceRecovery recover_trace_files(const Dialogue& d, RunSettings& settings, RunFiles& files,
                                  int failed_entry);

}  // namespace pavecast
