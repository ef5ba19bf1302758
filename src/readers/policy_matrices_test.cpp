#include "readers/policy_matrices.h"

#include <gtest/gtest.h>

#include <array>
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

using Row = std::array<int32_t, kClasses + 1>;  // index 0 unused

using testing::fatal_text_of;

// A context whose rates file defined the given pavement types.
std::unique_ptr<RunContext> with_types(const TempDir& dir,
                                       std::initializer_list<const char*> names) {
  auto ctx = make_context(dir);
  for (const char* n : names) {
    ++ctx->tables.pavement.pavement_type_count;
    ctx->tables.pavement.pavement_type_name[ctx->tables.pavement.pavement_type_count] = n;
  }
  return ctx;
}

TEST(PolicyMatrices, BlocksInAnyOrderFillTheirTypesRows) {
  TempDir dir;
  dir.write("data/matrix.dat",
            lines({"COMP    ", "60 60 50 40 30 20 10 10  0  0 ", "ACC",
                   " 0  0  0  0  3  3  2  2  1  0", "PCC     ", "61 61 55 55 35 35 10 10  0  0 "}));
  auto ctx = with_types(dir, {"ACC", "PCC", "COMP"});
  ScriptedConsole console;

  read_policy_matrices(dialogue_of(*ctx, console), ctx->settings, ctx->tables.pavement,
                       ctx->tables.policy);

  EXPECT_EQ(console.output(), " Reading Policy Matrices\n");
  EXPECT_EQ(ctx->tables.policy[1], (Row{0, 0, 0, 0, 0, 3, 3, 2, 2, 1, 0}));
  EXPECT_EQ(ctx->tables.policy[2], (Row{0, 61, 61, 55, 55, 35, 35, 10, 10, 0, 0}));
  EXPECT_EQ(ctx->tables.policy[3], (Row{0, 60, 60, 50, 40, 30, 20, 10, 10, 0, 0}));
}

TEST(PolicyMatrices, RepeatedNameOverwritesAndBlocksAfterTheCountAreNotRead) {
  TempDir dir;
  dir.write("data/matrix.dat",
            "ACC\r\n 1  1  1  1  1  1  1  1  1  1\r\n"
            "ACC\r\n 2  2  2  2  2  2  2  2  2  2" +
                std::string(3000, ' ') +
                "\r\n"
                "XYZ\r\nnot even numbers\r\n");
  auto ctx = with_types(dir, {"ACC", "PCC"});
  ScriptedConsole console;

  read_policy_matrices(dialogue_of(*ctx, console), ctx->settings, ctx->tables.pavement,
                       ctx->tables.policy);

  EXPECT_EQ(ctx->tables.policy[1], (Row{0, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2}));
  EXPECT_EQ(ctx->tables.policy[2], Row{});
}

TEST(PolicyMatrices, UnknownPavementTypeStopsTheRunWithItsPaddedName) {
  const std::string expected =
      "\n\n ** Fatal Error: An invalid pavement type was entered (acc/pcc ).\n";
  {
    TempDir dir;
    dir.write("data/matrix.dat", lines({"acc/pcc", "10 10 10 10 10 10 10 10 10 10"}));
    auto ctx = with_types(dir, {"acc/pcc2"});
    ScriptedConsole console;
    EXPECT_EQ(fatal_text_of([&] {
                read_policy_matrices(dialogue_of(*ctx, console), ctx->settings,
                                     ctx->tables.pavement, ctx->tables.policy);
              }),
              expected);
  }
  {
    TempDir dir;  // names differ in case only
    dir.write("data/matrix.dat", lines({"Acc", "10 10 10 10 10 10 10 10 10 10"}));
    auto ctx = with_types(dir, {"ACC"});
    ScriptedConsole console;
    EXPECT_EQ(fatal_text_of([&] {
                read_policy_matrices(dialogue_of(*ctx, console), ctx->settings,
                                     ctx->tables.pavement, ctx->tables.policy);
              }),
              "\n\n ** Fatal Error: An invalid pavement type was entered (Acc     ).\n");
  }
  {
    TempDir dir;  // a leading blank is part of the name
    dir.write("data/matrix.dat", lines({" ACC", "10 10 10 10 10 10 10 10 10 10"}));
    auto ctx = with_types(dir, {"ACC"});
    ScriptedConsole console;
    EXPECT_EQ(fatal_text_of([&] {
                read_policy_matrices(dialogue_of(*ctx, console), ctx->settings,
                                     ctx->tables.pavement, ctx->tables.policy);
              }),
              "\n\n ** Fatal Error: An invalid pavement type was entered ( ACC    ).\n");
  }
}

TEST(PolicyMatrices, ShortMissingOrUnreadableFileStopsTheRun) {
  struct Case {
    const char* content;  // nullptr: no file
    std::string message;
  };
  const Case cases[] = {
      {nullptr, " ** Fatal Error: unexpected end of file, file data/matrix.dat, line 1\n"},
      {"ACC\n1 2 3 4 5 6 7 8 9 10\n",
       " ** Fatal Error: unexpected end of file, file data/matrix.dat, line 3\n"},
      {"ACC\n1 2 3 4 5 6 7 8 9 10\nPCC\n",
       " ** Fatal Error: unexpected end of file, file data/matrix.dat, line 4\n"},
      {"ACC\n10 20 3x 40 50 60 70 80 90 10\n",
       " ** Fatal Error: unreadable record, file data/matrix.dat, line 2\n"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    if (c.content != nullptr) dir.write("data/matrix.dat", c.content);
    auto ctx = with_types(dir, {"ACC", "PCC"});
    ScriptedConsole console;
    EXPECT_EQ(fatal_text_of([&] {
                read_policy_matrices(dialogue_of(*ctx, console), ctx->settings,
                                     ctx->tables.pavement, ctx->tables.policy);
              }),
              c.message);
    EXPECT_TRUE(dir.exists("data/matrix.dat"));
  }
}

TEST(PolicyMatrices, NoPavementTypesReadsNothing) {
  TempDir dir;
  auto ctx = with_types(dir, {});
  ScriptedConsole console;
  read_policy_matrices(dialogue_of(*ctx, console), ctx->settings, ctx->tables.pavement,
                       ctx->tables.policy);
  EXPECT_EQ(console.output(), " Reading Policy Matrices\n");
  EXPECT_TRUE(dir.exists("data/matrix.dat"));
}

TEST(PolicyMatrices, ActionNumbersAreNotCheckedAndReadingAgainStartsClean) {
  TempDir dir;
  dir.write("data/matrix.dat", lines({"ACC", "99 98 97 96 95 94 93 92 91 90", "PCC",
                                      "10 10 10 10 10 10 10 10 10 10"}));
  auto ctx = with_types(dir, {"ACC", "PCC"});
  ScriptedConsole console;
  read_policy_matrices(dialogue_of(*ctx, console), ctx->settings, ctx->tables.pavement,
                       ctx->tables.policy);
  EXPECT_EQ(ctx->tables.policy[1], (Row{0, 99, 98, 97, 96, 95, 94, 93, 92, 91, 90}));

  dir.write("data/matrix.dat", lines({"PCC", "20", "PCC", "30"}));
  read_policy_matrices(dialogue_of(*ctx, console), ctx->settings, ctx->tables.pavement,
                       ctx->tables.policy);
  EXPECT_EQ(ctx->tables.policy[1], Row{});
  EXPECT_EQ(ctx->tables.policy[2], (Row{0, 30, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace pavecast
