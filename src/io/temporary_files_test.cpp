#include "io/temporary_files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "io/record_files.h"
#include "support/test_support.h"

namespace pavecast {
namespace {

using testing::TempDir;

std::set<std::string> names_in(const std::filesystem::path& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    names.insert(e.path().filename().string());
  return names;
}

TEST(TemporaryFiles, AReplacementIsRegisteredUntilRenamedOrDropped) {
  TempDir dir;
  const int before = temporaries_in_use();
  {
    auto file = OutputFile::create_replacement(dir.workdir().local("a.dat"));
    ASSERT_TRUE(file);
    EXPECT_EQ(temporaries_in_use(), before + 1);
    file->write("new\n");
    file->close();
    EXPECT_EQ(temporaries_in_use(), before);
  }
  {
    auto file = OutputFile::create_replacement(dir.workdir().local("a.dat"));
    file->write("dropped\n");
  }
  EXPECT_EQ(temporaries_in_use(), before);
  EXPECT_EQ(names_in(dir.path()), (std::set<std::string>{"a.dat", "data", "roads"}));
  EXPECT_EQ(dir.read("a.dat"), "new\n");
}

// In a child process: a replacement half written and flushed, then the
// signal. Returns the child's wait status.
int interrupted_while_replacing(const TempDir& dir, int signal_number, bool ignored) {
  pid_t pid = ::fork();
  if (pid == 0) {
    if (ignored) ::signal(signal_number, SIG_IGN);
    remove_temporaries_on_interrupt();
    auto file = OutputFile::create_replacement(dir.workdir().data("priority.dat"));
    if (!file) ::_exit(3);
    file->write(" 10\n 20\n");
    file->flush();
    ::raise(signal_number);
    ::_exit(0);  // only when the signal is ignored
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

TEST(TemporaryFiles, AnInterruptRemovesTheTemporaryFileAndEndsByTheSignal) {
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    TempDir dir;
    dir.write("data/priority.dat", " 80\n 90\n");
    int status = interrupted_while_replacing(dir, signal_number, false);
    ASSERT_TRUE(WIFSIGNALED(status)) << signal_number;
    EXPECT_EQ(WTERMSIG(status), signal_number);
    EXPECT_EQ(names_in(dir.path() / "data"), std::set<std::string>{"priority.dat"});
    EXPECT_EQ(dir.read("data/priority.dat"), " 80\n 90\n");
  }
}

TEST(TemporaryFiles, ASignalIgnoredAtStartStaysIgnored) {
  TempDir dir;
  int status = interrupted_while_replacing(dir, SIGHUP, true);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace pavecast
