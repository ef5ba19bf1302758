#include "dialogue/network_options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "fatal/fatal.h"
#include "support/test_support.h"

namespace pavecast::testing {
namespace {

std::string factor_prompt(const std::string& shown) {
  return lines({" Enter the factor to increase the number of segments by '(default is " + shown +
                    ").",
                "", "  (Entering \"100\" results in 100 times more segments)."}) +
         kFooter;
}

std::string reconstruct_question(char a) {
  return std::string(" Do you want to reconstruct some roads for reasons other than condition?  ") +
         a + "\n";
}
std::string probability_line(const std::string& shown) {
  return " Enter the percent probablity of this in a positive number less than 100. " + shown +
         "\n";
}
std::string final_question(char a) {
  return std::string(" Do you want the final conditions saved as input? ") + a + "\n";
}
std::string final_name_line(const std::string& name) {
  return "\n\n Enter the name of the final conditions output file. " + name + "\n";
}
std::string print_question(char a) {
  return std::string(" Do you want the output printed? ") + a + "\n";
}
std::string scores_echo(const std::string& name) {
  return " Enter in 4 spaces or less the name of the file with the scores. " + name + "\n";
}

// The saved answers of a plain run: nothing split, randomised or
// reconstructed, final conditions saved.
std::unique_ptr<RunContext> saved_context(const TempDir& dir) {
  auto ctx = make_context(dir);
  ctx->settings.default_scores_name = "NET1";
  ctx->settings.split_answer = 'N';
  ctx->settings.split_factor = 4;
  ctx->settings.randomize_answer = 'N';
  ctx->settings.vmt_answer = 'N';
  ctx->settings.reconstruct_answer = 'N';
  ctx->settings.reconstruct_probability = 5.0f;
  ctx->settings.final_conditions_answer = 'Y';
  ctx->settings.print_answer = 'N';
  ctx->settings.auxiliary_answer = 'N';
  return ctx;
}

void write_random_dat(const TempDir& dir, int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, ".%05d\n", (i * 191) % 100000);
    text += buf;
  }
  dir.write("data/random.dat", text);
}

TEST(NetworkOptions, EnterKeepsEveryDefault) {
  TempDir dir;
  auto ctx = saved_context(dir);
  ScriptedConsole sc(lines({"", "", "", "", "", "", "", "", ""}));
  ask_network_options(dialogue_of(*ctx, sc), ctx->settings, ctx->tables);

  EXPECT_EQ(sc.replies_read(), 9);
  // The scores name is echoed after the reconstruction question, and the
  // final-conditions name last.
  EXPECT_EQ(echo_answers(*ctx, dir),
            (std::vector<std::string>{"N", "N", "N", "N", "NET1", "Y", "N", "N", "NET1.prd"}));
  EXPECT_EQ(ctx->settings.scores_name, "NET1     ");
  EXPECT_EQ(ctx->settings.final_conditions_file, "NET1.prd    ");
  EXPECT_EQ(ctx->settings.reconstruct_probability, 5.0f);
  EXPECT_FALSE(dir.exists("data/random.dat"));
}

TEST(NetworkOptions, HelpWordsShowTheSummaryOfTheDefaultFile) {
  TempDir dir;
  dir.write("roads/NET1", "2003 RD   \nCity Arterials\n");
  auto ctx = saved_context(dir);
  // Each summary waits for <Enter>; hElp is a file name.
  ScriptedConsole sc(
      lines({"help", "", "Help", "", "HELPME", "", "hElp", "", "", "", "", "n", "", ""}));
  ask_network_options(dialogue_of(*ctx, sc), ctx->settings, ctx->tables);
  std::string out = sc.output();
  EXPECT_EQ(count_of(out, "\n Calculating\n"), 3);
  EXPECT_EQ(count_of(out, " Hit <Enter> to continue."), 3);
  EXPECT_EQ(count_of(out, "Enter the name of the file with the scores."), 4);
  EXPECT_EQ(ctx->settings.scores_name, "hElp     ");
  EXPECT_EQ(ctx->settings.final_conditions_answer, 'N');
  std::string echoed = echo_text(*ctx, dir);
  EXPECT_NE(echoed.find(scores_echo("hElp     ")), std::string::npos);
  EXPECT_EQ(echoed.find("final conditions output file"), std::string::npos);
}

