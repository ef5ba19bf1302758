#include "scenarios/scenario_options.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/tool_runs.h"

namespace pavecast {
namespace {

using testing::run_tool;
using testing::TempDir;

TEST(ToolOptions, TheCommandsAndTheirValues) {
  ToolOptions o = parse_tool_options({"sweep", "--from", "0", "--to", "50", "--step", "2.5"});
  EXPECT_EQ(o.command, find_command("sweep"));
  std::vector<int64_t> levels = sweep_levels(o);
  ASSERT_EQ(levels.size(), 21u);
  EXPECT_EQ(levels[1], 250);
  EXPECT_EQ(levels.back(), 5000);

  // Levels stop before passing --to; "=" joins a flag to its value.
  o = parse_tool_options(
      {"sweep", "--from=0.1", "--to=1", "--step=0.3", "--order=4", "--jobs", "1"});
  EXPECT_EQ(sweep_levels(o), (std::vector<int64_t>{10, 40, 70, 100}));
  EXPECT_EQ(o.order, 4);
  EXPECT_EQ(o.jobs, 1);
  EXPECT_EQ(sweep_levels(parse_tool_options({"sweep", "--from", "3", "--to", "3", "--step", "1"})),
            (std::vector<int64_t>{300}));

  o = parse_tool_options({"needs", "--max-poor", "12.5", "--years", "0", "--csv", "n.csv"});
  EXPECT_EQ(o.command, find_command("needs"));
  EXPECT_DOUBLE_EQ(*o.targets.max_poor, 12.5);
  EXPECT_EQ(o.years, 0);
  EXPECT_EQ(o.csv_file, "n.csv");

  o = parse_tool_options({"orders", "--funding", "17.25", "--svg", "o.svg"});
  EXPECT_EQ(o.funding_cents, 1725);
  EXPECT_EQ(o.svg_file, "o.svg");
  EXPECT_EQ(parse_tool_options({"--help"}).command, nullptr);
}

// Every usage error: status 2, the message, the usage lines, nothing on
// standard output, and no file read (the directory is empty).
TEST(ToolOptions, BadOptionsAreUsageErrors) {
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const std::vector<Case> cases = {
      {{}, "no command given"},
      {{"simulate"}, "unknown command \"simulate\""},
      {{"sweep", "--from", "0", "--to", "5", "--step", "1", "--fast"}, "unknown option --fast"},
      {{"sweep", "--from", "0", "--to", "5", "--step", "1", "x"}, "unexpected argument \"x\""},
      {{"sweep", "--to", "5", "--step", "1"}, "sweep needs --from"},
      {{"sweep", "--from", "0", "--to", "5"}, "sweep needs --step"},
      {{"sweep", "--from", "0", "--to", "5", "--step"}, "--step needs a value"},
      {{"sweep", "--from", "--to", "5", "--step", "1"}, "--from needs a value"},
      {{"sweep", "--from", "10", "--to", "5", "--step", "1"}, "--to is below --from"},
      {{"sweep", "--from", "0", "--to", "5", "--step", "0"}, "--step must be at least 0.01"},
      {{"sweep", "--from", "-1", "--to", "5", "--step", "1"}, "--from cannot be negative"},
      {{"sweep", "--from", "0", "--to", "5", "--step", "0.005"}, "to the cent"},
      {{"sweep", "--from", "0", "--to", "500", "--step", "0.01"}, "more than 10000 levels"},
      {{"sweep", "--from", "0", "--to", "1e3", "--step", "1"}, "--to takes a number, not \"1e3\""},
      {{"sweep", "--from", "0", "--to", "nan", "--step", "1"}, "--to takes a number"},
      {{"sweep", "--from", "0", "--to", "100000", "--step", "1"}, "more than 99999.99"},
      {{"sweep", "--from", "0", "--from", "1", "--to", "5", "--step", "1"},
       "--from is given twice"},
      {{"sweep", "--from", "0", "--to", "5", "--step", "1", "--max-poor", "3"},
       "--max-poor is not an option of sweep"},
      {{"needs"}, "needs takes at least one target"},
      {{"needs", "--max-poor", "101"}, "--max-poor is a percent from 0 to 100"},
      {{"needs", "--max-poor", "-0.5"}, "--max-poor is a percent from 0 to 100"},
      {{"needs", "--max-poor", "ten"}, "--max-poor takes a number"},
      {{"needs", "--max-poor", "10", "--order", "6"}, "--order takes a whole number from 1 to 5"},
      {{"needs", "--max-poor", "10", "--years", "2.5"},
       "--years takes a whole number from 0 to 97"},
      {{"needs", "--max-poor", "10", "--years", "98"}, "--years takes a whole number from 0 to 97"},
      {{"needs", "--max-poor", "10", "--jobs", "0"}, "--jobs takes a whole number from 1 to 64"},
      {{"needs", "--max-poor", "10", "--csv="}, "--csv needs a file name"},
      {{"orders", "--order", "2"}, "--order is not an option of orders"},
      {{"orders", "--funding", "-3"}, "--funding cannot be negative"},
      {{"--help", "sweep"}, "--help takes nothing after it"},
      // The scores name is a 9-character field of one entry of roads/.
      {{"plan", "--network", "TENLETTERS"}, "--network takes the name of a scores file"},
      {{"plan", "--network", "../NET1"}, "--network takes the name of a scores file"},
      {{"plan", "--network", "A B"}, "--network takes the name of a scores file"},
      {{"plan", "--rates="}, "--rates needs a file name"},
  };
  TempDir empty;
  for (const Case& c : cases) {
    std::string shown;
    for (const std::string& a : c.args) shown += a + " ";
    SCOPED_TRACE(shown);
    testing::ToolResult r = run_tool(empty, c.args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.find("pavecast-scenarios: "), 0u) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("\nusage: pavecast-scenarios sweep"), std::string::npos) << r.err;
  }
}

TEST(ToolOptions, HelpPrintsTheUsage) {
  TempDir empty;
  testing::ToolResult r = run_tool(empty, {"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, help_text());
  EXPECT_EQ(r.err, "");
  // Every command of the table is in the usage lines and the list.
  for (const ToolCommand& c : tool_commands()) {
    EXPECT_NE(r.out.find("pavecast-scenarios " + std::string(c.name) + " "), std::string::npos);
    EXPECT_NE(r.out.find("\n  " + std::string(c.name) + " "), std::string::npos);
  }
  std::istringstream lines(r.out.substr(r.out.find("commands:")));
  for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;
}

}  // namespace
}  // namespace pavecast
