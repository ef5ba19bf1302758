// Temporary files of the atomic replacements (record_files.h) and the run's
// scratch files ("userdata.tmp", "temptemp.bat"), and their removal when the
// program is interrupted.
//
// A replacement is written under a temporary name beside its target and
// renamed over it once complete; a scratch file lives under its own name for
// part of the run and is removed at its end. A keyboard interrupt (Ctrl-C or
// Ctrl-\), a hang-up or a termination request would leave either behind; the
// handler installed here removes every file still registered and then lets
// the signal end the program as it would have, so the exit status still
// shows the signal. Files are created, renamed and
// removed with those signals blocked, so a signal never falls between a
// file's creation and its registration; the handler only unlinks and
// re-raises, which is async-signal-safe.
#pragma once

#include <string>

namespace pavecast {

// Installs the handler for SIGINT, SIGTERM, SIGHUP and SIGQUIT, except for a
// signal that the program was started with ignored (nohup).
void remove_temporaries_on_interrupt();

// mkstemp(): `name` is the pattern ("...XXXXXX") and becomes the file's name.
// Returns the open descriptor, or -1 when the file cannot be created.
int create_temporary(std::string& name);

// Creates the scratch file `name` afresh: whatever non-directory entry holds
// the name (a planted symbolic link included) is removed first, and the file
// is created exclusively, so nothing outside is ever written through it.
// Returns the open descriptor, or -1 when the file cannot be created.
int create_scratch(const std::string& name, unsigned mode);

// Renames the temporary file over `target`; false (and the temporary file
// removed) when the rename fails.
bool rename_temporary(const std::string& name, const std::string& target);

// Removes the temporary or scratch file.
void remove_temporary(const std::string& name);

// The number of temporary and scratch files created and not yet renamed or
// removed.
int temporaries_in_use();

}  // namespace pavecast