TEST(NetworkOptions, FactorOutsideOneTo999IsReadAgainAndEnterKeepsTheRefusedValue) {
  TempDir dir;
  auto ctx = saved_context(dir);
  ScriptedConsole sc(lines({"", "y", "1000", "", "-5", "", "abc", "12", "", "", "", "n", "", ""}));
  ask_network_options(dialogue_of(*ctx, sc), ctx->settings, ctx->tables);

  // 1000, Enter (keeping 1000), -5 and Enter each leave a blank field; an
  // unreadable reply is read again with nothing shown.
  EXPECT_EQ(sc.replies_read(), 14);
  const std::string refused = std::string(14, ' ') + "\n";
  for (int k = 4; k <= 7; ++k) EXPECT_EQ(sc.shown_before(k), refused) << k;
  EXPECT_EQ(sc.shown_before(8), "");
  EXPECT_EQ(ctx->settings.split_answer, 'Y');
  EXPECT_EQ(ctx->settings.split_factor, 12);
  EXPECT_EQ(ctx->settings.copies_made, 12);
  const auto answers = echo_answers(*ctx, dir);
  ASSERT_GE(answers.size(), 2u);
  EXPECT_EQ(answers[0], "Y");
  EXPECT_EQ(answers[1], "12");
}

TEST(NetworkOptions, FactorTooWideForItsFieldShowsAsterisks) {
  TempDir dir;
  auto ctx = saved_context(dir);
  ctx->settings.split_answer = 'Y';
  ctx->settings.split_factor = 1000;
  ScriptedConsole sc(lines({"", "", "7", "", "", "", "n", "", ""}));
  ask_network_options(dialogue_of(*ctx, sc), ctx->settings, ctx->tables);
  EXPECT_NE(sc.output().find(factor_prompt("***")), std::string::npos);
  EXPECT_EQ(ctx->settings.split_factor, 7);
}

struct ProbabilityCase {
  float saved;
  const char* replies;  // the probability replies
  std::string shown;    // the default as the question shows it
  int questions;        // times the question is written
  std::string echoed;   // the final percent as echoed
  float result;         // reconstruct_probability afterwards
  bool loaded;
};

TEST(NetworkOptions, ReconstructionProbabilityDefaultsRangeAndFraction) {
  const ProbabilityCase cases[] = {
      // A saved fraction is shown in percent; Enter takes it.
      {0.05f, "\n", " 5.0", 1, " 5.0", 0.05f, true},
      // Above 100 and below -0.002 are asked again; 100 itself is accepted
      // (and too wide for the echo's field).
      {5.0f, "150.\n-0.003\n100.\n", " 5.0", 3, "****", 1.0f, true},
      // Without a point the last two digits are decimals: 1.50 percent.
      {5.0f, "150\n", " 5.0", 1, " 1.5", 0.015f, true},
      // A saved 1 is a fraction too: 100 percent.
      {1.0f, "0\n", "****", 1, "****", 1.0f, true},
      {5.0f, "-0.002\n", " 5.0", 1, " 5.0", 0.05f, true},
      // At most 0.001 percent: nothing is loaded and the value stays in percent.
      {5.0f, "0.001\n", " 5.0", 1, " 0.0", 0.001f, false},
  };
  for (const ProbabilityCase& c : cases) {
    TempDir dir;
    write_random_dat(dir, 600);
    auto ctx = saved_context(dir);
    ctx->settings.reconstruct_answer = 'Y';
    ctx->settings.reconstruct_probability = c.saved;
    ctx->settings.recon_numbers_loaded = !c.loaded;  // as an earlier pass may have left it
    ScriptedConsole sc("\n\n\n\n\n" + std::string(c.replies) + lines({"n", "", ""}));
    ask_network_options(dialogue_of(*ctx, sc), ctx->settings, ctx->tables);
    std::string out = sc.output();
    std::string question = kFooter + reconstruct_question('Y');
    for (int i = 0; i < c.questions; ++i) question += probability_line(c.shown);
    EXPECT_NE(out.find(question + final_question('Y')), std::string::npos) << c.replies;
    EXPECT_NE(echo_text(*ctx, dir).find(reconstruct_question('Y') + probability_line(c.echoed) +
                                        scores_echo("NET1     ")),
              std::string::npos)
        << c.replies;
    EXPECT_EQ(ctx->settings.reconstruct_probability, c.result) << c.replies;
    EXPECT_EQ(ctx->settings.recon_numbers_loaded, c.loaded) << c.replies;
    if (c.loaded) {
      EXPECT_EQ(ctx->tables.recon_random[1], 0.00191f);
      EXPECT_EQ(ctx->tables.recon_random[500], 0.95500f);
    } else {
      EXPECT_EQ(ctx->tables.recon_random[1], 0.0f);
    }
  }
}

