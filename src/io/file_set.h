// The files of a run, committed as one set: the run writes every file of
// the set completely under a temporary name (temporary_files.h), and only
// then do they all take their names, in one step that neither a signal nor
// a kill can leave half done.
//
// The step: with SIGINT, SIGTERM, SIGHUP and SIGQUIT blocked, a journal
// listing every rename (temporary name, then the name it takes) is written
// under a temporary name and renamed to kCommitJournal in the working
// directory (so it is there whole or not at all); then the renames are made
// and the journal removed. A run killed before the journal took its name
// leaves the earlier files as they were and only temporary files behind; a
// run killed after it leaves a journal from which the next run completes the
// renames (recover_interrupted_commit) before it does anything else. Both
// clean-ups run only under the directory's exclusive lock (directory_lock.h),
// so they never touch a file a live run is writing.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pavecast {

// The journal's name in the working directory.
inline constexpr std::string_view kCommitJournal = ".pavecast-commit";

class FileSet {
 public:
  FileSet() = default;
  ~FileSet();  // the temporary files of a set never committed are removed
  FileSet(const FileSet&) = delete;
  FileSet& operator=(const FileSet&) = delete;

  // A complete, closed temporary file that takes the name `target` (a file
  // of the working directory) when the set is committed. `shown` names the
  // target in messages.
  void add(std::string temporary, std::filesystem::path target, std::string shown);

  bool empty() const { return entries_.empty(); }

  // Every file takes its name. A journal that cannot be written is a fatal
  // stop naming it (the earlier files stay as they were); a rename that
  // fails (a directory planted under a target's name since it was checked)
  // is a fatal stop naming that file once the other renames are made.
  void commit(const std::filesystem::path& directory);

 private:
  struct Entry {
    std::string temporary;
    std::filesystem::path target;
    std::string shown;
  };
  std::vector<Entry> entries_;
};

// Completes the renames of a commit that a kill interrupted, as the journal
// in `directory` lists them, and removes the journal. A rename whose
// temporary file is gone was made before the kill. Entries that are not a
// temporary file's name and a plain name of the directory are ignored.
// Returns the number of renames made.
int recover_interrupted_commit(const std::filesystem::path& directory);

// Removes every file of `directory` whose name has the form of a temporary
// file: the leftovers of a run that was killed. Returns how many.
int remove_leftover_temporaries(const std::filesystem::path& directory);

}  // namespace pavecast
