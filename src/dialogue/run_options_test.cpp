#include "dialogue/run_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "support/test_support.h"

namespace pavecast {
namespace {

using testing::echo_text;
using testing::lines;
using testing::make_context;
using testing::ScriptedConsole;
using testing::TempDir;

using testing::kFooter;
const std::string kBlank76 = std::string(76, ' ') + "\n";
const std::string kPause = " Press the enter key to continue.\n";

std::string printout_question(char shown) {
  return lines({"", "", std::string(" Enter the number of the type of printout? ") + shown,
                "                     1  Condensed Print on a LaserJet                ",
                "                     2  Condensed Format on a Dot Matrix Printer     ",
                "                     3  Six Lines Per Inch Format on a Dot Matrix    "}) +
         kFooter;
}

std::string date_question(char answer) {
  return std::string(" Do you want the date and time printed? ") + answer +
         std::string(35, ' ') + "\n";
}

std::string trace_question(char answer) {
  return std::string(" Do you want to trace the scores of any segments ? ") + answer + "\n";
}

const std::string kHowMany =
    lines({" How many segments do you want to trace?  (Note: you may be limited by",
           "  your system configuration.)"});

std::string enter_each(const char* count) {
  return lines(
      {std::string(" Enter the numbers of each the ") + count + " segment(s) to be traced.",
       "  Hit return after each one."});
}

std::string prompt(int t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, " Enter segment # %2d: \n", t);
  return buf;
}

const std::string kListHeading =
    lines({" The trace information will be written on the following files:", "", ""});

TEST(PrintoutOptions, RefusedTypeBecomesTheDefaultUntilAValidOne) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->printout_type = 3;
  ctx->page_lines = 53;
  ctx->date_time_answer = 'N';
  ctx->trace_answer = 'N';
  ScriptedConsole sc(lines({"5", "", "2", "y", ""}));
  ask_printout_options(dialogue_of(*ctx, sc), *ctx);

  EXPECT_EQ(sc.output(), printout_question('3') + printout_question('5') +
                             printout_question('5') + date_question('N') + kFooter + kFooter +
                             kBlank76 + trace_question('N'));
  EXPECT_EQ(echo_text(*ctx, dir),
            lines({"", "", " Enter the number of the type of printout? 5", "", "",
                   " Enter the number of the type of printout? 5", "", "",
                   " Enter the number of the type of printout? 2"}) +
                date_question('Y') + trace_question('N'));
  EXPECT_EQ(ctx->printout_type, 2);
  EXPECT_EQ(ctx->page_lines, 74);
  EXPECT_EQ(ctx->date_time_answer, 'Y');
  EXPECT_EQ(ctx->trace_count, 0);
}

TEST(PrintoutOptions, TypeThreePrintsFiftyThreeLinesAndZeroKeepsTheDefault) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->printout_type = 3;
  ScriptedConsole sc(lines({"0", "", "N"}));
  ask_printout_options(dialogue_of(*ctx, sc), *ctx);
  EXPECT_EQ(ctx->printout_type, 3);
  EXPECT_EQ(ctx->page_lines, 53);
}

TEST(TraceOptions, ThirteenEntriesWithTagsAsTypedInThreeLines) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->printout_type = 1;
  ctx->trace_answer = 'N';
  // Left over from an earlier pass: cleared once the list has been shown.
  ctx->trace_segment[14] = 99;
  ctx->trace_tag[14] = "99 ";
  ctx->trace_file_name[14] = "trace.99 ";
  // The count: a negative reply and a letter are read again.
  ScriptedConsole sc(lines({"", "", "yes", "-3", "ab", "13", "12", "  7", "x1", "19  extra",
                            "105", "6", "7", "8", "9", "10", "11", "1", "2", "3", ""}));
  ask_printout_options(dialogue_of(*ctx, sc), *ctx);
  show_trace_files(dialogue_of(*ctx, sc), *ctx);

  std::string expected = printout_question('1') + date_question('N') + kFooter + kFooter +
                         kBlank76 + trace_question('N') + kHowMany + enter_each("13");
  for (int t = 1; t <= 13; ++t) {
    expected += prompt(t);
    if (t == 3) expected += prompt(3);  // "x1" is no number
  }
  expected += kListHeading +
              lines({"  trace.12    trace.  7   trace.19    trace.105   trace.6     trace.7  ",
                     "  trace.8     trace.9     trace.10    trace.11    trace.1     trace.2  ",
                     "  trace.3  "}) +
              kPause;
  EXPECT_EQ(sc.output(), expected);

  EXPECT_EQ(ctx->trace_count, 13);
  EXPECT_EQ(ctx->trace_tag[1], "12 ");
  EXPECT_EQ(ctx->trace_segment[1], 12);
  EXPECT_EQ(ctx->trace_file_name[1], "trace.12 ");
  EXPECT_EQ(ctx->trace_tag[2], "  7");
  EXPECT_EQ(ctx->trace_segment[2], 7);
  EXPECT_EQ(ctx->trace_file_name[2], "trace.  7");
  EXPECT_EQ(ctx->trace_segment[3], 19);
  EXPECT_EQ(ctx->trace_segment[4], 105);
  EXPECT_EQ(ctx->trace_segment[14], 0);
  EXPECT_EQ(ctx->trace_tag[14], "   ");
  EXPECT_EQ(ctx->trace_file_name[14], "         ");

  // Neither the count nor the entries are echoed.
  EXPECT_EQ(echo_text(*ctx, dir),
            lines({"", "", " Enter the number of the type of printout? 1"}) + date_question('N') +
                trace_question('Y'));
}

