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
//
// A temporary file's name is distinctive, so that the leftovers of a killed
// run can be told from any file of the analyst's: ".pavecast~" + the
// target's name + "~" + six characters, in the target's directory.
#pragma once

#include <signal.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace pavecast {

// Blocks SIGINT, SIGTERM, SIGHUP and SIGQUIT for its lifetime (nested
// blocks restore the mask each found).
class SignalsBlocked {
 public:
  SignalsBlocked();
  ~SignalsBlocked();
  SignalsBlocked(const SignalsBlocked&) = delete;
  SignalsBlocked& operator=(const SignalsBlocked&) = delete;

 private:
  sigset_t old_;
};

// The mkstemp() pattern of a temporary file for `target`.
std::string temporary_pattern(const std::filesystem::path& target);

// True when `name` (one directory entry) has the form of a temporary file.
bool is_temporary_name(std::string_view name);

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

// Removes the scratch file `name` only while it is still the file open as
// `fd` (a link or file planted under the name since is left alone), then
// forgets it.
void remove_scratch(const std::string& name, int fd);

// Forgets a temporary file that has taken its target's name.
void forget_temporary(const std::string& name);

// The number of temporary and scratch files created and not yet renamed or
// removed.
int temporaries_in_use();

}  // namespace pavecast
