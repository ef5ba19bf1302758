#include "dialogue/saved_answers.h"

#include <gtest/gtest.h>

#include <cmath>

#include "fatal/fatal.h"
#include "support/test_support.h"

namespace pavecast::testing {
namespace {

// The saved answers of a typical run, as the program writes them.
const std::string kSaved =
    lines({"1", "N",    "Y", "N", "force.txt   ", "Y", " 25.00", "10", "N", "3", "NET1     ",
           "N", "   4", "N", "Y", "    5.",       "N", "N",      "Y",  "N"});

TEST(SavedAnswers, ReadGivesEveryDefault) {
  TempDir dir;
  dir.write("data/default2.dat", kSaved);
  auto ctx = make_context(dir);
  ctx->settings.answers_file_name = "data\\default2.dat";
  read_saved_answers(ctx->settings, ctx->workdir);
  EXPECT_EQ(ctx->settings.printout_type, 1);
  EXPECT_EQ(ctx->settings.trace_answer, 'Y');
  EXPECT_EQ(ctx->settings.force_fix_file, "force.txt   ");
  EXPECT_EQ(ctx->settings.budget_constrained, 'Y');
  EXPECT_EQ(ctx->settings.default_funding, 25.0f);
  EXPECT_EQ(ctx->settings.default_years, 10);
  EXPECT_EQ(ctx->settings.repair_order, 3);
  EXPECT_EQ(ctx->settings.saved_repair_order, 3);
  EXPECT_EQ(ctx->settings.default_scores_name, "NET1     ");
  EXPECT_EQ(ctx->settings.split_factor, 4);
  EXPECT_EQ(ctx->settings.reconstruct_answer, 'Y');
  EXPECT_EQ(ctx->settings.reconstruct_probability, 5.0f);
  EXPECT_EQ(ctx->settings.auxiliary_answer, 'Y');
  EXPECT_EQ(ctx->settings.vmt_answer, 'N');
}

TEST(SavedAnswers, RoundTripKeepsTheFileButSavesWholePercent) {
  TempDir dir;
  std::string saved = kSaved;
  saved.replace(saved.find("    5."), 6, "  5.40");
  dir.write("data/default2.dat", saved);
  dir.write("data/default.dat", "\nN\n 2\n");
  auto ctx = make_context(dir);
  ctx->settings.answers_file_name = "data\\default2.dat";
  read_saved_answers(ctx->settings, ctx->workdir);
  // What the dialogue leaves when every default is kept: the years and
  // scores name chosen, and the probability as a fraction.
  ctx->settings.years = ctx->settings.default_years;
  ctx->settings.scores_name = ctx->settings.default_scores_name;
  ctx->settings.reconstruct_probability = 0.054f;
  ctx->settings.data_set = 2;
  write_back_saved_answers(ctx->settings, ctx->workdir);
  EXPECT_EQ(dir.read("data/default2.dat"), kSaved);
  EXPECT_EQ(dir.read("data/default.dat"), "\nN\n 2\n");
  EXPECT_EQ(ctx->settings.reconstruct_probability, 0.054f);  // the run's value is unchanged
}

TEST(SavedAnswers, NoReconstructionWritesThePercentReadBack) {
  TempDir dir;
  std::string saved = kSaved;
  saved.replace(saved.find("\nY\n    5."), 10, "\nN\n 12.60");
  dir.write("data/default2.dat", saved);
  auto ctx = make_context(dir);
  ctx->settings.answers_file_name = "data\\default2.dat";
  read_saved_answers(ctx->settings, ctx->workdir);
  write_back_saved_answers(ctx->settings, ctx->workdir);
  std::string written = dir.read("data/default2.dat");
  EXPECT_NE(written.find("\nN\n   13.\n"), std::string::npos) << written;
}

// Six columns hold $999.99M with two decimals; a larger amount keeps fewer
// decimals, or the nearest value six columns hold, so that the next run can
// read it (asterisks would stop every later run at this file).
TEST(SavedAnswers, LargeAmountsAreSavedInAFormTheNextRunReads) {
  const struct {
    float funding;
    const char* line;
    float read_back;
  } cases[] = {{999.99f, "999.99", 999.99f},   {1000.0f, "1000.0", 1000.0f},
               {12345.6f, "12346.", 12346.0f}, {250000.0f, "99999.", 99999.0f},
               {-1.0f, " -1.00", -1.0f},       {-1234.6f, "-1235.", -1235.0f},
               {-50000.0f, "-9999.", -9999.0f}};
  for (const auto& c : cases) {
    TempDir dir;
    dir.write("data/default2.dat", kSaved);
    auto ctx = make_context(dir);
    ctx->settings.answers_file_name = "data\\default2.dat";
    read_saved_answers(ctx->settings, ctx->workdir);
    ctx->settings.years = ctx->settings.default_years;
    ctx->settings.scores_name = ctx->settings.default_scores_name;
    ctx->settings.default_funding = c.funding;
    ctx->settings.reconstruct_answer = 'N';
    ctx->settings.reconstruct_probability = c.funding;  // the percent, saved with no decimals
    write_back_saved_answers(ctx->settings, ctx->workdir);
    std::string written = dir.read("data/default2.dat");
    EXPECT_NE(written.find(std::string("\nY\n") + c.line + "\n10\n"), std::string::npos)
        << c.funding << "\n"
        << written;

    auto next = make_context(dir);
    next->settings.answers_file_name = "data\\default2.dat";
    read_saved_answers(next->settings, next->workdir);
    EXPECT_EQ(next->settings.default_funding, c.read_back);
    EXPECT_EQ(next->settings.reconstruct_probability, std::round(c.read_back)) << c.funding;
  }
}

TEST(SavedAnswers, NineteenLinesLeaveTheTrafficAnswerBlank) {
  TempDir dir;
  dir.write("data/default2.dat", kSaved.substr(0, kSaved.size() - 2));
  auto ctx = make_context(dir);
  ctx->settings.answers_file_name = "data\\default2.dat";
  read_saved_answers(ctx->settings, ctx->workdir);
  EXPECT_EQ(ctx->settings.vmt_answer, ' ');
  write_back_saved_answers(ctx->settings, ctx->workdir);
  std::string written = dir.read("data/default2.dat");
  EXPECT_EQ(written.substr(written.size() - 5), "\nY\n \n");
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 20);
}

TEST(SavedAnswers, CrLfLinesAndImpliedDecimals) {
  TempDir dir;
  std::string saved;
  for (char c : kSaved) saved += c == '\n' ? std::string("\r\n") : std::string(1, c);
  saved.replace(saved.find(" 25.00"), 6, "  2500");
  dir.write("data/default2.dat", saved);
  auto ctx = make_context(dir);
  ctx->settings.answers_file_name = "data\\default2.dat";
  read_saved_answers(ctx->settings, ctx->workdir);
  EXPECT_EQ(ctx->settings.default_funding, 25.0f);
  EXPECT_EQ(ctx->settings.vmt_answer, 'N');
}

TEST(SavedAnswers, MissingShortOrBadFilesStopTheRun) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->settings.answers_file_name = "data\\default.abc";
  EXPECT_EQ(fatal_text_of([&] { read_saved_answers(ctx->settings, ctx->workdir); }),
            " ** Fatal Error: the file cannot be opened, file data/default.abc: no such file or "
            "directory\n");
  EXPECT_FALSE(dir.exists("data/default.abc"));

