#include "readers/repair_actions.h"

#include <gtest/gtest.h>

#include <functional>

#include "dialogue/parameter_files.h"
#include "fatal/fatal.h"
#include "support/test_support.h"

namespace pavecast::testing {
namespace {

// One record in the file's columns: rank, number, limit, mark, description
// (29), gain (4), 4 ignored, cost (5), 1 ignored, new type.
std::string record(const char* rank, const char* number, const char* limit, char mark,
                   std::string description, const char* gain, const char* cost,
                   const char* new_type) {
  description.resize(29, ' ');
  char line[128];
  std::snprintf(line, sizeof line, "%1s %2s %1s%c%s%4s....%5s %1s", rank, number, limit, mark,
                description.c_str(), gain, cost, new_type);
  return std::string(line) + "\n";
}

const std::string kSixActions =
    record("1", "10", "2", '*', "Crack seal", "1.0", "0.020", "0") +
    record("2", "20", "9", ' ', "Chip seal", "  15", "  080", "0") +
    record("3", "30", "0", '*', "Thin overlay", "2.5", "0.120", "2") +
    record("4", "35", "1", 'x', "Concrete repair and grinding", "2.5", "0.300", " ") +
    record("5", "40", "9", '*', "Mill and overlay", "4.0", "0.350", "0") +
    record("9", "60", "9", ' ', "Reconstruction", "9.0", "2.000", "1");

TEST(RepairActions, NoChangeReadsTheFileAsItIs) {
  TempDir dir;
  dir.write("data/repairs.dat", kSixActions);
  auto ctx = make_context(dir);
  ctx->settings.change_repeat_policy = 'N';
  ScriptedConsole console(lines({""}));

  read_repair_actions(dialogue_of(*ctx, console), ctx->settings, ctx->tables.actions);

  EXPECT_EQ(console.replies_read(), 1);
  EXPECT_EQ(last_word(console.shown_before(1)), "N");
  EXPECT_EQ(echo_answers(*ctx, dir), std::vector<std::string>{"N"});
  const RepairActions& t = ctx->tables.actions;
  ASSERT_EQ(t.action_count, 6);
  EXPECT_EQ(t[1].action_rank, 1);
  EXPECT_EQ(t[1].action_number, 10);
  EXPECT_EQ(t[1].max_repeats, 2);
  EXPECT_EQ(t[1].action_description, "Crack seal                   ");
  EXPECT_EQ(t[1].score_gain, 1.0f);
  EXPECT_EQ(t[1].action_cost, 0.02f);
  EXPECT_EQ(t[2].max_repeats, 1000);  // 9 in the file: no limit
  EXPECT_EQ(t[2].score_gain, 1.5f);   // implied decimals
  EXPECT_EQ(t[2].action_cost, 0.08f);
  EXPECT_EQ(t[3].max_repeats, 0);
  EXPECT_EQ(t[3].new_pavement_type, 2);
  EXPECT_EQ(t[4].action_description, "Concrete repair and grinding ");
  EXPECT_EQ(t[4].new_pavement_type, 0);
  EXPECT_EQ(t[6].action_rank, 9);
  EXPECT_EQ(t[6].max_repeats, 1000);
  EXPECT_EQ(t[6].action_cost, 2.0f);
  EXPECT_EQ(t[6].new_pavement_type, 1);
  for (int a = 7; a <= kMaxActions; ++a) {
    EXPECT_EQ(t[a].action_number, 0) << a;
    EXPECT_EQ(t[a].max_repeats, 0) << a;
    EXPECT_TRUE(t[a].action_description.blank()) << a;
  }
  EXPECT_EQ(t.find(60), 6);
  EXPECT_EQ(t.find(0), 0);  // empty rows are never found
}

TEST(RepairActions, ChangingLimitsAsksOnlyForMarkedActions) {
  TempDir dir;
  dir.write("data/repairs.dat", kSixActions);
  auto ctx = make_context(dir);
  ctx->settings.change_repeat_policy = 'N';
  // y; action 10: an unreadable reply is read again at once, then 5;
  // action 30: Enter eliminates it; action 40: a typed 9 stays 9.
  ScriptedConsole console(lines({"y", "x", "5", "", "9"}));

  read_repair_actions(dialogue_of(*ctx, console), ctx->settings, ctx->tables.actions);

  // Each marked action is shown with its current limit (9 as "*") before its
  // reply; an unreadable reply is read again with nothing shown.
  EXPECT_EQ(console.replies_read(), 5);
  auto line_of = [](const std::string& shown, std::string_view start) {
    for (const std::string& line : split_lines(shown))
      if (line.starts_with(start)) return line;
    return std::string("(none)");
  };
  EXPECT_EQ(last_word(line_of(console.shown_before(2), " 10    Crack seal  ")), "2");
  EXPECT_EQ(console.shown_before(3), "");
  EXPECT_EQ(last_word(line_of(console.shown_before(4), " 30    Thin overlay  ")), "0");
  EXPECT_EQ(last_word(line_of(console.shown_before(5), " 40    Mill and overlay  ")), "*");
  EXPECT_EQ(console.shown_before(6), "");
  EXPECT_EQ(echo_answers(*ctx, dir), std::vector<std::string>{"Y"});
  const RepairActions& t = ctx->tables.actions;
  EXPECT_EQ(t.action_count, 6);
  EXPECT_EQ(t[1].max_repeats, 5);
  EXPECT_EQ(t[2].max_repeats, 1000);
  EXPECT_EQ(t[3].max_repeats, 0);
  EXPECT_EQ(t[4].max_repeats, 1);  // marked with something else than "*"
  EXPECT_EQ(t[5].max_repeats, 9);
  EXPECT_EQ(t[6].max_repeats, 1000);
  EXPECT_EQ(dir.read("data/repairs.dat"), kSixActions);  // changes hold for this run only
}

TEST(RepairActions, OnlyElevenRecordsAreReadAndMarksAfterThemAreNotOffered) {
  std::string file;
  for (int a = 1; a <= 13; ++a) {
    std::string number = std::to_string(10 + a);
    file += record("1", number.c_str(), "1", a > 11 ? '*' : ' ', "Action", "1.0", "0.100", "0");
  }
  TempDir dir;
  dir.write("data/repairs.dat", file);
  auto ctx = make_context(dir);
  ctx->settings.change_repeat_policy = 'Y';
  ScriptedConsole console(lines({""}));

  read_repair_actions(dialogue_of(*ctx, console), ctx->settings, ctx->tables.actions);

  EXPECT_EQ(console.replies_read(), 1);  // no action is offered
  EXPECT_EQ(ctx->tables.actions.action_count, 11);
  EXPECT_EQ(ctx->tables.actions[11].action_number, 21);
}

TEST(RepairActions, MissingFileGivesNoActions) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->settings.change_repeat_policy = 'Y';
  ScriptedConsole console(lines({""}));

