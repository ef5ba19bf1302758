#include "output/closing.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "output/printing.h"
#include "support/scenario.h"
#include "support/test_support.h"

namespace pavecast {
namespace {

using scenarios::blanks;
using testing::fatal_text_of;
using testing::lines;
using testing::ScriptedConsole;
using testing::TempDir;

const std::string kRecord = " Do you want the output printed? Y\n";
const std::string kAlert =
    lines({" \x1b[37;41m", "  The output did not print on the printer. ", " \x1b[33;40m"});

// A run whose report and inputs record hold one line each; printing asked
// for on port 1, whose device is the file "lp0" of the working directory.
std::unique_ptr<RunContext> ending_run(const TempDir& dir) {
  auto ctx = testing::make_context(dir);
  ctx->files.echo->write(" Do you want the output printed? Y\n");
  ctx->files.report = OutputFile::create_replacement(dir.workdir().local("x-c.out"));
  ctx->files.report->write("REPORT\n");
  ctx->output.report_file_name = "x-c.out     ";
  ctx->settings.printout_type = 3;
  ctx->settings.repair_order = 3;
  ctx->settings.final_conditions_answer = 'N';
  ctx->settings.print_answer = 'Y';
  ctx->settings.printer_port = 1;
  ctx->printers.device_prefix = (dir.path() / "lp").string();
  ctx->settings.years = 2;
  ctx->settings.year_slots = 3;
  ctx->stats.pct_poor[3] = 12.34f;
  ctx->stats.pct_fair[3] = 5.0f;
  dir.write("data/error.dat", "0\n");
  dir.write("lp0", "");
  return ctx;
}

std::string closing_list(const std::string& report, const std::string& inputs,
                         const std::string& conditions = "NA          ",
                         const std::string& improvements = "NA          ",
                         const std::string& poor = "12.3", const std::string& fair = " 5.0") {
  return lines({
      " The output is in the following files:",
      "",
      blanks(12) + "The highway condition projection .......... " + report,
      "",
      blanks(12) + "The user inputs for this simulation ....... " + inputs,
      "",
      blanks(12) + "The highway condition by year ............. " + conditions,
      "",
      blanks(12) + "The improvements done by year ............. " + improvements,
      "",
      blanks(12) + "The trace info, if any (xx is segment #)... trace.xx",
      "",
      " The final percent poor is " + poor + "%.",
      " The final percent fair is " + fair + "%.",
      "",
      "",
      " The program is done running.",
  });
}

TEST(FinishRun, PrintsTheReportAndTheInputsRecord) {
  TempDir dir;
  auto ctx = ending_run(dir);
  ScriptedConsole console;
  finish_run(output_of(*ctx), console);

  EXPECT_EQ(console.output(), closing_list("x-c.out     ", "x-c.res     "));
  EXPECT_EQ(dir.read("x-c.out"), "REPORT\n\f\n");
  EXPECT_EQ(dir.read("x-c.res"), kRecord + "\f\n");
  EXPECT_EQ(dir.read("lp0"), "REPORT\n\f\n" + kRecord + "\f\n");
  EXPECT_FALSE(dir.exists("userdata.tmp"));
  EXPECT_FALSE(dir.exists("temptemp.bat"));
  EXPECT_EQ(ctx->output.inputs_file_name, "x-c.res     ");
  EXPECT_EQ(ctx->output.printer_status, 0);
}

// The command file stands beside each copy to the printer while it is made.
// The device here is a pipe, and each copy is larger than a pipe holds, so a
// copy is still under way when its first bytes arrive.
TEST(FinishRun, CommandFileDescribesEachCopyToThePrinter) {
  TempDir dir;
  auto ctx = ending_run(dir);
  const std::string filler = std::string(99, '=') + "\n";
  for (int i = 0; i < 3000; ++i) {
    ctx->files.report->write(filler);
    ctx->files.echo->write(std::string(99, '-') + "\n");
  }
  const std::size_t report_size = 7 + 3000 * 100 + 2;
  const std::size_t record_size = kRecord.size() + 3000 * 100 + 2;

  std::filesystem::remove(dir.path() / "lp0");
  std::string fifo = (dir.path() / "lp0").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  int device = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(device, 0);
  ::fcntl(device, F_SETFL, 0);

  std::vector<std::string> commands;
  std::string printed;
  std::atomic<bool> done{false};
  std::thread printer([&] {
    char buffer[4096];
    while (printed.size() < report_size + record_size) {
      ssize_t n = ::read(device, buffer, sizeof buffer);
      if (n < 0) break;
      if (n == 0) {  // no copy under way
        if (done) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        continue;
      }
      std::size_t before = printed.size();
      printed.append(buffer, static_cast<std::size_t>(n));
      if (before == 0 || (before <= report_size && printed.size() > report_size))
        commands.push_back(dir.read("temptemp.bat"));
    }
  });
  ScriptedConsole console;
  finish_run(output_of(*ctx), console);
  done = true;
  printer.join();
  ::close(device);

  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0], "@echo off\ncopy x-c.out      lpt1 >\\nul\n");
  EXPECT_EQ(commands[1], "@echo off\ncopy userdata.tmp lpt1 >\\nul\n");
  EXPECT_EQ(printed, dir.read("x-c.out") + dir.read("x-c.res"));
  EXPECT_EQ(printed.size(), report_size + record_size);
  EXPECT_FALSE(dir.exists("temptemp.bat"));
  EXPECT_EQ(console.output(), closing_list("x-c.out     ", "x-c.res     "));
}

