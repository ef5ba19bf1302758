#include "dialogue/horizon_funding.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/test_support.h"

namespace pavecast::testing {
namespace {

TEST(HorizonFunding, UnconstrainedKeepsSavedYearsAndGivesUnlimitedMoney) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->settings.default_years = 20;
  ctx->settings.budget_constrained = 'N';
  ctx->settings.default_funding = 25.0f;
  ctx->settings.saved_repair_order = 3;
  ctx->settings.variable_funding = true;  // left from an earlier pass of the dialogue
  ScriptedConsole console(lines({"", ""}));

  ask_years_and_funding(dialogue_of(*ctx, console), ctx->settings, ctx->tables.funding);

  // Two questions, each showing its default; no amount is asked for.
  EXPECT_EQ(console.replies_read(), 2);
  EXPECT_EQ(answer_shown(console.shown_before(1)), "20.");
  EXPECT_EQ(last_word(console.shown_before(2)), "N");
  EXPECT_EQ(console.shown_before(3), "");
  EXPECT_EQ(echo_answers(*ctx, dir), (std::vector<std::string>{"20", "N"}));
  EXPECT_EQ(ctx->settings.years, 20);
  EXPECT_EQ(ctx->settings.year_slots, 21);
  for (int y = 1; y <= 21; ++y) EXPECT_EQ(ctx->tables.funding[y], 99999.9f) << y;
  EXPECT_EQ(ctx->settings.annual_funding, 99999.9f);
  EXPECT_FALSE(ctx->settings.variable_funding);
  EXPECT_EQ(ctx->settings.repair_order, 1);
  EXPECT_EQ(ctx->settings.saved_repair_order, 3);
  EXPECT_EQ(ctx->settings.default_funding, 25.0f);
  EXPECT_FALSE(dir.exists("data/funding.dat"));
}

TEST(HorizonFunding, YearsAnswers) {
  struct Case {
    int32_t saved;
    std::string replies;
    int32_t years;
  };
  const Case cases[] = {
      {10, lines({"-3", "n"}), 10},              // 0 or less takes the saved years
      {10, lines({"7", "n"}), 7},                // a short reply reads as typed
      {10, lines({"123", "n"}), 12},             // only two columns are read
      {10, lines({"ab", "98", "97", "n"}), 97},  // unreadable and too many are read again
      {99, lines({"", "5", "n"}), 5},            // a saved 99 is read again too
      {0, lines({"", "n"}), 0},                  // a saved 0 kept: no simulated year
  };
  for (const Case& c : cases) {
    TempDir dir;
    auto ctx = make_context(dir);
    ctx->settings.default_years = c.saved;
    ScriptedConsole console(c.replies);
    ask_years_and_funding(dialogue_of(*ctx, console), ctx->settings, ctx->tables.funding);
    EXPECT_EQ(ctx->settings.years, c.years) << c.replies;
    EXPECT_EQ(ctx->settings.year_slots, c.years + 1) << c.replies;
  }
}

TEST(HorizonFunding, FixedFundingConfirmedWithEnter) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->settings.default_years = 10;
  ctx->settings.budget_constrained = 'Y';
  ctx->settings.default_funding = 25.0f;
  ScriptedConsole console(lines({"", "", "12.5", ""}));

  ask_years_and_funding(dialogue_of(*ctx, console), ctx->settings, ctx->tables.funding);

  // The amount question shows the saved amount, the confirmation the typed
  // one, both with two decimals; the echo keeps one.
  EXPECT_EQ(console.replies_read(), 4);
  EXPECT_EQ(last_word(console.shown_before(2)), "Y");
  EXPECT_EQ(count_of(console.shown_before(3), " 25.00\n"), 1);
  EXPECT_EQ(count_of(console.shown_before(4), " 12.50m"), 1);
  auto echoed = echo_lines(*ctx, dir);
  ASSERT_EQ(echoed.size(), 3u);
  EXPECT_EQ(last_word(echoed[1]), "Y");
  EXPECT_EQ(count_of(echoed[2], " 12.5m"), 1);
  for (int y = 1; y <= 11; ++y) EXPECT_EQ(ctx->tables.funding[y], 12.5f) << y;
  EXPECT_EQ(ctx->settings.default_funding, 12.5f);
  EXPECT_EQ(ctx->settings.annual_funding, 12.5f);
  EXPECT_FALSE(ctx->settings.variable_funding);
}