  dir.write("data/default.abc", kSaved.substr(0, kSaved.find("NET1")));
  EXPECT_EQ(fatal_text_of([&] { read_saved_answers(ctx->settings, ctx->workdir); }),
            " ** Fatal Error: unexpected end of file, file data/default.abc, line 11\n");

  std::string bad = kSaved;
  bad.replace(bad.find("10\n"), 2, "1O");
  dir.write("data/default.abc", bad);
  EXPECT_EQ(fatal_text_of([&] { read_saved_answers(ctx->settings, ctx->workdir); }),
            " ** Fatal Error: unreadable record, file data/default.abc, line 8\n");
}

TEST(SavedAnswers, AFailedWriteBackLeavesNoTemporaryFile) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "data" / "default2.dat");
  auto ctx = make_context(dir);
  ctx->settings.answers_file_name = "data\\default2.dat";
  EXPECT_EQ(fatal_text_of([&] { write_back_saved_answers(ctx->settings, ctx->workdir); }),
            " ** Fatal Error: the file cannot be opened, file data/default2.dat: is a directory\n");
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.path() / "data"))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"default.dat", "default2.dat"}));
}

class DataSetChoice : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("data/class.dat", lines({"s01 First set", "abc Second set", "s03 Third set"}));
    ctx = make_context(dir);
    ctx->settings.default_data_set = ctx->settings.data_set = 1;
  }
  TempDir dir;
  std::unique_ptr<RunContext> ctx;
};