TEST(FinishRun, CommandFileTexts) {
  TempDir dir;
  RunContext ctx(dir.workdir());
  ctx.output.report_file_name = "rd96-c.out  ";
  ctx.output.inputs_file_name = "rd96-c.res  ";
  ctx.settings.printer_port = 2;
  EXPECT_EQ(print_report_command(output_of(ctx)), "@echo off\ncopy rd96-c.out   lpt2 >\\nul\n");
  EXPECT_EQ(print_inputs_command(output_of(ctx)), "@echo off\ncopy userdata.tmp lpt2 >\\nul\n");
  ctx.output.report_file_name = "LONGNAME-c.out";
  EXPECT_EQ(print_report_command(output_of(ctx)), "@echo off\ncopy LONGNAME-c.out lpt2 >\\nul\n");

  ctx.printers.device_prefix = "/dev/lp";
  EXPECT_EQ(printer_device(output_of(ctx)), "/dev/lp1");
  ctx.settings.printer_port = 0;
  EXPECT_EQ(printer_device(output_of(ctx)), "");
}

// Port 0 has no device, and a port whose device does not exist cannot be
// printed to: each failed copy is reported at once.
TEST(FinishRun, FailedCopiesAlertRightAfterEachCopy) {
  for (int32_t port : {0, 3}) {
    TempDir dir;
    auto ctx = ending_run(dir);
    ctx->settings.printer_port = port;
    ScriptedConsole console;
    finish_run(output_of(*ctx), console);
    EXPECT_EQ(console.output(), kAlert + kAlert + closing_list("x-c.out     ", "x-c.res     "))
        << port;
    EXPECT_EQ(dir.read("x-c.res"), kRecord + "\f\n");
    EXPECT_FALSE(dir.exists("lp2"));  // the device is never created
    EXPECT_FALSE(dir.exists("temptemp.bat"));
    EXPECT_FALSE(dir.exists("userdata.tmp"));
  }
}

// A printer problem skips the printing only: the inputs record is still
// completed and kept, and the alert follows the closing list.
TEST(FinishRun, PrinterProblemStillKeepsTheInputsRecord) {
  TempDir dir;
  auto ctx = ending_run(dir);
  dir.write("data/error.dat", "1\n");
  ScriptedConsole console("\n");
  finish_run(output_of(*ctx), console);
  EXPECT_EQ(console.output(),
            lines({" There is a problem with the printer. ",
                   "The program will terminate when the <Enter> key is pressed.", " \x1b[33;40m"}) +
                closing_list("x-c.out     ", "x-c.res     ") + kAlert);
  EXPECT_EQ(ctx->output.printer_status, 1);
  EXPECT_EQ(dir.read("lp0"), "");
  EXPECT_EQ(dir.read("x-c.res"), kRecord + "\f\n");
  EXPECT_FALSE(dir.exists("userdata.tmp"));
}

// The run's files took their names before printing: the stop keeps them all.
TEST(FinishRun, EmptyPrinterStatusFileStopsAfterTheReport) {
  TempDir dir;
  auto ctx = ending_run(dir);
  std::filesystem::remove(dir.path() / "data" / "error.dat");
  ScriptedConsole console;
  EXPECT_EQ(fatal_text_of([&] { finish_run(output_of(*ctx), console); }),
            " ** Fatal Error: unexpected end of file, file data/error.dat, line 1\n");
  EXPECT_EQ(dir.read("x-c.out"), "REPORT\n\f\n");
  EXPECT_TRUE(dir.exists("data/error.dat"));
  EXPECT_TRUE(dir.read("x-c.res").ends_with("\f\n"));
}