TEST(HorizonFunding, RefusedConfirmationAsksTheDollarsQuestionAgain) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->settings.default_years = 4;
  ctx->settings.budget_constrained = 'N';
  ctx->settings.default_funding = -1.0f;
  // y; an unreadable amount shows the default again; -1 refused with "no";
  // Enter keeps Y and Enter takes the saved (variable) default, refused with
  // "N"; finally 5 (no implied decimals with F6.0), confirmed by a reply that
  // does not begin with n.
  ScriptedConsole console(lines({"", "y", "abc", "-1", "no", "", "", "N", "", "5", "x"}));

  ask_years_and_funding(dialogue_of(*ctx, console), ctx->settings, ctx->tables.funding);

  EXPECT_EQ(console.replies_read(), 11);
  // The unreadable amount: the default line and the entry prompt alone again.
  const std::string again = console.shown_before(4);
  EXPECT_TRUE(console.shown_before(3).ends_with(again)) << again;
  EXPECT_EQ(count_of(again, "\n"), 2);
  // Each refusal asks the dollars question again, now showing the Y kept.
  EXPECT_EQ(last_word(console.shown_before(2)), "N");
  EXPECT_EQ(last_word(console.shown_before(6)), "Y");
  EXPECT_EQ(console.shown_before(6), console.shown_before(9));
  // -1 typed and the variable default kept are confirmed alike; 5 is fixed.
  EXPECT_EQ(console.shown_before(5), console.shown_before(8));
  EXPECT_EQ(count_of(console.shown_before(11), "  5.00m"), 1);
  // Every pass echoes the dollars answer; only the confirmed amount is echoed.
  auto echoed = echo_lines(*ctx, dir);
  ASSERT_EQ(echoed.size(), 5u);
  EXPECT_EQ(last_word(echoed[0]), "4");
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(last_word(echoed[i]), "Y") << i;
  EXPECT_EQ(count_of(echoed[4], "  5.0m"), 1);
  EXPECT_EQ(ctx->settings.default_funding, 5.0f);
  EXPECT_FALSE(ctx->settings.variable_funding);
  EXPECT_FALSE(dir.exists("data/funding.dat"));  // only a confirmed answer reads it
  for (int y = 1; y <= 5; ++y) EXPECT_EQ(ctx->tables.funding[y], 5.0f) << y;
}

TEST(HorizonFunding, FundingNearZeroTakesTheDefaultButMinusOneTenThousandthIsFixed) {
  {
    TempDir dir;
    auto ctx = make_context(dir);
    ctx->settings.default_years = 2;
    ctx->settings.budget_constrained = 'Y';
    ctx->settings.default_funding = 7.5f;
    ScriptedConsole console(lines({"", "", "0.00005", ""}));
    ask_years_and_funding(dialogue_of(*ctx, console), ctx->settings, ctx->tables.funding);
    EXPECT_EQ(ctx->tables.funding[3], 7.5f);
    EXPECT_EQ(ctx->settings.default_funding, 7.5f);
  }
  {
    TempDir dir;
    auto ctx = make_context(dir);
    ctx->settings.default_years = 2;
    ctx->settings.budget_constrained = 'Y';
    ctx->settings.default_funding = 7.5f;
    ScriptedConsole console(lines({"", "", "-.0001", ""}));
    ask_years_and_funding(dialogue_of(*ctx, console), ctx->settings, ctx->tables.funding);
    EXPECT_FALSE(ctx->settings.variable_funding);
    EXPECT_EQ(ctx->tables.funding[3], -0.0001f);
    EXPECT_EQ(ctx->settings.default_funding, -0.0001f);
  }
}