TEST(NetworkOptions, NoReconstructionAsksNothingAndReadsNoNumbers) {
  TempDir dir;
  auto ctx = saved_context(dir);
  ctx->settings.reconstruct_answer = 'Y';
  ctx->settings.reconstruct_probability = 0.05f;
  ScriptedConsole sc(lines({"", "", "", "", "N", "n", "", ""}));
  ask_network_options(dialogue_of(*ctx, sc), ctx->settings, ctx->tables);
  EXPECT_EQ(sc.output().find("percent probablity"), std::string::npos);
  EXPECT_EQ(ctx->settings.reconstruct_probability, 0.05f);
  EXPECT_FALSE(dir.exists("data/random.dat"));
}

TEST(NetworkOptions, RandomNumbersTooFewOrUnreadableStopTheRun) {
  struct Case {
    std::function<void(const TempDir&)> prepare;
    std::string message;
  } cases[] = {
      {[](const TempDir& d) { write_random_dat(d, 499); },
       " ** Fatal Error: unexpected end of file, file data/random.dat, line 500\n"},
      {[](const TempDir&) {},  // a missing file is created empty
       " ** Fatal Error: unexpected end of file, file data/random.dat, line 1\n"},
      {[](const TempDir& d) { d.write("data/random.dat", ".1\n.2\nabc\n"); },
       " ** Fatal Error: unreadable record, file data/random.dat, line 3\n"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    c.prepare(dir);
    auto ctx = saved_context(dir);
    ctx->settings.reconstruct_answer = 'Y';
    ScriptedConsole sc(lines({"", "", "", "", "", "", "n", "", ""}));
    EXPECT_EQ(fatal_text_of(
                  [&] { ask_network_options(dialogue_of(*ctx, sc), ctx->settings, ctx->tables); }),
              c.message);
  }
}

TEST(NetworkOptions, UnreadableProbabilityStopsTheRun) {
  TempDir dir;
  auto ctx = saved_context(dir);
  ctx->settings.reconstruct_answer = 'Y';
  ScriptedConsole sc(lines({"", "", "", "", "", "five"}));
  EXPECT_EQ(fatal_text_of(
                [&] { ask_network_options(dialogue_of(*ctx, sc), ctx->settings, ctx->tables); }),
            " ** Fatal Error: the reply is not a number, reconstruction probability\n");
}

TEST(NetworkOptions, FinalConditionsDefaultNameAndReply) {
  struct Case {
    const char* scores_reply;
    const char* name_reply;
    std::string shown;
    std::string chosen;
  } cases[] = {
      {"ninechars", "", "ninechars.pr", "ninechars.pr"},
      {"ab.c", "", "ab.prd      ", "ab.prd      "},
      {"NET2", "OUT.PRD", "NET2.prd    ", "OUT.PRD     "},
      {"NET2", "   ", "NET2.prd    ", "NET2.prd    "},
  };
  for (const Case& c : cases) {
    TempDir dir;
    auto ctx = saved_context(dir);
    ScriptedConsole sc(lines({c.scores_reply, "", "", "", "", "", c.name_reply, "", ""}));
    ask_network_options(dialogue_of(*ctx, sc), ctx->settings, ctx->tables);
    EXPECT_NE(sc.output().find(final_name_line(c.shown) + kFooter + print_question('N')),
              std::string::npos)
        << c.scores_reply;
    EXPECT_EQ(ctx->settings.final_conditions_file, c.chosen) << c.scores_reply;
    std::string echoed = echo_text(*ctx, dir);
    EXPECT_EQ(echoed.substr(echoed.size() - final_name_line(c.chosen).size()),
              final_name_line(c.chosen))
        << c.scores_reply;
  }
}

}  // namespace
}  // namespace pavecast::testing
