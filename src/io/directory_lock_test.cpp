#include "io/directory_lock.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "support/test_support.h"

namespace pavecast {
namespace {

using testing::TempDir;
using Mode = DirectoryLock::Mode;
using Outcome = DirectoryLock::Outcome;

// Each lock() opens the directory anew, so two locks in one process conflict
// as two processes' would.
TEST(DirectoryLock, ModesConflictAsReadersAndAWriter) {
  TempDir dir;
  std::unique_ptr<DirectoryLock> first, second, third;
  ASSERT_EQ(DirectoryLock::lock(dir.path(), Mode::kShared, first), Outcome::kLocked);
  EXPECT_EQ(DirectoryLock::lock(dir.path(), Mode::kShared, second), Outcome::kLocked);
  EXPECT_EQ(DirectoryLock::lock(dir.path(), Mode::kExclusive, third), Outcome::kBusy);
  EXPECT_FALSE(third);
  first.reset();
  second.reset();

  ASSERT_EQ(DirectoryLock::lock(dir.path(), Mode::kExclusive, first), Outcome::kLocked);
  EXPECT_EQ(DirectoryLock::lock(dir.path(), Mode::kShared, second), Outcome::kBusy);
  EXPECT_EQ(DirectoryLock::lock(dir.path(), Mode::kExclusive, third), Outcome::kBusy);
  first.reset();  // released with its holder
  EXPECT_EQ(DirectoryLock::lock(dir.path(), Mode::kExclusive, third), Outcome::kLocked);
}

TEST(DirectoryLock, NoFileIsCreatedAndAMissingDirectoryFails) {
  TempDir dir;
  std::unique_ptr<DirectoryLock> lock;
  ASSERT_EQ(DirectoryLock::lock(dir.path(), Mode::kExclusive, lock), Outcome::kLocked);
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    names.insert(e.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"data", "roads"}));

  std::unique_ptr<DirectoryLock> missing;
  EXPECT_EQ(DirectoryLock::lock(dir.path() / "nowhere", Mode::kShared, missing), Outcome::kFailed);
  EXPECT_EQ(DirectoryLock::error(), ENOENT);
}

}  // namespace
}  // namespace pavecast