// No printing: the status file is not read. The priorities of repair order 2
// close the inputs record, names longer than 12 characters are shown whole,
// and every listing is closed with what it holds.
TEST(FinishRun, WithoutPrintingPrioritiesAndLongNames) {
  TempDir dir;
  auto ctx = ending_run(dir);
  std::filesystem::remove(dir.path() / "data" / "error.dat");
  ctx->settings.print_answer = 'N';
  ctx->settings.printout_type = 1;
  ctx->settings.repair_order = 2;
  for (int k = 1; k <= 10; ++k) ctx->tables.priority[k] = 100 * k + k;
  ctx->files.report = OutputFile::create_replacement(dir.workdir().local("LONGNAME-c.out"));
  ctx->output.report_file_name = "LONGNAME-c.out";
  ctx->output.condition_file_name = "LONGNAME-c.scr";
  ctx->output.improvements_file_name = "LONGNAME-c.rep";
  ctx->files.segment_list = OutputFile::create_replacement(dir.workdir().local("LONGNAME-c.scr"));
  ctx->files.segment_list->write("segments\n");
  ctx->files.improvements = OutputFile::create_replacement(dir.workdir().local("LONGNAME-c.rep"));
  ctx->files.improvements->write("repairs\n");
  ctx->files.trace[1] = OutputFile::create_replacement(dir.workdir().local("trace.  5"));
  ctx->files.trace[1]->write("trace\n");
  ScriptedConsole console;
  finish_run(output_of(*ctx), console);

  EXPECT_EQ(console.output(),
            closing_list("LONGNAME-c.out", "LONGNAME-c.res", "LONGNAME-c.scr", "LONGNAME-c.rep"));
  std::string priorities = lines({"", "", blanks(28) + "Road Score" + blanks(7) + "Priority",
                                  blanks(28) + "----------" + blanks(7) + "--------", ""});
  for (int k = 1; k <= 8; ++k)
    priorities += blanks(33) + std::to_string(k) + blanks(14) + std::to_string(101 * k) + "\n";
  EXPECT_EQ(dir.read("LONGNAME-c.res"), kRecord + priorities +
                                            "\x1b"
                                            "E\n");
  EXPECT_EQ(dir.read("LONGNAME-c.out"),
            "\x1b"
            "E\n");
  EXPECT_EQ(dir.read("LONGNAME-c.scr"), "segments\n");
  EXPECT_EQ(dir.read("LONGNAME-c.rep"), "repairs\n");
  EXPECT_EQ(dir.read("trace.  5"), "trace\n");
  EXPECT_FALSE(dir.exists("data/error.dat"));
  EXPECT_FALSE(dir.exists("userdata.tmp"));
  EXPECT_EQ(dir.read("lp0"), "");
}

// The final-conditions file comes first and is complete before the end of
// the report is written.
TEST(FinishRun, FinalConditionsBeforeTheEndOfTheReport) {
  TempDir dir;
  auto ctx = ending_run(dir);
  ctx->settings.print_answer = 'N';
  ctx->settings.final_conditions_answer = 'Y';
  ctx->settings.final_conditions_file = "OUT.PRD";
  ctx->network.first_year = 2000;
  ctx->network.network_name = "N";
  ctx->tables.pavement.pavement_type_count = 1;
  ctx->tables.pavement.pavement_type_name[1] = "OVERLAY";
  ScriptedConsole console;
  finish_run(output_of(*ctx), console);
  EXPECT_EQ(console.output(), "Writing final condition data to \"OUT.PRD     \".\n" +
                                  closing_list("x-c.out     ", "x-c.res     "));
  EXPECT_EQ(dir.read("OUT.PRD"),
            lines({"2002      ", "N                    ", "OVERLAY ", blanks(76)}));
}

TEST(FinishRun, InputsRecordNameFollowsTheReportName) {
  EXPECT_EQ(inputs_name("rd96-c.out  "), "rd96-c.res  ");
  EXPECT_EQ(inputs_name("ninechars.out"), "ninechars.res");
  EXPECT_EQ(inputs_name("LONGNAME-c.out"), "LONGNAME-c.res");
}

}  // namespace
}  // namespace pavecast
