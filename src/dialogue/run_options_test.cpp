#include "dialogue/run_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "support/test_support.h"

namespace pavecast::testing {
namespace {

using Answers = std::vector<std::string>;

TEST(PrintoutOptions, RefusedTypeBecomesTheDefaultUntilAValidOne) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->settings.printout_type = 3;
  ctx->settings.page_lines = 53;
  ctx->settings.date_time_answer = 'N';
  ctx->settings.trace_answer = 'N';
  ScriptedConsole sc(lines({"5", "", "2", "y", ""}));
  ask_printout_options(dialogue_of(*ctx, sc), ctx->settings);

  EXPECT_EQ(sc.replies_read(), 5);
  EXPECT_EQ(answer_shown(sc.shown_before(1)), "3");
  EXPECT_EQ(answer_shown(sc.shown_before(2)), "5");
  EXPECT_EQ(sc.shown_before(3), sc.shown_before(2));
  EXPECT_EQ(answer_shown(sc.shown_before(4)), "N");
  // Every type typed is echoed, the refused ones too.
  EXPECT_EQ(echo_answers(*ctx, dir), (Answers{"5", "5", "2", "Y", "N"}));
  EXPECT_EQ(ctx->settings.printout_type, 2);
  EXPECT_EQ(ctx->settings.page_lines, 74);
  EXPECT_EQ(ctx->settings.date_time_answer, 'Y');
  EXPECT_EQ(ctx->settings.trace_count, 0);
}

TEST(PrintoutOptions, TypeThreePrintsFiftyThreeLinesAndZeroKeepsTheDefault) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->settings.printout_type = 3;
  ScriptedConsole sc(lines({"0", "", "N"}));
  ask_printout_options(dialogue_of(*ctx, sc), ctx->settings);
  EXPECT_EQ(ctx->settings.printout_type, 3);
  EXPECT_EQ(ctx->settings.page_lines, 53);
}

TEST(TraceOptions, ThirteenEntriesWithTagsAsTypedInThreeLines) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->settings.printout_type = 1;
  ctx->settings.trace_answer = 'N';
  // Left over from an earlier pass: cleared once the list has been shown.
  ctx->settings.trace_segment[14] = 99;
  ctx->settings.trace_tag[14] = "99 ";
  ctx->settings.trace_file_name[14] = "trace.99 ";
  // The count: a negative reply and a letter are read again.
  ScriptedConsole sc(
      lines({"",  "",  "yes", "-3", "ab", "13", "12", "  7", "x1", "19  extra", "105",
             "6", "7", "8",   "9",  "10", "11", "1",  "2",   "3",  ""}));
  ask_printout_options(dialogue_of(*ctx, sc), ctx->settings);
  show_trace_files(dialogue_of(*ctx, sc), ctx->settings);

  EXPECT_EQ(sc.replies_read(), 21);
  // A bad count is read again with no message; "x1" is no number, so the
  // third entry is asked for again.
  EXPECT_EQ(sc.shown_before(5), "");
  EXPECT_EQ(sc.shown_before(6), "");
  EXPECT_EQ(sc.shown_before(10), sc.shown_before(9));
  EXPECT_NE(sc.shown_before(9), sc.shown_before(8));
  EXPECT_EQ(
      count_of(sc.shown_before(21),
               lines({"  trace.12    trace.  7   trace.19    trace.105   trace.6     trace.7  ",
                      "  trace.8     trace.9     trace.10    trace.11    trace.1     trace.2  ",
                      "  trace.3  "})),
      1);
  EXPECT_EQ(sc.shown_before(22), "");

  EXPECT_EQ(ctx->settings.trace_count, 13);
  EXPECT_EQ(ctx->settings.trace_tag[1], "12 ");
  EXPECT_EQ(ctx->settings.trace_segment[1], 12);
  EXPECT_EQ(ctx->settings.trace_file_name[1], "trace.12 ");
  EXPECT_EQ(ctx->settings.trace_tag[2], "  7");
  EXPECT_EQ(ctx->settings.trace_segment[2], 7);
  EXPECT_EQ(ctx->settings.trace_file_name[2], "trace.  7");
  EXPECT_EQ(ctx->settings.trace_segment[3], 19);
  EXPECT_EQ(ctx->settings.trace_segment[4], 105);
  EXPECT_EQ(ctx->settings.trace_segment[14], 0);
  EXPECT_EQ(ctx->settings.trace_tag[14], "   ");
  EXPECT_EQ(ctx->settings.trace_file_name[14], "         ");

  // Neither the count nor the entries are echoed.
  EXPECT_EQ(echo_answers(*ctx, dir), (Answers{"1", "N", "Y"}));
}