// Runs the dialogue with variable funding for `years` years over `file`.
std::unique_ptr<RunContext> variable_run(const TempDir& dir, int32_t years,
                                         ScriptedConsole& console) {
  auto ctx = make_context(dir);
  ctx->settings.default_years = years;
  ctx->settings.budget_constrained = 'Y';
  ctx->settings.default_funding = -1.0f;
  ask_years_and_funding(dialogue_of(*ctx, console), ctx->settings, ctx->tables.funding);
  return ctx;
}

TEST(HorizonFunding, VariableFundingCarriesTheLastRecordForward) {
  TempDir dir;
  dir.write("data/funding.dat", lines({"Y1 10.500", "Y2   3250", "Y3 12.0", "Y4  7.25"}));
  ScriptedConsole console(lines({"", "", "-0.5", ""}));
  auto ctx = variable_run(dir, 10, console);

  EXPECT_TRUE(ctx->settings.variable_funding);
  EXPECT_EQ(ctx->settings.default_funding, -0.5f);
  EXPECT_EQ(ctx->tables.funding[2], 10.5f);
  EXPECT_EQ(ctx->tables.funding[3], 3.25f);  // no decimal point: the last three digits are decimals
  EXPECT_EQ(ctx->tables.funding[4], 12.0f);
  for (int y = 5; y <= 11; ++y) EXPECT_EQ(ctx->tables.funding[y], 7.25f) << y;
  // Variable funding is not echoed.
  EXPECT_EQ(echo_answers(*ctx, dir), (std::vector<std::string>{"10", "Y"}));
}

TEST(HorizonFunding, VariableFundingStopsAtAnUnreadableRecordAndReadsNoMoreThanTheYears) {
  TempDir dir;
  dir.write("data/funding.dat", "Y1  1.000\r\nY2  abc\r\nY3  9.000\r\n");
  ScriptedConsole console(lines({"", "", "", ""}));
  auto ctx = variable_run(dir, 3, console);
  EXPECT_EQ(ctx->tables.funding[2], 1.0f);
  EXPECT_EQ(ctx->tables.funding[3], 1.0f);
  EXPECT_EQ(ctx->tables.funding[4], 1.0f);

  TempDir dir2;
  dir2.write("data/funding.dat", "Y1  2.000" + std::string(3000, 'x') + "\nY2  4.000\nY3  8.000\n");
  ScriptedConsole console2(lines({"", "", "", ""}));
  auto ctx2 = variable_run(dir2, 2, console2);
  EXPECT_EQ(ctx2->tables.funding[2], 2.0f);
  EXPECT_EQ(ctx2->tables.funding[3], 4.0f);
  EXPECT_EQ(ctx2->tables.funding[4], 0.0f);
}

TEST(HorizonFunding, VariableFundingWithNoReadableRecordStopsTheRun) {
  const std::string message =
      " ** Fatal Error: no funding record can be read, file data/funding.dat, line 1\n";
  {
    TempDir dir;  // missing: created empty by the open
    ScriptedConsole console(lines({"", "", "", ""}));
    EXPECT_EQ(fatal_text_of([&] { variable_run(dir, 5, console); }), message);
    EXPECT_TRUE(dir.exists("data/funding.dat"));
  }
  {
    TempDir dir;
    dir.write("data/funding.dat", "Y1 one\nY2  5.000\n");
    ScriptedConsole console(lines({"", "", "", ""}));
    EXPECT_EQ(fatal_text_of([&] { variable_run(dir, 5, console); }), message);
  }
  {
    TempDir dir;  // no simulated year: nothing is needed from the file
    ScriptedConsole console(lines({"", "", "", ""}));
    auto ctx = variable_run(dir, 0, console);
    EXPECT_TRUE(ctx->settings.variable_funding);
    EXPECT_EQ(ctx->settings.year_slots, 1);
  }
}

}  // namespace
}  // namespace pavecast::testing
