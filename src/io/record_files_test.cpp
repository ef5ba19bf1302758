#include "io/record_files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/test_support.h"

namespace pavecast {
namespace {

using testing::fatal_text_of;
using testing::TempDir;

std::vector<std::string> all_lines(InputFile& f) {
  std::vector<std::string> v;
  std::string_view r;
  while (f.next(r)) v.emplace_back(r);
  return v;
}

TEST(InputFile, ReadsLfAndCrLfLinesAndStopsAtCtrlZ) {
  TempDir dir;
  dir.write("data/x.dat", "one\r\ntwo\n\nthree\r\r\n\x1aignored\nnever\n");
  auto f = InputFile::open(dir.workdir().data("x.dat"), IfMissing::kFail);
  ASSERT_TRUE(f);
  EXPECT_EQ(all_lines(*f), (std::vector<std::string>{"one", "two", "", "three\r"}));
  EXPECT_EQ(f->line_number(), 4);
  f->rewind();
  std::string_view r;
  ASSERT_TRUE(f->next(r));
  EXPECT_EQ(r, "one");
  EXPECT_EQ(f->line_number(), 1);
}

TEST(InputFile, KeepsALastLineWithoutLineEndAndCapsLongLines) {
  TempDir dir;
  dir.write("data/y.dat", std::string(5000, 'a') + "\nlast");
  auto f = InputFile::open(dir.workdir().data("y.dat"), IfMissing::kFail);
  auto v = all_lines(*f);
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(v[0].size(), InputFile::kMaxRecordLength);
  EXPECT_EQ(v[1], "last");
}

TEST(InputFile, AMissingDataFileIsCreatedEmptyOnlyWhenAsked) {
  TempDir dir;
  EXPECT_FALSE(InputFile::open(dir.workdir().data("none.dat"), IfMissing::kFail));
  EXPECT_FALSE(dir.exists("data/none.dat"));
  auto f = InputFile::open(dir.workdir().data("none.dat"), IfMissing::kCreateEmpty);
  ASSERT_TRUE(f);
  EXPECT_TRUE(all_lines(*f).empty());
  EXPECT_TRUE(dir.exists("data/none.dat"));
  // A directory of that name cannot be read as a file.
  std::filesystem::create_directory(dir.path() / "data" / "sub");
  EXPECT_FALSE(InputFile::open(dir.workdir().data("sub"), IfMissing::kCreateEmpty));
}

TEST(ReadOrFatal, NamesTheFileAndTheLine) {
  TempDir dir;
  dir.write("data/n.dat", " 1\n x\n");
  auto f = InputFile::open(dir.workdir().data("n.dat"), IfMissing::kFail);
  static const layout::Layout kI2("I2");
  int32_t v = 0;
  read_or_fatal(kI2, *f, {v});
  EXPECT_EQ(v, 1);
  EXPECT_EQ(fatal_text_of([&] { read_or_fatal(kI2, *f, {v}); }),
            " ** Fatal Error: unreadable record, file data/n.dat, line 2\n");
  EXPECT_EQ(fatal_text_of([&] { read_or_fatal(kI2, *f, {v}); }),
            " ** Fatal Error: unexpected end of file, file data/n.dat, line 3\n");
}

TEST(OutputFile, ReplacementIsAllOrNothing) {
  TempDir dir;
  dir.write("data/keep.dat", "old\n");
  {
    auto f = OutputFile::create_replacement(dir.workdir().data("keep.dat"));
    ASSERT_TRUE(f);
    f->write("new\n");
    f->flush();
    EXPECT_EQ(dir.read("data/keep.dat"), "old\n");
    // Dropped without close(), as when a fatal stop unwinds.
  }
  EXPECT_EQ(dir.read("data/keep.dat"), "old\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "data"),
                          std::filesystem::directory_iterator()),
            1);
  auto f = OutputFile::create_replacement(dir.workdir().data("keep.dat"));
  f->write("new\n");
  f->close();
  EXPECT_EQ(dir.read("data/keep.dat"), "new\n");
}

// A file size limit for a child alone fails the write as a full disk would:
// the stop names the file, and nothing of it is left.
TEST(OutputFile, AWriteErrorIsAFatalStopNamingTheFile) {
  TempDir dir;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{1000, 1000};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(2);
    auto f = OutputFile::create_replacement(dir.workdir().local("NET1-c.out"));
    const std::string stop = fatal_text_of([&] {
      f->write(std::string(100000, 'x'));
      f->close();
    });
    ::_exit(stop == " ** Fatal Error: the file cannot be written, file NET1-c.out: file too large\n"
                ? 0
                : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "data"));
  EXPECT_FALSE(dir.exists("NET1-c.out"));
}