TEST(TraceOptions, ContinueEnteringFromTheSeventeenthEntry) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->settings.printout_type = 1;
  ctx->settings.trace_answer = 'Y';
  std::string replies = lines({"", "", "", "20"});
  for (int t = 1; t <= 20; ++t) replies += std::to_string(t) + "\n";
  ScriptedConsole sc(replies);
  ask_printout_options(dialogue_of(*ctx, sc), ctx->settings);

  // Entry t is the reply 4 + t; from the 17th on, its prompt comes with a
  // line of its own before it, the same each time.
  EXPECT_EQ(sc.replies_read(), 24);
  for (int t = 2; t <= 16; ++t) EXPECT_EQ(split_lines(sc.shown_before(4 + t)).size(), 1u) << t;
  const auto seventeenth = split_lines(sc.shown_before(4 + 17));
  ASSERT_EQ(seventeenth.size(), 2u);
  for (int t = 18; t <= 20; ++t) {
    const auto shown = split_lines(sc.shown_before(4 + t));
    ASSERT_EQ(shown.size(), 2u) << t;
    EXPECT_EQ(shown[0], seventeenth[0]) << t;
  }
  EXPECT_EQ(ctx->settings.trace_count, 20);
  EXPECT_EQ(ctx->settings.trace_file_name[20], "trace.20 ");
}

TEST(TraceOptions, CountZeroShowsTheHeadingAloneThenPauses) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->settings.printout_type = 1;
  ctx->settings.trace_answer = 'Y';
  ScriptedConsole sc(lines({"", "", "", "", ""}));
  ask_printout_options(dialogue_of(*ctx, sc), ctx->settings);
  sc.clear_output();
  show_trace_files(dialogue_of(*ctx, sc), ctx->settings);
  EXPECT_EQ(ctx->settings.trace_count, 0);
  EXPECT_EQ(sc.replies_read(), 1);  // the pause
  EXPECT_EQ(count_of(sc.output(), "trace."), 0);
  EXPECT_EQ(sc.shown_before(2), "");
}

TEST(TraceOptions, NoTracingSkipsTheListAndClearsTheCount) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->settings.printout_type = 1;
  ctx->settings.trace_answer = 'Y';
  ctx->settings.trace_count = 5;  // a traced pass before a way back
  ScriptedConsole sc(lines({"", "", "n"}));
  ask_printout_options(dialogue_of(*ctx, sc), ctx->settings);
  sc.clear_output();
  show_trace_files(dialogue_of(*ctx, sc), ctx->settings);
  EXPECT_EQ(ctx->settings.trace_answer, 'N');
  EXPECT_EQ(ctx->settings.trace_count, 0);
  EXPECT_EQ(sc.output(), "");
}

// Names six to a line: 99 entries make 17 lines, with a pause after the
// 15th; 90 make exactly 15, so only the closing pause.
TEST(TraceOptions, LongListsPauseAfterFifteenLinesWhenMoreFollow) {
  for (int count : {99, 90}) {
    TempDir dir;
    auto ctx = make_context(dir);
    ctx->settings.trace_answer = 'Y';
    ctx->settings.trace_count = count;
    for (int t = 1; t <= count; ++t)
      ctx->settings.trace_file_name[t] = "trace." + std::to_string(t);
    ScriptedConsole sc(lines({"", ""}));
    show_trace_files(dialogue_of(*ctx, sc), ctx->settings);

    std::string before_pause;  // the names of lines 1..15
    std::string after_pause;   // and of the lines after them
    int line_count = (count + 5) / 6;
    for (int line = 1; line <= line_count; ++line) {
      std::string text;
      for (int t = (line - 1) * 6 + 1; t <= std::min(line * 6, count); ++t) {
        std::string name = ctx->settings.trace_file_name[t].str();
        text += "  " + name + " ";
      }
      // The last field's closing blank is not written.
      text.pop_back();
      (line <= 15 ? before_pause : after_pause) += text + "\n";
    }
    EXPECT_EQ(sc.replies_read(), count == 99 ? 2 : 1) << count;
    EXPECT_EQ(count_of(sc.shown_before(1), "\n" + before_pause), 1) << count;
    if (count == 99) {
      EXPECT_TRUE(sc.shown_before(2).starts_with(after_pause));
    }
    EXPECT_EQ(sc.shown_before(sc.replies_read() + 1), "") << count;
  }
}