  read_repair_actions(dialogue_of(*ctx, console), ctx->settings, ctx->tables.actions);

  EXPECT_EQ(console.replies_read(), 1);
  EXPECT_EQ(ctx->tables.actions.action_count, 0);
  EXPECT_TRUE(dir.exists("data/repairs.dat"));
  EXPECT_EQ(dir.read("data/repairs.dat"), "");
}

TEST(RepairActions, CrlfLineEndsShortAndOverlongRecords) {
  TempDir dir;
  // A record cut after its description reads blanks (zeros) for the rest;
  // columns after 51 are ignored however many there are.
  std::string first = record("1", "10", "3", '*', "Crack seal", "1.0", "0.020", "2");
  first.pop_back();
  dir.write("data/repairs.dat",
            first + std::string(5000, '7') + "\r\n" + "2 20 4*Short record\r\n");
  auto ctx = make_context(dir);
  ctx->settings.change_repeat_policy = 'N';
  ScriptedConsole console(lines({""}));

  read_repair_actions(dialogue_of(*ctx, console), ctx->settings, ctx->tables.actions);

  const RepairActions& t = ctx->tables.actions;
  ASSERT_EQ(t.action_count, 2);
  EXPECT_EQ(t[1].new_pavement_type, 2);
  EXPECT_EQ(t[1].action_cost, 0.02f);
  EXPECT_EQ(t[2].action_number, 20);
  EXPECT_EQ(t[2].max_repeats, 4);
  EXPECT_EQ(t[2].action_description, "Short record                 ");
  EXPECT_EQ(t[2].score_gain, 0.0f);
  EXPECT_EQ(t[2].action_cost, 0.0f);
}

TEST(RepairActions, NonNumericFieldStopsTheRunNamingFileAndLine) {
  const std::string good = record("1", "10", "2", ' ', "Crack seal", "1.0", "0.020", "0");
  const std::string bad_rank = record("a", "20", "2", ' ', "Chip seal", "1.5", "0.080", "0");
  const std::string bad_cost = record("2", "20", "2", ' ', "Chip seal", "1.5", "0.0x0", "0");
  for (const std::string& bad : {bad_rank, bad_cost}) {
    TempDir dir;
    dir.write("data/repairs.dat", good + bad + good);
    auto ctx = make_context(dir);
    ScriptedConsole console(lines({""}));
    EXPECT_EQ(fatal_text_of([&] {
                read_repair_actions(dialogue_of(*ctx, console), ctx->settings, ctx->tables.actions);
              }),
              " ** Fatal Error: unreadable record, file data/repairs.dat, line 2\n");
  }
}

TEST(RepairActions, ReadingAgainStartsFromAnEmptyTable) {
  TempDir dir;
  dir.write("data/repairs.dat", kSixActions);
  auto ctx = make_context(dir);
  ScriptedConsole console(lines({"", ""}));
  read_repair_actions(dialogue_of(*ctx, console), ctx->settings, ctx->tables.actions);
  ASSERT_EQ(ctx->tables.actions.action_count, 6);

  dir.write("data/repairs.dat", record("3", "70", "2", ' ', "Overlay", "3.0", "0.500", "0"));
  read_repair_actions(dialogue_of(*ctx, console), ctx->settings, ctx->tables.actions);
  EXPECT_EQ(ctx->tables.actions.action_count, 1);
  EXPECT_EQ(ctx->tables.actions[1].action_number, 70);
  for (int a = 2; a <= kMaxActions; ++a) EXPECT_EQ(ctx->tables.actions[a].action_number, 0) << a;
  EXPECT_EQ(ctx->tables.actions.find(60), 0);
}

TEST(RepairActions, SecondaryNameTakenForAnyAnswerButN) {
  TempDir dir;
  dir.write("data/repairs.dat", kSixActions);
  dir.write("data/repairs.s01", record("3", "70", "2", ' ', "Overlay", "3.0", "0.500", "0"));
  auto ctx = make_context(dir);
  ctx->settings.secondary_data_answer = 'X';
  ctx->settings.data_set = 1;
  ctx->settings.data_set_ext[1] = "s01";
  ScriptedConsole console(lines({""}));
  read_repair_actions(dialogue_of(*ctx, console), ctx->settings, ctx->tables.actions);
  EXPECT_EQ(ctx->tables.actions.action_count, 1);
}

}  // namespace
}  // namespace pavecast::testing
