// A lock on a working directory, so that one run at a time writes its files
// there. The lock is taken on the directory itself (flock() on a descriptor
// of the directory), so it creates no file, and the system drops it when the
// holder ends, however it ends.
//
// Exclusive: the program's run, which writes and repairs files in the
// directory. Shared: a reader that must not see a run's files change under
// it; any number of shared holders may hold the directory at once. Neither
// mode waits: a conflicting holder makes lock() return kBusy at once.
#pragma once

#include <filesystem>
#include <memory>

namespace pavecast {

class DirectoryLock {
 public:
  enum class Mode { kShared, kExclusive };
  enum class Outcome {
    kLocked,
    kBusy,    // another process holds the directory in a conflicting mode
    kFailed,  // the directory cannot be opened or locked (error() says why)
  };

  // Takes the lock; `lock` holds it on kLocked, and is empty otherwise.
  static Outcome lock(const std::filesystem::path& directory, Mode mode,
                      std::unique_ptr<DirectoryLock>& lock);

  ~DirectoryLock();  // releases the lock
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

  // The errno of the last kFailed outcome of lock() in this thread.
  static int error();

 private:
  explicit DirectoryLock(int fd) : fd_(fd) {}
  int fd_;
};

}  // namespace pavecast
