#include "io/output_paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/test_support.h"

namespace pavecast {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

// The reason `name` (as the --csv output, relative to the working
// directory) is refused, or "" when it may be written.
std::string why(const TempDir& dir, const std::string& name,
                const std::vector<NamedOutput>& others = {}) {
  std::vector<NamedOutput> outputs = others;
  outputs.push_back({"--csv", name, dir.path() / name});
  auto refusal = refuse_outputs(outputs, dir.path(), program_inputs(dir.path()));
  return refusal ? *refusal : "";
}

// An input is one by its identity, whatever name reaches it; a name that
// does not exist yet is judged by where it is.
TEST(OutputPaths, InputsAndTheProgramsFilesAreRefusedByIdentityAndPlace) {
  TempDir dir;
  dir.write("data/repairs.dat", "x\n");
  dir.write("roads/NET1", "x\n");
  fs::create_symlink("data/repairs.dat", dir.path() / "link.csv");
  fs::create_hard_link(dir.path() / "roads/NET1", dir.path() / "hard.csv");
  EXPECT_EQ(why(dir, "data/repairs.dat"), "--csv data/repairs.dat: it is a file the command reads");
  EXPECT_EQ(why(dir, "link.csv"), "--csv link.csv: it is a file the command reads");
  EXPECT_EQ(why(dir, "hard.csv"), "--csv hard.csv: it is a file the command reads");
  EXPECT_EQ(why(dir, "data/new.csv"), "--csv data/new.csv: it is in the program's data folder");
  for (const char* product : {"NET1-c.out", "NET1-C.RES", "trace.001", "userdata.tmp"})
    EXPECT_EQ(why(dir, product),
              std::string("--csv ") + product + ": it is one of the program's own output files");
  // Elsewhere the same names are the user's.
  fs::create_directory(dir.path() / "results");
  EXPECT_EQ(why(dir, "results/NET1-c.out"), "");
  EXPECT_EQ(why(dir, "plan.csv"), "");
  EXPECT_EQ(dir.read("data/repairs.dat"), "x\n");
}

TEST(OutputPaths, FoldersDirectoriesDevicesAndOutputsNamedTwice) {
  TempDir dir;
  EXPECT_EQ(why(dir, "missing/x.csv"), "--csv missing/x.csv: its folder does not exist");
  EXPECT_EQ(why(dir, "data"), "--csv data: it is a directory");
  fs::create_directory_symlink(dir.path() / "roads", dir.path() / "to-roads");
  EXPECT_EQ(why(dir, "to-roads"), "--csv to-roads: it is a directory");
  ASSERT_EQ(::mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(why(dir, "fifo"), "--csv fifo: it is not a regular file");
  if (::geteuid() != 0) {  // root writes anywhere
    fs::create_directory(dir.path() / "locked");
    fs::permissions(dir.path() / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(why(dir, "locked/x.csv"), "--csv locked/x.csv: its folder cannot be written");
  }
  // The same file twice: by name before it exists, by identity after.
  const NamedOutput svg{"--svg", "same", dir.path() / "same"};
  EXPECT_EQ(why(dir, "./same", {svg}), "--csv ./same: it is the same file as --svg same");
  dir.write("same", "");
  fs::create_symlink("same", dir.path() / "alias");
  EXPECT_EQ(why(dir, "alias", {svg}), "--csv alias: it is the same file as --svg same");
  EXPECT_EQ(why(dir, "other", {svg}), "");
}

// The check's answer stands for what is written: an output that passes is
// replaced whole, and a link at its name is replaced, not written through.
TEST(OutputPaths, AnOutputReplacesALinkAtItsName) {
  TempDir dir;
  dir.write("target.csv", "kept\n");
  fs::create_symlink("target.csv", dir.path() / "out.csv");
  auto file = create_output({"--csv", "out.csv", dir.path() / "out.csv"});
  file->write("new\n");
  file->close();
  EXPECT_FALSE(fs::is_symlink(dir.path() / "out.csv"));
  EXPECT_EQ(dir.read("out.csv"), "new\n");
  EXPECT_EQ(dir.read("target.csv"), "kept\n");
}

}  // namespace
}  // namespace pavecast
