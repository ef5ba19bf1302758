#include "scenarios/plan.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "support/tool_runs.h"

namespace pavecast {
namespace {

using testing::run_tool;
using testing::set_line;
using testing::TempDir;

// The rows of a CSV without its header, split at commas (the plan's quoted
// fields hold none in the bundled network).
std::vector<std::vector<std::string>> rows_of(const std::string& csv) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(csv);
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    std::vector<std::string> row;
    std::istringstream fields(line);
    for (std::string f; std::getline(fields, f, ',');) row.push_back(f);
    if (line.ends_with(",")) row.push_back("");
    rows.push_back(row);
  }
  return rows;
}

// The plan of the bundled network with its forced repairs: each year's
// charges add up to the year's spent money of the same projection, as the
// year table shows it; the forced repairs say what they were charged; the
// conditions hold every segment every year.
TEST(Plan, ChargesAddUpToEachYearsSpentMoney) {
  TempDir dir, out;
  testing::copy_example(dir);
  set_line(dir, "data/default2.dat", 4, "Y");  // the forced repairs of force.txt
  const std::string plan = (out.path() / "plan.csv").string();
  const std::string conditions = (out.path() / "conditions.csv").string();
  testing::ToolResult r = run_tool(dir, {"plan", "--years", "6", "--funding", "20", "--csv", plan,
                                         "--conditions", conditions});
  ASSERT_EQ(r.status, 0) << r.err;

  std::map<int, double> charged;
  int forced = 0;
  for (const auto& row : rows_of(out.read("plan.csv"))) {
    ASSERT_EQ(row.size(), 18u);
    charged[std::stoi(row[0])] += std::stod(row[12]);
    if (row[15] == "yes") {
      ++forced;
      EXPECT_TRUE(row[17].starts_with("forced")) << row[17];
    }
  }
  EXPECT_EQ(forced, 3);
  // The year table: "YEAR  poor fair good mean SPENT miles".
  std::istringstream table(r.out.substr(r.out.find("Year   % Poor")));
  std::string line;
  std::getline(table, line);
  int years = 0;
  while (std::getline(table, line) && !line.starts_with("Total")) {
    std::istringstream f(line);
    int year;
    double poor, fair, good, mean, spent;
    f >> year >> poor >> fair >> good >> mean >> spent;
    if (year == 2025) continue;
    EXPECT_NEAR(charged[year], spent, 0.0005) << year;
    ++years;
  }
  EXPECT_EQ(years, 6);
  // Every segment at the end of every year: 800 loaded, one more each year
  // (a split a year).
  const auto rows = rows_of(out.read("conditions.csv"));
  EXPECT_EQ(rows.size(), 800u + 801 + 802 + 803 + 804 + 805 + 806);
  // Each with its remaining life at the end: 0 exactly when poor; a road
  // that stays out of poor for another year has at least 1 (the loaded
  // year's scores deteriorate unrepaired where the plan makes nothing).
  std::map<std::pair<int, int>, int> life;
  for (const auto& row : rows) {
    ASSERT_EQ(row.size(), 6u);
    const int c = std::stoi(row[4]);
    const int years = row[5] == "30+" ? 30 : std::stoi(row[5]);
    EXPECT_EQ(years == 0, c <= 5) << row[0] << " " << row[1];
    EXPECT_LE(years, 30);
    life[{std::stoi(row[0]), std::stoi(row[1])}] = years;
  }
  // A segment left alone loses one year of life a year, unless it was
  // already poor or beyond the count.
  int fell = 0;
  for (const auto& [key, years] : life) {
    auto next = life.find({key.first + 1, key.second});
    if (next == life.end() || years == 0 || years >= 30) continue;
    if (next->second == years - 1) ++fell;
  }
  EXPECT_GT(fell, 1000);
}

// Breakdowns give the network's own figures again, group by group: the
// groups' money adds up to the network's.
TEST(Plan, GroupsShareTheNetworksMoney) {
  TempDir dir;
  testing::copy_example(dir);
  testing::ToolResult r = run_tool(dir, {"sweep", "--from", "30", "--to", "30", "--step", "1",
                                         "--years", "4", "--by", "jurisdiction", "--csv", "-"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::map<std::string, double> spent;  // year -> the groups' sum
  std::map<std::string, double> network;
  for (const auto& row : rows_of(r.out)) {
    if (row[0] != "year") continue;
    (row[3] == "network" ? network[row[4]] : spent[row[4]]) += std::stod(row[9]);
    EXPECT_NEAR(std::stod(row[5]) + std::stod(row[6]) + std::stod(row[7]), 100.0, 0.011);
  }
  ASSERT_EQ(network.size(), 5u);
  for (const auto& [year, money] : network) EXPECT_NEAR(spent[year], money, 0.002) << year;
}

// A network far beyond the program's 2,500 segments plans like any other.
TEST(Plan, ANetworkOf100000Segments) {
  TempDir dir, out;
  testing::copy_example(dir);
  testing::grow_network(dir, 100000);
  const std::string plan = (out.path() / "plan.csv").string();
  testing::ToolResult r = run_tool(dir, {"plan", "--years", "2", "--csv", plan});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("100000 segments"), std::string::npos) << r.out;
  EXPECT_GT(rows_of(out.read("plan.csv")).size(), 10u);
}

}  // namespace
}  // namespace pavecast