TEST_F(DataSetChoice, AnswerNUsesTheStandardFiles) {
  ScriptedConsole c("n\n");
  choose_data_set(dialogue_of(*ctx, c), ctx->settings);
  EXPECT_EQ(c.replies_read(), 1);
  EXPECT_EQ(last_word(c.shown_before(1)), "N");
  EXPECT_EQ(c.shown_before(2), "");
  EXPECT_EQ(echo_answers(*ctx, dir), std::vector<std::string>{"N"});
  EXPECT_EQ(ctx->settings.answers_file_name.trimmed(), "data\\default2.dat");
  EXPECT_EQ(parameter_file(ctx->settings, ctx->workdir, "funding").shown, "data/funding.dat");
  EXPECT_EQ(parameter_file(ctx->settings, ctx->workdir, "repairs").shown, "data/repairs.dat");
  EXPECT_EQ(ctx->settings.data_set, 1);  // written back unchanged
}

TEST_F(DataSetChoice, ListsTheSetsAndRepeatsOutOfRangeNumbers) {
  ctx->settings.secondary_data_answer = 'Y';
  ScriptedConsole c("\n7\nx\n2\n");
  choose_data_set(dialogue_of(*ctx, c), ctx->settings);
  auto set = [](int k, std::string title) {
    return std::string(21, ' ') + " " + std::to_string(k) + "  " + title +
           std::string(45 - title.size(), ' ') + "\n\n";
  };
  // 7 is out of range: the list is shown again, with the same default; "x"
  // is read again with nothing shown.
  EXPECT_EQ(c.replies_read(), 4);
  const std::string list = c.shown_before(3);
  EXPECT_EQ(count_of(list, set(1, "First set") + set(2, "Second set") + set(3, "Third set")), 1);
  EXPECT_EQ(count_of(list, "( 1)"), 1);
  EXPECT_TRUE(c.shown_before(2).ends_with(list));
  EXPECT_EQ(c.shown_before(4), "");
  // Each number is echoed, the refused one too.
  const auto echoed = echo_lines(*ctx, dir);
  ASSERT_EQ(echoed.size(), 3u);
  EXPECT_EQ(last_word(echoed[0]), "Y");
  EXPECT_EQ(count_of(echoed[1], "( 7)"), 1);
  EXPECT_EQ(count_of(echoed[2], "( 2)"), 1);
  EXPECT_EQ(ctx->settings.data_set, 2);
  EXPECT_EQ(ctx->settings.answers_file_name.trimmed(), "data\\default.abc");
  for (const char* base : {"funding", "priority", "repairs", "detrates", "matrix"})
    EXPECT_EQ(parameter_file(ctx->settings, ctx->workdir, base).shown,
              std::string("data/") + base + ".abc");
}