TEST(ForceFix, NameReplacesTheDefaultUnlessTheReplyBeginsWithABlank) {
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
    ctx->settings.force_fix_answer = 'Y';
    ctx->settings.force_fix_file = "force.txt";
    ScriptedConsole sc(lines({"", c.reply}));
    ask_force_fix(dialogue_of(*ctx, sc), ctx->settings);
    EXPECT_EQ(sc.replies_read(), 2);
    EXPECT_EQ(last_word(sc.shown_before(1)), "Y");
    EXPECT_TRUE(sc.shown_before(2).ends_with("\nforce.txt   \n"));  // the default name
    EXPECT_EQ(ctx->settings.force_fix_file, c.file) << c.reply;
    auto echoed = echo_lines(*ctx, dir);
    ASSERT_EQ(echoed.size(), 2u);
    EXPECT_EQ(last_word(echoed[0]), "Y");
    EXPECT_TRUE(echoed[1].ends_with(std::string(" ") + c.file)) << c.reply;
  }
}

TEST(ForceFix, AnswerNoAsksForNoFile) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->settings.force_fix_answer = 'Y';
  ctx->settings.force_fix_file = "force.txt";
  ScriptedConsole sc(lines({"no"}));
  ask_force_fix(dialogue_of(*ctx, sc), ctx->settings);
  EXPECT_EQ(sc.replies_read(), 1);
  EXPECT_EQ(sc.shown_before(2), "");
  EXPECT_EQ(ctx->settings.force_fix_answer, 'N');
  EXPECT_EQ(ctx->settings.force_fix_file, "force.txt   ");
  EXPECT_EQ(echo_answers(*ctx, dir), Answers{"N"});
}

// Ten entries whose first three trace files are open, as the loader leaves
// them when the fourth cannot be created.
std::unique_ptr<RunContext> context_with_open_traces(const TempDir& dir) {
  auto ctx = make_context(dir);
  ctx->settings.trace_answer = 'Y';
  ctx->settings.trace_count = 10;
  for (int t = 1; t <= 10; ++t) {
    ctx->settings.trace_segment[t] = t;
    ctx->settings.trace_tag[t] = std::to_string(t);
    ctx->settings.trace_file_name[t] = "trace." + std::to_string(t);
  }
  for (int t = 1; t <= 3; ++t) {
    ctx->files.trace[t] = OutputFile::create_replacement(
        dir.workdir().local(ctx->settings.trace_file_name[t].trimmed()));
    ctx->files.trace[t]->write("heading\n");
  }
  return ctx;
}

TEST(TraceRecovery, KeepCutsTheCountToTheFilesOpened) {
  TempDir dir;
  auto ctx = context_with_open_traces(dir);
  ScriptedConsole sc(lines({"", "x", "Keep"}));
  EXPECT_EQ(recover_trace_files(dialogue_of(*ctx, sc), ctx->settings, ctx->files, 4),
            TraceRecovery::kKeep);
  // The question names the count asked for and the files opened; other
  // replies are read again with no message.
  EXPECT_EQ(sc.replies_read(), 3);
  EXPECT_EQ(count_of(sc.shown_before(1), " 10 "), 1);
  EXPECT_EQ(count_of(sc.shown_before(1), "  3."), 1);
  EXPECT_EQ(sc.shown_before(2) + sc.shown_before(3) + sc.shown_before(4), "");
  EXPECT_EQ(ctx->settings.trace_count, 3);
  EXPECT_EQ(ctx->settings.trace_segment[3], 3);
  ctx->files.trace[1]->close();
  EXPECT_EQ(dir.read("trace.1"), "heading\n");
}

TEST(TraceRecovery, ReenterDeletesOnlyTheFilesOpenedAndClearsTheEntries) {
  TempDir dir;
  // A file of an entry's name that this pass did not open stays.
  dir.write("trace.5", "from another run\n");
  auto ctx = context_with_open_traces(dir);
  ScriptedConsole sc(lines({"R"}));
  EXPECT_EQ(recover_trace_files(dialogue_of(*ctx, sc), ctx->settings, ctx->files, 4),
            TraceRecovery::kReenter);
  EXPECT_EQ(count_of(sc.shown_before(2), std::string(76, ' ') + "\n"), 3);
  for (int t = 1; t <= 3; ++t) {
    EXPECT_FALSE(dir.exists("trace." + std::to_string(t))) << t;
    EXPECT_FALSE(ctx->files.trace[t]) << t;
  }
  EXPECT_EQ(dir.read("trace.5"), "from another run\n");
  for (int t = 1; t <= 10; ++t) {
    EXPECT_EQ(ctx->settings.trace_segment[t], 0) << t;
    EXPECT_TRUE(ctx->settings.trace_tag[t].blank()) << t;
    EXPECT_TRUE(ctx->settings.trace_file_name[t].blank()) << t;
  }
}

}  // namespace
}  // namespace pavecast::testing
