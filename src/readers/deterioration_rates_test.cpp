#include "readers/deterioration_rates.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "dialogue/parameter_files.h"
#include "fatal/fatal.h"
#include "support/test_support.h"

namespace pavecast {
namespace {

using testing::lines;
using testing::make_context;
using testing::ScriptedConsole;
using testing::TempDir;

// The k-th rate of a block: `base` plus k hundredths, written with a point.
std::string rate_text(double base, int k) {
  char text[16];
  std::snprintf(text, sizeof text, "%4.2f", base + k / 100.0);
  return text;
}

float rate(double base, int k) {
  return std::strtof(rate_text(base, k).c_str(), nullptr);
}

// A block: the name record and `rates` rate records.
std::string block(const char* name, double base, int rates = 10) {
  std::string b = std::string(name) + "\n";
  for (int k = 1; k <= rates; ++k) b += rate_text(base, k) + "\n";
  return b;
}

using testing::fatal_text_of;

std::unique_ptr<RunContext> read_rates(const TempDir& dir, ScriptedConsole& console) {
  auto ctx = make_context(dir);
  read_deterioration_rates(dialogue_of(*ctx, console), ctx->settings, ctx->tables.pavement);
  return ctx;
}

TEST(DeteriorationRates, TwoBlocksAndATrailingNameDefineTwoTypes) {
  TempDir dir;
  dir.write("data/detrates.dat", block("ACC", 0.1) + block("PCC     ", 0.3) + "COMP\n");
  ScriptedConsole console;
  auto ctx = read_rates(dir, console);

  EXPECT_EQ(console.output(), " Reading Deterioration Rates\n");
  const PavementTypes& t = ctx->tables.pavement;
  EXPECT_EQ(t.pavement_type_count, 2);
  EXPECT_EQ(t.pavement_type_name[1], "ACC     ");
  EXPECT_EQ(t.pavement_type_name[2], "PCC     ");
  for (int k = 1; k <= kClasses; ++k) {
    EXPECT_EQ(t.det_rate[1][k], rate(0.1, k)) << k;
    EXPECT_EQ(t.det_rate[2][k], rate(0.3, k)) << k;
  }
  EXPECT_EQ(t.find("COMP    "), 0);
}

TEST(DeteriorationRates, BlockCutShortCountsOnceARateIsRead) {
  TempDir dir;
  dir.write("data/detrates.dat", block("ACC", 0.1) + block("PCC", 0.3) + block("COMP", 0.5, 4));
  ScriptedConsole console;
  auto ctx = read_rates(dir, console);

  const PavementTypes& t = ctx->tables.pavement;
  EXPECT_EQ(t.pavement_type_count, 3);
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(t.det_rate[3][k], rate(0.5, k)) << k;  // classes 10..7
  for (int k = 5; k <= kClasses; ++k) EXPECT_EQ(t.det_rate[3][k], 0.0f) << k;   // classes 6..1
}

TEST(DeteriorationRates, OnlyFiveBlocksAreRead) {
  std::string file;
  const char* names[] = {"T1", "T2", "T3", "T4", "T5", "T6", "T7"};
  for (const char* n : names) file += block(n, 0.2);
  TempDir dir;
  dir.write("data/detrates.dat", file);
  ScriptedConsole console;
  auto ctx = read_rates(dir, console);
  EXPECT_EQ(ctx->tables.pavement.pavement_type_count, 5);
  EXPECT_EQ(ctx->tables.pavement.pavement_type_name[5], "T5      ");
}

TEST(DeteriorationRates, RateFieldsImpliedDecimalsBlanksCrlfAndLongLines) {
  TempDir dir;
  dir.write("data/detrates.dat",
            "Asphalt overlay\r\n"              // the name is its first 8 columns
            "125\r\n"                          // no point: 1.25
            "1.5\r\n"                          // as written
            "\r\n"                             // blank: 0
            " 3 5 comment after column 4\r\n"  // blanks inside the field are ignored
            "0.40" +
                std::string(4000, '9') + "\r\n");
  ScriptedConsole console;
  auto ctx = read_rates(dir, console);
  const PavementTypes& t = ctx->tables.pavement;
  EXPECT_EQ(t.pavement_type_count, 1);
  EXPECT_EQ(t.pavement_type_name[1], "Asphalt ");
  EXPECT_EQ(t.det_rate[1][1], 1.25f);
  EXPECT_EQ(t.det_rate[1][2], 1.5f);
  EXPECT_EQ(t.det_rate[1][3], 0.0f);
  EXPECT_EQ(t.det_rate[1][4], 0.35f);
  EXPECT_EQ(t.det_rate[1][5], 0.4f);
}

TEST(DeteriorationRates, MissingOrEmptyFileDefinesNoType) {
  TempDir dir;
  ScriptedConsole console;
  auto ctx = read_rates(dir, console);
  EXPECT_EQ(ctx->tables.pavement.pavement_type_count, 0);
  EXPECT_TRUE(dir.exists("data/detrates.dat"));

  auto again = read_rates(dir, console);  // now empty
  EXPECT_EQ(again->tables.pavement.pavement_type_count, 0);
}

TEST(DeteriorationRates, NonNumericRateStopsTheRunNamingFileAndLine) {
  TempDir dir;
  dir.write("data/detrates.dat", block("ACC", 0.1) + "PCC\n0.10\nfast\n");
  ScriptedConsole console;
  EXPECT_EQ(fatal_text_of([&] { read_rates(dir, console); }),
            " ** Fatal Error: unreadable record, file data/detrates.dat, line 14\n");
}

TEST(DeteriorationRates, ReadingAgainStartsFromAnEmptyTable) {
  TempDir dir;
  dir.write("data/detrates.dat", block("ACC", 0.1) + block("PCC", 0.3) + block("COMP", 0.5));
  auto ctx = make_context(dir);
  ScriptedConsole console;
  read_deterioration_rates(dialogue_of(*ctx, console), ctx->settings, ctx->tables.pavement);
  ASSERT_EQ(ctx->tables.pavement.pavement_type_count, 3);

  dir.write("data/detrates.dat", block("NEW", 0.2, 2));
  read_deterioration_rates(dialogue_of(*ctx, console), ctx->settings, ctx->tables.pavement);
  const PavementTypes& t = ctx->tables.pavement;
  EXPECT_EQ(t.pavement_type_count, 1);
  EXPECT_EQ(t.pavement_type_name[1], "NEW     ");
  EXPECT_EQ(t.det_rate[1][3], 0.0f);
  EXPECT_TRUE(t.pavement_type_name[2].blank());
  EXPECT_EQ(t.det_rate[2][1], 0.0f);
}

}  // namespace
}  // namespace pavecast