// A replacement takes the place of whatever link holds its name, keeps the
// permission bits of the file it replaces, and cannot replace a directory
// or a device.
TEST(OutputFile, AReplacementReplacesLinksKeepsModesAndRefusesOtherFiles) {
  TempDir dir, elsewhere;
  elsewhere.write("victim", "theirs\n");
  std::filesystem::create_symlink(elsewhere.path() / "victim", dir.path() / "a.out");
  dir.write("b.out", "old\n");
  std::filesystem::permissions(dir.path() / "b.out", std::filesystem::perms(0640));
  for (const char* name : {"a.out", "b.out"}) {
    auto f = OutputFile::create_replacement(dir.workdir().local(name));
    ASSERT_TRUE(f);
    f->write("new\n");
    f->close();
    EXPECT_EQ(dir.read(name), "new\n");
  }
  EXPECT_EQ(elsewhere.read("victim"), "theirs\n");
  EXPECT_TRUE(
      std::filesystem::is_regular_file(std::filesystem::symlink_status(dir.path() / "a.out")));
  EXPECT_EQ(std::filesystem::status(dir.path() / "b.out").permissions(),
            std::filesystem::perms(0640));

  std::filesystem::create_directory(dir.path() / "d.out");
  EXPECT_FALSE(OutputFile::create_replacement(dir.workdir().local("d.out")));
  EXPECT_FALSE(OutputFile::create_replacement(FilePath{"/dev/null", "null"}));
}

// A name is one entry of its directory: joined, an absolute name or one that
// climbs out would replace or leave the directory, so nothing opens it.
TEST(Workdir, NamesThatWouldLeaveTheirDirectoryOpenNothing) {
  TempDir dir;
  const Workdir workdir = dir.workdir();
  const std::string names[] = {"/etc/passwd",          "../x", "..", ".", "", "a/b",
                               std::string("..\0x", 4)};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    for (const FilePath& f : {workdir.data(name), workdir.roads(name), workdir.local(name)}) {
      EXPECT_TRUE(f.escapes);
      EXPECT_FALSE(InputFile::open(f, IfMissing::kCreateEmpty));
      EXPECT_FALSE(OutputFile::create_replacement(f));
    }
  }
  EXPECT_FALSE(workdir.local("NET1.prd").escapes);
  EXPECT_FALSE(workdir.roads("..NET1").escapes);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "data"));

  // What the dialogue refuses: '/' or '\' anywhere, "." and "..", blanks after.
  for (const char* refused : {"/tmp/x", "..\\x", ".  ", "..", "a/"})
    EXPECT_TRUE(names_a_directory(refused));
  for (const char* taken : {"NET1", "..NET1", ".x", " .", "NET1.prd"})
    EXPECT_FALSE(names_a_directory(taken));
}

// Only regular files are read: a FIFO would block the open for ever, a
// device such as /dev/zero never end.
TEST(InputFile, OnlyRegularFilesAreRead) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir.path() / "data" / "fifo.dat").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", dir.path() / "data" / "zero.dat");
  dir.write("data/real.dat", "1\n");
  std::filesystem::create_symlink(dir.path() / "data" / "real.dat",
                                  dir.path() / "data" / "link.dat");
  EXPECT_FALSE(InputFile::open(dir.workdir().data("fifo.dat"), IfMissing::kCreateEmpty));
  EXPECT_FALSE(InputFile::open(dir.workdir().data("zero.dat"), IfMissing::kCreateEmpty));
  EXPECT_TRUE(InputFile::open(dir.workdir().data("link.dat"), IfMissing::kFail));
}