TEST(TraceOptions, ContinueEnteringFromTheSeventeenthEntry) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->printout_type = 1;
  ctx->trace_answer = 'Y';
  std::string replies = lines({"", "", "", "20"});
  for (int t = 1; t <= 20; ++t) replies += std::to_string(t) + "\n";
  ScriptedConsole sc(replies);
  ask_printout_options(dialogue_of(*ctx, sc), *ctx);

  std::string expected = printout_question('1') + date_question('N') + kFooter + kFooter +
                         kBlank76 + trace_question('Y') + kHowMany + enter_each("20");
  for (int t = 1; t <= 20; ++t) {
    if (t >= 17) expected += "  Continue entering:\n";
    expected += prompt(t);
  }
  EXPECT_EQ(sc.output(), expected);
  EXPECT_EQ(ctx->trace_count, 20);
  EXPECT_EQ(ctx->trace_file_name[20], "trace.20 ");
}

TEST(TraceOptions, CountZeroShowsTheHeadingAloneThenPauses) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->printout_type = 1;
  ctx->trace_answer = 'Y';
  ScriptedConsole sc(lines({"", "", "", "", ""}));
  ask_printout_options(dialogue_of(*ctx, sc), *ctx);
  sc.clear_output();
  show_trace_files(dialogue_of(*ctx, sc), *ctx);
  EXPECT_EQ(ctx->trace_count, 0);
  EXPECT_EQ(sc.output(), kListHeading + kPause);
}

TEST(TraceOptions, NoTracingSkipsTheListAndClearsTheCount) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->printout_type = 1;
  ctx->trace_answer = 'Y';
  ctx->trace_count = 5;  // a traced pass before a way back
  ScriptedConsole sc(lines({"", "", "n"}));
  ask_printout_options(dialogue_of(*ctx, sc), *ctx);
  sc.clear_output();
  show_trace_files(dialogue_of(*ctx, sc), *ctx);
  EXPECT_EQ(ctx->trace_answer, 'N');
  EXPECT_EQ(ctx->trace_count, 0);
  EXPECT_EQ(sc.output(), "");
}

// Names six to a line: 99 entries make 17 lines, with a pause after the
// 15th; 90 make exactly 15, so only the closing pause.
TEST(TraceOptions, LongListsPauseAfterFifteenLinesWhenMoreFollow) {
  for (int count : {99, 90}) {
    TempDir dir;
    auto ctx = make_context(dir);
    ctx->trace_answer = 'Y';
    ctx->trace_count = count;
    for (int t = 1; t <= count; ++t) ctx->trace_file_name[t] = "trace." + std::to_string(t);
    ScriptedConsole sc(lines({"", ""}));
    show_trace_files(dialogue_of(*ctx, sc), *ctx);

    std::string expected = kListHeading;
    int line_count = (count + 5) / 6;
    for (int line = 1; line <= line_count; ++line) {
      std::string text;
      for (int t = (line - 1) * 6 + 1; t <= std::min(line * 6, count); ++t) {
        std::string name = ctx->trace_file_name[t].str();
        text += "  " + name + " ";
      }
      // The last field's closing blank is not written.
      text.pop_back();
      expected += text + "\n";
      if (line == 15 && line < line_count) expected += kPause;
    }
    expected += kPause;
    EXPECT_EQ(sc.output(), expected) << count << " entries";
  }
}

