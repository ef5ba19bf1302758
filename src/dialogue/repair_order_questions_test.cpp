#include "dialogue/repair_order_questions.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <functional>

#include "support/test_support.h"

namespace pavecast::testing {
namespace {

TEST(RepairOrder, EnterKeepsTheSavedOrderWithoutTouchingPriorities) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->settings.saved_repair_order = 3;
  ScriptedConsole console(lines({""}));

  ask_repair_order(dialogue_of(*ctx, console), ctx->settings, ctx->tables.priority);

  EXPECT_EQ(console.replies_read(), 1);
  EXPECT_EQ(answer_shown(console.shown_before(1)), "3");
  EXPECT_EQ(console.shown_before(2), "");
  EXPECT_EQ(echo_answers(*ctx, dir), std::vector<std::string>{"3"});
  EXPECT_EQ(ctx->settings.repair_order, 3);
  EXPECT_EQ(ctx->settings.saved_repair_order, 3);
  EXPECT_FALSE(dir.exists("data/priority.dat"));
}

TEST(RepairOrder, UnreadableOrTooLargeAnswersAreReadAgainSilently) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->settings.saved_repair_order = 1;
  ScriptedConsole console(lines({"7", "x", "9", "4"}));

  ask_repair_order(dialogue_of(*ctx, console), ctx->settings, ctx->tables.priority);

  EXPECT_EQ(console.replies_read(), 4);
  for (int k = 2; k <= 5; ++k) EXPECT_EQ(console.shown_before(k), "") << k;
  EXPECT_EQ(echo_answers(*ctx, dir), std::vector<std::string>{"4"});
  EXPECT_EQ(ctx->settings.repair_order, 4);
  EXPECT_EQ(ctx->settings.saved_repair_order, 4);
}

TEST(RepairOrder, OutOfRangeSavedOrderKeptWithEnterAsksAgain) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->settings.saved_repair_order = 0;  // a saved answers line left blank
  ScriptedConsole console(lines({"", "3"}));

  ask_repair_order(dialogue_of(*ctx, console), ctx->settings, ctx->tables.priority);

  EXPECT_EQ(console.replies_read(), 2);
  EXPECT_EQ(answer_shown(console.shown_before(1)), "0");
  EXPECT_EQ(console.shown_before(2), console.shown_before(1));
  EXPECT_EQ(echo_answers(*ctx, dir), (std::vector<std::string>{"0", "3"}));
  EXPECT_EQ(ctx->settings.repair_order, 3);
  EXPECT_EQ(ctx->settings.saved_repair_order, 3);
}

// The rows of the priority table, scores 1 up.
std::string table_rows(std::initializer_list<int> values) {
  std::string t;
  int s = 1;
  for (int v : values) {
    char row[64];
    std::snprintf(row, sizeof row, "%34d%17d\n", s++, v);
    t += row;
  }
  return t;
}

const std::string kRefused = std::string(14, ' ') + "\n";