TEST_F(DataSetChoice, SixSetsFollowOneAnotherAndZeroTakesTheDefault) {
  dir.write("data/class.dat",
            lines({"s01 A", "s02 B", "s03 C", "s04 D", "s05 E", "s06 F", "s07 G"}));
  ctx->settings.default_data_set = 0;
  ctx->settings.secondary_data_answer = 'Y';
  ScriptedConsole c("\n0\n\n6\n");  // 0 with a default of 0 reads another reply
  choose_data_set(dialogue_of(*ctx, c), ctx->settings);
  std::string out = c.output();
  EXPECT_NE(out.find("                      6  F" + std::string(44, ' ') +
                     "\n                      7  G"),
            std::string::npos)
      << out;
  EXPECT_EQ(ctx->settings.data_set, 6);
}

TEST_F(DataSetChoice, AnotherLetterTakesTheSecondaryRepairsFileOnly) {
  ctx->settings.secondary_data_answer = 'Q';
  ScriptedConsole c("\n3\n");
  choose_data_set(dialogue_of(*ctx, c), ctx->settings);
  EXPECT_EQ(ctx->settings.answers_file_name.trimmed(), "data\\default2.dat");
  EXPECT_EQ(parameter_file(ctx->settings, ctx->workdir, "repairs").shown, "data/repairs.s03");
  EXPECT_EQ(parameter_file(ctx->settings, ctx->workdir, "matrix").shown, "data/matrix.dat");
}

TEST_F(DataSetChoice, AMissingOrEmptyListStopsTheRun) {
  dir.write("data/class.dat", "");
  ctx->settings.secondary_data_answer = 'Y';
  ScriptedConsole c("\n1\n");
  EXPECT_EQ(fatal_text_of([&] { choose_data_set(dialogue_of(*ctx, c), ctx->settings); }),
            " ** Fatal Error: no data set is listed, file data/class.dat\n");
  EXPECT_TRUE(c.output().ends_with(" Loading Secondary Data\n"));

  std::filesystem::remove(dir.path() / "data/class.dat");
  ScriptedConsole c2("\n1\n");
  EXPECT_EQ(fatal_text_of([&] { choose_data_set(dialogue_of(*ctx, c2), ctx->settings); }),
            " ** Fatal Error: the file cannot be opened, file data/class.dat: no such file or "
            "directory\n");
  EXPECT_FALSE(dir.exists("data/class.dat"));
}

PAVECAST_GCC_BUG_105651_BEGIN
TEST_F(DataSetChoice, TheListHoldsTwentySetsAndEndsAtAnUnreadableRecord) {
  std::string many;
  for (int k = 1; k <= 25; ++k) many += "x" + std::to_string(10 + k) + " set\n";
  dir.write("data/class.dat", many);
  ctx->settings.secondary_data_answer = 'Y';
  ScriptedConsole c("\n21\n20\n");
  choose_data_set(dialogue_of(*ctx, c), ctx->settings);
  EXPECT_EQ(ctx->settings.data_set_count, 20);
  EXPECT_EQ(ctx->settings.data_set, 20);
}
PAVECAST_GCC_BUG_105651_END

TEST(DefaultDat, ReadsTheKeepCharacterAnswerAndSet) {
  TempDir dir;
  dir.write("data/default.dat", "x\r\nY\r\n 3\r\n");
  auto ctx = make_context(dir);
  read_default_dat(ctx->settings, ctx->workdir);
  EXPECT_EQ(ctx->settings.keep_default_char, 'x');
  EXPECT_EQ(ctx->settings.secondary_data_answer, 'Y');
  EXPECT_EQ(ctx->settings.default_data_set, 3);
  EXPECT_EQ(ctx->settings.data_set, 3);

  dir.write("data/default.dat", "\nN\n");
  EXPECT_EQ(fatal_text_of([&] { read_default_dat(ctx->settings, ctx->workdir); }),
            " ** Fatal Error: unexpected end of file, file data/default.dat, line 3\n");
  dir.write("data/default.dat", "\nN\nab\n");
  EXPECT_EQ(fatal_text_of([&] { read_default_dat(ctx->settings, ctx->workdir); }),
            " ** Fatal Error: unreadable record, file data/default.dat, line 3\n");
}

}  // namespace
}  // namespace pavecast::testing
