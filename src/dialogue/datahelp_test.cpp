#include "dialogue/datahelp.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace pavecast::testing {
namespace {

// Checks that the summary shown holds the ten rows, then a blank line and
// the total, and that it waits for one reply.
void expect_summary(const ScriptedConsole& c, const std::array<const char*, 10>& rows,
                    const char* total) {
  std::string block = "\n";
  for (const char* r : rows) block += std::string(r) + "\n";
  block += "\n";
  const std::string out = c.output();
  const std::size_t at = out.find(block);
  ASSERT_NE(at, std::string::npos) << out;
  EXPECT_TRUE(split_lines(out.substr(at + block.size()))[0].ends_with(total)) << out;
  EXPECT_EQ(c.replies_read(), 1);
}

TEST(Datahelp, SumsTheMilesOfTheFirstFourGroupsByScore) {
  TempDir dir;
  dir.write("roads/NET1", lines({"1996 NAMES", "Test network",
                                 "ACC", " 3  10.0", " 3   2.4", " 0  50.0", "10   7.6", "",
                                 "PCC", " 1   1.0", "12  99.0", "-1  99.0", "",
                                 "ACC", " 5   0.5", "",
                                 "PCC", " 5   0.5", "",
                                 "ACC", " 7 500.0", ""}));
  ScriptedConsole c("\n");
  datahelp(c.console(), dir.workdir().roads("NET1"));
  expect_summary(c,
                 {"                                1              1.",
                  "                                2              0.",
                  "                                3             12.",
                  "                                4              0.",
                  "                                5              1.",
                  "                                6              0.",
                  "                                7              0.",
                  "                                8              0.",
                  "                                9              0.",
                  "                               10              8."},
                 "             22.");
}

TEST(Datahelp, AFileWithOnlyItsOpeningLinesShowsZeros) {
  TempDir dir;
  dir.write("roads/R", "1996 NAMES\r\nname\r\n");
  ScriptedConsole c("\n");
  datahelp(c.console(), dir.workdir().roads("R"));
  std::array<const char*, 10> rows = {
      "                                1              0.",
      "                                2              0.",
      "                                3              0.",
      "                                4              0.",
      "                                5              0.",
      "                                6              0.",
      "                                7              0.",
      "                                8              0.",
      "                                9              0.",
      "                               10              0."};
  expect_summary(c, rows, "              0.");
}

TEST(Datahelp, StopsOnAMissingShortOrUnterminatedFile) {
  TempDir dir;
  dir.write("roads/SHORT", "1996 NAMES\n");
  dir.write("roads/OPEN", lines({"1996", "name", "ACC", " 3  10.0"}));
  dir.write("roads/BAD", lines({"1996", "name", "ACC", " x  10.0", ""}));
  struct Case {
    const char* name;
    const char* message;
  } cases[] = {
      {"NONE", " ** Fatal Error: the file cannot be opened, file roads/NONE: no such file or directory\n"},
      {"SHORT", " ** Fatal Error: unexpected end of file, file roads/SHORT, line 2\n"},
      {"OPEN", " ** Fatal Error: unexpected end of file, file roads/OPEN, line 5\n"},
      {"BAD", " ** Fatal Error: unreadable record, file roads/BAD, line 4\n"},
  };
  for (const Case& k : cases) {
    ScriptedConsole c("\n");
    EXPECT_EQ(fatal_text_of([&] { datahelp(c.console(), dir.workdir().roads(k.name)); }),
              k.message);
  }
  EXPECT_FALSE(dir.exists("roads/NONE"));  // the failed open creates nothing
}

}  // namespace
}  // namespace pavecast::testing
