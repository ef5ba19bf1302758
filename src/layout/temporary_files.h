// Temporary files of the atomic replacements (record_files.h), and their
// removal when the program is interrupted.
//
// A replacement is written under a temporary name beside its target and
// renamed over it once complete. A keyboard interrupt (Ctrl-C), a hang-up or
// a termination request between the two would leave the temporary file
// behind; the handler installed here removes every temporary file still
// registered and then lets the signal end the program as it would have, so
// the exit status still shows the signal. Files are created, renamed and
// removed with those signals blocked, so a signal never falls between a
// file's creation and its registration; the handler only unlinks and
// re-raises, which is async-signal-safe.
#pragma once

#include <string>

namespace pavecast {

// Installs the handler for SIGINT, SIGTERM and SIGHUP, except for a signal
// that the program was started with ignored (nohup).
void remove_temporaries_on_interrupt();

// mkstemp(): `name` is the pattern ("...XXXXXX") and becomes the file's name.
// Returns the open descriptor, or -1 when the file cannot be created.
int create_temporary(std::string& name);

// Renames the temporary file over `target`; false (and the temporary file
// removed) when the rename fails.
bool rename_temporary(const std::string& name, const std::string& target);

// Removes the temporary file.
void remove_temporary(const std::string& name);

// The number of temporary files created and not yet renamed or removed.
int temporaries_in_use();

}  // namespace pavecast
