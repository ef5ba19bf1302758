#include "io/directory_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace pavecast {

namespace {
thread_local int last_error = 0;
}

DirectoryLock::Outcome DirectoryLock::lock(const std::filesystem::path& directory, Mode mode,
                                           std::unique_ptr<DirectoryLock>& lock) {
  lock.reset();
  int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    last_error = errno;
    return Outcome::kFailed;
  }
  const int operation = (mode == Mode::kExclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
  int rc;
  do {
    rc = ::flock(fd, operation);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    const int error = errno;
    ::close(fd);
    if (error == EWOULDBLOCK) return Outcome::kBusy;
    last_error = error;
    return Outcome::kFailed;
  }
  lock.reset(new DirectoryLock(fd));
  return Outcome::kLocked;
}

DirectoryLock::~DirectoryLock() {
  ::close(fd_);
}

int DirectoryLock::error() {
  return last_error;
}

}  // namespace pavecast