TEST(RepairOrder, PriorityDialogueEditsConfirmsAndRewritesTheFile) {
  TempDir dir;
  dir.write("data/priority.dat", lines({" 80", " 80", " 90", "100", "  0", " 90", " 70", " 50"}));
  auto ctx = make_context(dir);
  ctx->settings.saved_repair_order = 3;
  ScriptedConsole console(lines({
      "2",
      // first pass: class 1 typed, 2 and 3 kept, 4 read with I3 (1500
      // reads 150), 5 holds 0 so Enter is refused until -5 (refused too,
      // and Enter then keeps refusing it) and finally 42; 6..8 kept.
      "573", "", "", "1500", "", "-5", "", "42", "", "", "",
      "n",  // not correct: the table comes back with the edited values
      "", "", "", "", "", "", "", "7",
      "",  // confirmed
  }));

  ask_repair_order(dialogue_of(*ctx, console), ctx->settings, ctx->tables.priority);

  EXPECT_EQ(console.replies_read(), 22);
  EXPECT_EQ(count_of(console.shown_before(2), table_rows({80, 80, 90, 100, 0, 90, 70, 50})), 1);
  // Each value is shown as understood; a refused one leaves a blank field.
  const std::string out = console.output();
  EXPECT_EQ(count_of(out, lines({"573", " 80", " 90", "150"}) + kRefused + kRefused + kRefused +
                              lines({" 42", " 90", " 70", " 50"})),
            1);
  EXPECT_EQ(count_of(console.shown_before(14), table_rows({573, 80, 90, 150, 42, 90, 70, 50})), 1);
  EXPECT_TRUE(console.shown_before(22).starts_with("  7\n"));
  EXPECT_EQ(console.shown_before(23), "");
  // Priorities are not echoed.
  EXPECT_EQ(echo_answers(*ctx, dir), std::vector<std::string>{"2"});
  EXPECT_EQ(dir.read("data/priority.dat"),
            lines({"573", " 80", " 90", "150", " 42", " 90", " 70", "  7"}));
  const std::array<int32_t, 11> expected = {0, 573, 80, 90, 150, 42, 90, 70, 7, 1000, 1000};
  EXPECT_EQ(ctx->tables.priority, expected);
  EXPECT_EQ(ctx->settings.repair_order, 2);
  EXPECT_EQ(ctx->settings.saved_repair_order, 2);
}

TEST(RepairOrder, PriorityFileOfAnotherDataSetWithCrlfLineEnds) {
  TempDir dir;
  dir.write("data/priority.s02",
            "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8" + std::string(2000, '9') + "\r\n");
  auto ctx = make_context(dir);
  ctx->settings.secondary_data_answer = 'Y';
  ctx->settings.data_set = 2;
  ctx->settings.data_set_ext[2] = "s02";
  ctx->settings.saved_repair_order = 2;
  ScriptedConsole console(lines({"", "", "", "", "", "", "", "", "", ""}));

  ask_repair_order(dialogue_of(*ctx, console), ctx->settings, ctx->tables.priority);

  // "8" followed by 9s reads its first three columns only.
  EXPECT_EQ(ctx->tables.priority[7], 7);
  EXPECT_EQ(ctx->tables.priority[8], 899);
  EXPECT_EQ(dir.read("data/priority.s02"),
            lines({"  1", "  2", "  3", "  4", "  5", "  6", "  7", "899"}));
  EXPECT_FALSE(dir.exists("data/priority.dat"));
}

TEST(RepairOrder, BadPriorityFilesStopTheRunNamingTheFile) {
  struct Case {
    const char* content;  // nullptr: no file
    std::string message;
  };
  const Case cases[] = {
      {nullptr, " ** Fatal Error: unexpected end of file, file data/priority.dat, line 1\n"},
      {"", " ** Fatal Error: unexpected end of file, file data/priority.dat, line 1\n"},
      {"1\n2\n3\n4\n5\n6\n7\n",
       " ** Fatal Error: unexpected end of file, file data/priority.dat, line 8\n"},
      {"1\n2\nabc\n4\n5\n6\n7\n8\n",
       " ** Fatal Error: unreadable record, file data/priority.dat, line 3\n"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    if (c.content != nullptr) dir.write("data/priority.dat", c.content);
    auto ctx = make_context(dir);
    ctx->settings.saved_repair_order = 2;
    ScriptedConsole console(lines({""}));
    EXPECT_EQ(fatal_text_of([&] {
                ask_repair_order(dialogue_of(*ctx, console), ctx->settings, ctx->tables.priority);
              }),
              c.message);
    EXPECT_TRUE(dir.exists("data/priority.dat"));
    if (c.content != nullptr) {
      EXPECT_EQ(dir.read("data/priority.dat"), c.content);
    }
  }
}

}  // namespace
}  // namespace pavecast::testing
