#include "io/file_set.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "io/record_files.h"
#include "io/temporary_files.h"
#include "support/test_support.h"

namespace pavecast {
namespace {

using testing::TempDir;
using namespace std::string_literals;

std::set<std::string> names_in(const std::filesystem::path& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    names.insert(e.path().filename().string());
  return names;
}

void add_file(FileSet& set, const TempDir& dir, const std::string& name, const std::string& text) {
  auto file = OutputFile::create_replacement(dir.workdir().local(name));
  ASSERT_TRUE(file);
  file->write(text);
  file->close_into(set);
}

TEST(FileSet, FilesTakeTheirNamesOnlyAtTheCommit) {
  TempDir dir;
  dir.write("a.out", "old a\n");
  dir.write("b.res", "old b\n");
  {
    FileSet set;
    add_file(set, dir, "a.out", "new a\n");
    add_file(set, dir, "b.res", "new b\n");
    add_file(set, dir, "c.scr", "new c\n");
    EXPECT_EQ(dir.read("a.out"), "old a\n");
    EXPECT_FALSE(dir.exists("c.scr"));
    set.commit(dir.path());
    EXPECT_TRUE(set.empty());
  }
  EXPECT_EQ(dir.read("a.out"), "new a\n");
  EXPECT_EQ(dir.read("b.res"), "new b\n");
  EXPECT_EQ(dir.read("c.scr"), "new c\n");
  // Neither the journal nor a temporary file is left.
  EXPECT_EQ(names_in(dir.path()),
            (std::set<std::string>{"a.out", "b.res", "c.scr", "data", "roads"}));
}

TEST(FileSet, ASetNeverCommittedLeavesTheEarlierFiles) {
  TempDir dir;
  dir.write("a.out", "old a\n");
  const int before = temporaries_in_use();
  {
    FileSet set;
    add_file(set, dir, "a.out", "new a\n");
    add_file(set, dir, "b.res", "new b\n");
  }
  EXPECT_EQ(temporaries_in_use(), before);
  EXPECT_EQ(names_in(dir.path()), (std::set<std::string>{"a.out", "data", "roads"}));
  EXPECT_EQ(dir.read("a.out"), "old a\n");
}

TEST(FileSet, ARenameThatFailsIsReportedWithItsCauseAfterTheOthers) {
  TempDir dir;
  FileSet set;
  add_file(set, dir, "a.out", "new a\n");
  add_file(set, dir, "b.res", "new b\n");
  // A directory planted under a name after its file was opened.
  std::filesystem::create_directory(dir.path() / "a.out");
  std::filesystem::create_directory(dir.path() / "a.out" / "inside");
  EXPECT_EQ(testing::fatal_text_of([&] { set.commit(dir.path()); }),
            " ** Fatal Error: the file cannot be written, file a.out: is a directory\n");
  EXPECT_EQ(dir.read("b.res"), "new b\n");
  EXPECT_EQ(names_in(dir.path()), (std::set<std::string>{"a.out", "b.res", "data", "roads"}));
}

// A run killed during its renames: the journal lists them, some are made.
TEST(FileSetRecovery, TheJournalsRenamesStillMissingAreMade) {
  TempDir dir;
  dir.write("a.out", "old a\n");
  dir.write("b.res", "new b\n");  // renamed before the kill
  dir.write(".pavecast~a.out~Qx12ab", "new a\n");
  dir.write(std::string(kCommitJournal),
            "pavecast commit\n"
            ".pavecast~a.out~Qx12ab\0a.out\0.pavecast~b.res~Zz99zz\0b.res\0end\0"s);
  EXPECT_EQ(recover_interrupted_commit(dir.path()), 1);
  EXPECT_EQ(dir.read("a.out"), "new a\n");
  EXPECT_EQ(dir.read("b.res"), "new b\n");
  EXPECT_EQ(names_in(dir.path()), (std::set<std::string>{"a.out", "b.res", "data", "roads"}));
  EXPECT_EQ(recover_interrupted_commit(dir.path()), 0);  // nothing to do
}

TEST(FileSetRecovery, APlantedJournalMovesNothingButTemporaryFiles) {
  TempDir dir;
  dir.write("secret", "mine\n");
  dir.write("a.out", "old a\n");
  dir.write(".pavecast~b~Qx12ab", "new b\n");
  dir.write(std::string(kCommitJournal),
            "pavecast commit\nsecret\0a.out\0.pavecast~b~Qx12ab\0../b\0"
            ".pavecast~b~Qx12ab\0data\0end\0"s);
  recover_interrupted_commit(dir.path());
  EXPECT_EQ(dir.read("secret"), "mine\n");
  EXPECT_EQ(dir.read("a.out"), "old a\n");
  EXPECT_FALSE(std::filesystem::exists(dir.path().parent_path() / "b"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "data"));
  EXPECT_FALSE(dir.exists(std::string(kCommitJournal)));

  // A journal cut short is no journal: nothing is renamed.
  dir.write(std::string(kCommitJournal), "pavecast commit\n.pavecast~b~Qx12ab\0a.out\0"s);
  EXPECT_EQ(recover_interrupted_commit(dir.path()), 0);
  EXPECT_EQ(dir.read("a.out"), "old a\n");
}

TEST(FileSetRecovery, OnlyTheProgramsTemporaryFilesAreLeftovers) {
  TempDir dir;
  for (const char* name : {".pavecast~NET1-c.scr~a1B2c3", ".pavecast~default2.dat~ZZZZZZ"})
    dir.write(name, "left\n");
  // An analyst's files, however alike.
  for (const char* name : {"NET1-c.scr.a1B2c3", ".pavecast~NET1-c.scr", ".pavecast~x~abc",
                           "pavecast~x~abcdef", ".pavecast~x~abc-ef"})
    dir.write(name, "kept\n");
  std::filesystem::create_directory(dir.path() / ".pavecast~d~ABCDEF");
  EXPECT_EQ(remove_leftover_temporaries(dir.path()), 2);
  EXPECT_EQ(names_in(dir.path()),
            (std::set<std::string>{"NET1-c.scr.a1B2c3", ".pavecast~NET1-c.scr", ".pavecast~x~abc",
                                   "pavecast~x~abcdef", ".pavecast~x~abc-ef",
                                   ".pavecast~d~ABCDEF", "data", "roads"}));
}

}  // namespace
}  // namespace pavecast
