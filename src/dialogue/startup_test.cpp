#include "dialogue/startup.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/run_driver.h"
#include "fatal/fatal.h"
#include "support/test_support.h"

namespace pavecast::testing {
namespace {

TEST(Introduction, OnlyAFirstLetterYShowsTheBanner) {
  for (const char* reply : {"\n", "n\n", " y\n", "x\n"}) {
    ScriptedConsole c(reply);
    offer_introduction(c);
    EXPECT_EQ(c.replies_read(), 1) << reply;
    EXPECT_EQ(last_word(c.shown_before(1)), "N") << reply;
    EXPECT_EQ(c.shown_before(2), "") << reply;
  }
  // A pause, the banner of 15 lines and a pause.
  ScriptedConsole c("yes\n\n\n");
  offer_introduction(c);
  EXPECT_EQ(c.replies_read(), 3);
  EXPECT_EQ(split_lines(c.shown_before(2)).size(), 1u);
  const std::string banner = c.shown_before(3);
  EXPECT_EQ(split_lines(banner).size(), 15u + 1u);
  EXPECT_TRUE(
      banner.starts_with("               ****************************************************\n"));
  EXPECT_EQ(count_of(banner, "\n               *     At any time you can hit <Cnrl C> to      *\n"),
            1);
  EXPECT_TRUE(
      banner.ends_with("               ****************************************************\n" +
                       split_lines(c.shown_before(2))[0] + "\n"));
  EXPECT_EQ(c.shown_before(4), "");
}

class StartUp : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("data/default.dat", "\nN\n 0\n");
    dir.write("data/printer.def", "2\n");
  }
  // The whole program, so that the exit status and message are observed.
  int run(const std::string& replies, std::string* console = nullptr) {
    ProgramOptions options;
    options.workdir = dir.workdir();
    std::istringstream in(replies);
    std::ostringstream out;
    int status = run_program(options, in, out);
    if (console) *console = out.str();
    return status;
  }
  TempDir dir;
};

TEST_F(StartUp, ReadsThePrinterPort) {
  RunContext ctx(dir.workdir());
  start_up(ctx.settings, ctx.files, ctx.workdir, StartTime{2026, 12, 8, 9, 5});
  EXPECT_EQ(ctx.settings.printer_port, 2);
  EXPECT_EQ(ctx.settings.start_time.minute, 5);
  EXPECT_TRUE(dir.exists("userdata.tmp"));

  dir.write("data/printer.def", "\r\n");
  RunContext ctx2(dir.workdir());
  start_up(ctx2.settings, ctx2.files, ctx2.workdir, StartTime{});
  EXPECT_EQ(ctx2.settings.printer_port, 0);  // an empty line is port 0
}

TEST_F(StartUp, MissingEmptyOrBadStartUpFilesStopTheRun) {
  struct Case {
    const char* file;
    const char* content;  // nullptr: missing
    const char* message;
  } cases[] = {
      {"data/default.dat", nullptr,
       " ** Fatal Error: the file cannot be opened, file data/default.dat: no such file or "
       "directory\n"},
      {"data/default.dat", "\nN\n",
       " ** Fatal Error: unexpected end of file, file data/default.dat, line 3\n"},
      {"data/printer.def", nullptr,
       " ** Fatal Error: the file cannot be opened, file data/printer.def: no such file or "
       "directory\n"},
      {"data/printer.def", "",
       " ** Fatal Error: unexpected end of file, file data/printer.def, line 1\n"},
      {"data/printer.def", "L\n",
       " ** Fatal Error: unreadable record, file data/printer.def, line 1\n"},
  };
  for (const Case& k : cases) {
    SetUp();
    if (k.content)
      dir.write(k.file, k.content);
    else
      std::filesystem::remove(dir.path() / k.file);
    std::string console;
    EXPECT_EQ(run("n\n", &console), 1) << k.file;
    EXPECT_EQ(console, k.message) << k.file;
    EXPECT_EQ(dir.exists(k.file), k.content != nullptr);  // nothing created
  }
}

TEST_F(StartUp, TheConsoleClosingEarlyStopsTheRun) {
  std::string console;
  EXPECT_EQ(run("", &console), 1);
  // The one question asked, then the stop.
  EXPECT_EQ(split_lines(console).size(), 3u);
  EXPECT_TRUE(console.ends_with("? N\n ** Fatal Error: end of console input\n")) << console;
}

}  // namespace
}  // namespace pavecast::testing
