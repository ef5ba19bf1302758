#include "io/temporary_files.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

namespace pavecast {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// A fixed table, so the handler never meets memory being reallocated. A run
// holds at most 99 trace files, its report and listings, the scratch files
// and one replacement of its own at a time. A name too long for a slot, or
// a table full, still gets its file; only the clean-up on an interrupt is
// lost for it.
constexpr int kSlots = 128;
constexpr std::size_t kNameMax = 4096;
struct Slot {
  volatile sig_atomic_t used;
  char name[kNameMax];
};
Slot slots[kSlots];

extern "C" void on_interrupt(int signal_number) {
  for (Slot& slot : slots)
    if (slot.used) ::unlink(slot.name);
  struct sigaction dfl {};
  dfl.sa_handler = SIG_DFL;
  ::sigaction(signal_number, &dfl, nullptr);
  ::raise(signal_number);  // delivered when the handler returns
}

constexpr std::string_view kTemporaryPrefix = ".pavecast~";
constexpr std::size_t kRandomLength = 6;

void remember(const std::string& name) {
  if (name.size() >= kNameMax) return;
  for (Slot& slot : slots) {
    if (slot.used) continue;
    std::memcpy(slot.name, name.c_str(), name.size() + 1);
    slot.used = 1;
    return;
  }
}

void forget(const std::string& name) {
  for (Slot& slot : slots)
    if (slot.used && name == slot.name) {
      slot.used = 0;
      return;
    }
}

}  // namespace

SignalsBlocked::SignalsBlocked() {
  const int saved = errno;
  sigset_t set;
  sigemptyset(&set);
  for (int s : kSignals) sigaddset(&set, s);
  ::sigprocmask(SIG_BLOCK, &set, &old_);
  errno = saved;
}

SignalsBlocked::~SignalsBlocked() {
  const int saved = errno;
  ::sigprocmask(SIG_SETMASK, &old_, nullptr);
  errno = saved;
}

std::string temporary_pattern(const std::filesystem::path& target) {
  std::string name(kTemporaryPrefix);
  name += target.filename().string();
  name += '~';
  name.append(kRandomLength, 'X');
  return (target.parent_path() / name).string();
}

bool is_temporary_name(std::string_view name) {
  if (name.size() < kTemporaryPrefix.size() + 2 + kRandomLength) return false;
  if (name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix) return false;
  if (name[name.size() - kRandomLength - 1] != '~') return false;
  for (char c : name.substr(name.size() - kRandomLength))
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  return true;
}

void remove_temporaries_on_interrupt() {
  for (int s : kSignals) {
    struct sigaction old {};
    ::sigaction(s, nullptr, &old);
    if (old.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    for (int other : kSignals) sigaddset(&action.sa_mask, other);
    ::sigaction(s, &action, nullptr);
  }
}

int create_temporary(std::string& name) {
  SignalsBlocked blocked;
  int fd = ::mkstemp(name.data());
  if (fd < 0) return -1;  // errno says why
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  remember(name);
  return fd;
}

int create_scratch(const std::string& name, unsigned mode) {
  SignalsBlocked blocked;
  struct stat st {};
  if (::lstat(name.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      errno = EISDIR;
      return -1;
    }
    ::unlink(name.c_str());
  }
  // O_EXCL with O_CREAT never follows a link, even one planted since.
  int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  if (fd < 0) return -1;
  remember(name);
  return fd;
}

bool rename_temporary(const std::string& name, const std::string& target) {
  SignalsBlocked blocked;
  bool renamed = ::rename(name.c_str(), target.c_str()) == 0;
  if (!renamed) ::unlink(name.c_str());
  forget(name);
  return renamed;
}

void remove_temporary(const std::string& name) {
  SignalsBlocked blocked;
  ::unlink(name.c_str());
  forget(name);
}

void remove_scratch(const std::string& name, int fd) {
  SignalsBlocked blocked;
  struct stat held {};
  struct stat named {};
  if (::fstat(fd, &held) == 0 && ::lstat(name.c_str(), &named) == 0 &&
      held.st_dev == named.st_dev && held.st_ino == named.st_ino)
    ::unlink(name.c_str());
  forget(name);
}

void forget_temporary(const std::string& name) {
  SignalsBlocked blocked;
  forget(name);
}

int temporaries_in_use() {
  int n = 0;
  for (const Slot& slot : slots) n += slot.used ? 1 : 0;
  return n;
}

}  // namespace pavecast