// The scenario tool's working directory: read as the program reads it, and
// never changed.
TEST(ReadOnlyWorkdir, MissingFilesReadAsEmptyAndNothingIsWritten) {
  TempDir dir;
  dir.write("data/kept.dat", "one\n");
  Workdir workdir{dir.path(), /*read_only=*/true};

  auto missing = InputFile::open(workdir.data("missing.dat"), IfMissing::kCreateEmpty);
  ASSERT_TRUE(missing);
  std::string_view record;
  EXPECT_FALSE(missing->next(record));
  missing->rewind();
  EXPECT_FALSE(missing->next(record));
  EXPECT_FALSE(dir.exists("data/missing.dat"));
  EXPECT_FALSE(InputFile::open(workdir.data("missing.dat"), IfMissing::kFail));

  auto kept = InputFile::open(workdir.data("kept.dat"), IfMissing::kCreateEmpty);
  ASSERT_TRUE(kept && kept->next(record));
  EXPECT_EQ(record, "one");

  EXPECT_FALSE(OutputFile::create_replacement(workdir.data("kept.dat")));
  remove_file(workdir.data("kept.dat"));
  EXPECT_EQ(dir.read("data/kept.dat"), "one\n");
  EXPECT_FALSE(dir.exists("NET1-c.out"));
}

}  // namespace
}  // namespace pavecast

namespace pavecast {
namespace {

// The scratch file is read back through its handle: whatever is planted
// under its name later is neither read nor removed.
TEST(ScratchFile, IsReadBackByItsHandleAndRemovedOnlyWhileItHoldsTheName) {
  for (bool plant_directory : {false, true}) {
    testing::TempDir dir, elsewhere;
    elsewhere.write("secret", "not the run's\n");
    {
      auto scratch = OutputFile::create_scratch_or_fatal(dir.workdir().local("userdata.tmp"));
      scratch->write("answers\n");
      scratch->close();
      std::filesystem::remove(dir.path() / "userdata.tmp");
      if (plant_directory)
        std::filesystem::create_directory(dir.path() / "userdata.tmp");
      else
        std::filesystem::create_symlink(elsewhere.path() / "secret", dir.path() / "userdata.tmp");
      EXPECT_EQ(scratch->contents(), "answers\n");
    }
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(dir.path() / "userdata.tmp")));
    EXPECT_EQ(elsewhere.read("secret"), "not the run's\n");
  }
}

TEST(Messages, GiveTheSystemsCauseInWords) {
  EXPECT_EQ(error_cause(0), "");
  EXPECT_EQ(error_cause(EACCES), ": permission denied");
  EXPECT_EQ(error_cause(ENOSPC), ": no space left on device");
  EXPECT_EQ(error_cause(EFBIG), ": file too large");
  testing::TempDir dir;
  std::filesystem::create_directory(dir.path() / "NET1-c.out");
  EXPECT_EQ(testing::fatal_text_of([&] {
              OutputFile::create_replacement_or_fatal(dir.workdir().local("NET1-c.out"));
            }),
            " ** Fatal Error: the file cannot be opened, file NET1-c.out: is a directory\n");
  EXPECT_EQ(testing::fatal_text_of([&] {
              InputFile::open_or_fatal(dir.workdir().local("NET1-c.out"), IfMissing::kFail);
            }),
            " ** Fatal Error: the file cannot be opened, file NET1-c.out: is a directory\n");
  EXPECT_EQ(testing::fatal_text_of([&] {
              InputFile::open_or_fatal(dir.workdir().local("none"), IfMissing::kFail);
            }),
            " ** Fatal Error: the file cannot be opened, file none: no such file or directory\n");
}

}  // namespace
}  // namespace pavecast