TEST(ForceFix, NameReplacesTheDefaultUnlessTheReplyBeginsWithABlank) {
  const std::string question_y =
      kFooter + " Do you want to force any roads to be repaired in particular years? Y\n" +
      "  Enter the filename with a list of segments to \"force-fix\" or hit <Return>.  \n" +
      "force.txt   \n";
  struct Case {
    const char* reply;
    const char* file;
  } cases[] = {{"fix.dat", "fix.dat     "},
               {" fix.dat", "force.txt   "},
               {"", "force.txt   "},
               {"a-name-longer-than-12", "a-name-longe"}};
  for (const Case& c : cases) {
    TempDir dir;
    auto ctx = make_context(dir);
    ctx->force_fix_answer = 'Y';
    ctx->force_fix_file = "force.txt";
    ScriptedConsole sc(lines({"", c.reply}));
    ask_force_fix(dialogue_of(*ctx, sc), *ctx);
    EXPECT_EQ(sc.output(), question_y) << c.reply;
    EXPECT_EQ(ctx->force_fix_file, c.file) << c.reply;
    EXPECT_EQ(echo_text(*ctx, dir),
              " Do you want to force any roads to be repaired in particular years? Y\n" +
                  std::string(" Enter the filename with a list of segments to \"force-fix\".  ") +
                  c.file + "\n")
        << c.reply;
  }
}

TEST(ForceFix, AnswerNoAsksForNoFile) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->force_fix_answer = 'Y';
  ctx->force_fix_file = "force.txt";
  ScriptedConsole sc(lines({"no"}));
  ask_force_fix(dialogue_of(*ctx, sc), *ctx);
  EXPECT_EQ(sc.output(),
            kFooter + " Do you want to force any roads to be repaired in particular years? Y\n");
  EXPECT_EQ(ctx->force_fix_answer, 'N');
  EXPECT_EQ(ctx->force_fix_file, "force.txt   ");
  EXPECT_EQ(echo_text(*ctx, dir),
            " Do you want to force any roads to be repaired in particular years? N\n");
}

const std::string kRecoveryQuestion =
    lines({" You requested to trace  10 segments.  You may only trace   3.",
           " Do you want to keep your entries (k) or reenter them (r) (k/r)? "});

// Ten entries whose first three trace files are open, as the loader leaves
// them when the fourth cannot be created.
std::unique_ptr<RunContext> context_with_open_traces(const TempDir& dir) {
  auto ctx = make_context(dir);
  ctx->trace_answer = 'Y';
  ctx->trace_count = 10;
  for (int t = 1; t <= 10; ++t) {
    ctx->trace_segment[t] = t;
    ctx->trace_tag[t] = std::to_string(t);
    ctx->trace_file_name[t] = "trace." + std::to_string(t);
  }
  for (int t = 1; t <= 3; ++t) {
    ctx->files.trace[t] =
        OutputFile::create_replacement(dir.workdir().local(ctx->trace_file_name[t].trimmed()));
    ctx->files.trace[t]->write("heading\n");
  }
  return ctx;
}

TEST(TraceRecovery, KeepCutsTheCountToTheFilesOpened) {
  TempDir dir;
  auto ctx = context_with_open_traces(dir);
  ScriptedConsole sc(lines({"", "x", "Keep"}));
  EXPECT_EQ(recover_trace_files(dialogue_of(*ctx, sc), *ctx, ctx->files, 4), TraceRecovery::kKeep);
  EXPECT_EQ(sc.output(), kRecoveryQuestion);
  EXPECT_EQ(ctx->trace_count, 3);
  EXPECT_EQ(ctx->trace_segment[3], 3);
  ctx->files.trace[1]->close();
  EXPECT_EQ(dir.read("trace.1"), "heading\n");
}

TEST(TraceRecovery, ReenterDeletesOnlyTheFilesOpenedAndClearsTheEntries) {
  TempDir dir;
  // A file of an entry's name that this pass did not open stays.
  dir.write("trace.5", "from another run\n");
  auto ctx = context_with_open_traces(dir);
  ScriptedConsole sc(lines({"R"}));
  EXPECT_EQ(recover_trace_files(dialogue_of(*ctx, sc), *ctx, ctx->files, 4),
            TraceRecovery::kReenter);
  EXPECT_EQ(sc.output(), kRecoveryQuestion + kBlank76 + kBlank76 + kBlank76 +
                             " Deleting Previous Entries\n");
  for (int t = 1; t <= 3; ++t) {
    EXPECT_FALSE(dir.exists("trace." + std::to_string(t))) << t;
    EXPECT_FALSE(ctx->files.trace[t]) << t;
  }
  EXPECT_EQ(dir.read("trace.5"), "from another run\n");
  for (int t = 1; t <= 10; ++t) {
    EXPECT_EQ(ctx->trace_segment[t], 0) << t;
    EXPECT_TRUE(ctx->trace_tag[t].blank()) << t;
    EXPECT_TRUE(ctx->trace_file_name[t].blank()) << t;
  }
}

}  // namespace
}  // namespace pavecast
