// An agency's table imported into a fresh copy of the example, then
// projected by name (--network) and with other rates (--rates), the saved
// answers untouched; the work plan carries the table's own ids.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "support/tool_runs.h"

namespace pavecast {
namespace {

using testing::run_tool;
using testing::TempDir;

// The fields of a line without quoted commas (the ids and plan fields here).
std::vector<std::string> fields_of(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string f; std::getline(in, f, ',');) fields.push_back(f);
  if (line.ends_with(",")) fields.push_back("");
  return fields;
}

void import_example_table(const TempDir& dir) {
  const auto r = run_tool(
      dir, {"import", "ratings.csv", "--name", "RATED", "--year", "2025", "--title",
            "Tri-County Regional", "--id", "block_id", "--score", "rating", "--miles", "length_mi",
            "--width-feet", "width_ft", "--type-column", "surface", "--type-map",
            "Asphalt=ACC,Bituminous=ACC,Concrete=PCC,Composite=COMP", "--mcd", "mcd",
            "--jurisdiction", "district", "--highway", "street", "--from", "from_street", "--to",
            "to_street"});
  ASSERT_EQ(r.status, 0) << r.err;
}

TEST(RealNetwork, ImportedTableRunsByNameAndItsPlanCarriesTheIds) {
  TempDir dir;
  testing::copy_example(dir);
  import_example_table(dir);
  const std::string answers = dir.read("data/default2.dat");

  auto r = run_tool(dir, {"sweep", "--network", "RATED", "--from", "20", "--to", "40", "--step",
                          "20", "--years", "3"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("RATED (Tri-County Regional), 800 segments, conditions of 2025, 3 years\n"
                       "Deterioration rates: data/detrates.dat\n"),
            std::string::npos)
      << r.out;
  r = run_tool(dir, {"needs", "--network", "RATED", "--max-poor", "40", "--years", "3"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("RATED (Tri-County Regional)"), std::string::npos) << r.out;

  // The same network without ids (roads/RATED is roads/NET1 byte for byte):
  // the same plan, its asset_id column empty.
  for (const char* name : {"RATED", "NET1"}) {
    r = run_tool(dir, {"plan", "--network", name, "--funding", "20", "--years", "4", "--csv",
                       std::string(name) + ".csv", "--conditions", std::string(name) + ".cond"});
    ASSERT_EQ(r.status, 0) << r.err;
  }
  EXPECT_EQ(dir.read("data/default2.dat"), answers);

  std::vector<std::string> ids;  // by segment line, [0] the header
  for (const std::string& line : testing::split_lines(dir.read("roads/RATED.ids")))
    ids.push_back(fields_of(line)[1]);
  const auto rated = testing::split_lines(dir.read("RATED.csv"));
  const auto plain = testing::split_lines(dir.read("NET1.csv"));
  ASSERT_EQ(rated.size(), plain.size());
  ASSERT_GT(rated.size(), 20u);
  EXPECT_TRUE(rated[0].starts_with("year,segment,original_segment,asset_id,highway,")) << rated[0];
  int splits = 0;
  for (std::size_t i = 1; i < rated.size(); ++i) {
    auto with_id = fields_of(rated[i]);
    auto without = fields_of(plain[i]);
    EXPECT_EQ(with_id[3], ids.at(std::stoul(with_id[2]))) << rated[i];
    EXPECT_EQ(without[3], "") << plain[i];
    with_id.erase(with_id.begin() + 3);
    without.erase(without.begin() + 3);
    EXPECT_EQ(with_id, without);
    if (with_id[1] != with_id[2]) ++splits;
  }
  EXPECT_GT(splits, 0);  // a piece split off names its segment's id

  // Conditions: pieces split off (numbers past 800) carry their segment's id.
  int pieces = 0;
  for (const std::string& line : testing::split_lines(dir.read("RATED.cond"))) {
    const auto f = fields_of(line);
    if (f[0] == "year") continue;
    EXPECT_FALSE(f[2].empty()) << line;
    if (std::stoi(f[1]) <= 800) {
      EXPECT_EQ(f[2], ids.at(std::stoul(f[1]))) << line;
    }
    pieces += std::stoi(f[1]) > 800;
  }
  EXPECT_GT(pieces, 0);
}

// --rates reads a rates file anywhere and says so; the file it names is an
// input, never an output; a name that is no file is a usage error.
TEST(RealNetwork, RatesFileFromTheCommandLine) {
  TempDir dir;
  testing::copy_example(dir);
  const std::vector<std::string> sweep = {"sweep", "--from", "30", "--to", "30", "--step", "1",
                                          "--years", "3"};
  auto with = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = sweep;
    args.insert(args.end(), extra.begin(), extra.end());
    return run_tool(dir, args);
  };
  const auto saved = with({});
  const auto other = with({"--rates", "ratings-rates.dat"});
  ASSERT_EQ(other.status, 0) << other.err;
  EXPECT_NE(other.out.find("\nDeterioration rates: ratings-rates.dat\n"), std::string::npos)
      << other.out;
  EXPECT_NE(saved.out, other.out);

  auto r = with({"--rates", "ratings-rates.dat", "--csv", "ratings-rates.dat"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("it is a file the command reads"), std::string::npos) << r.err;
  r = with({"--rates", "nowhere.dat"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--rates nowhere.dat: there is no such file"), std::string::npos) << r.err;
  r = with({"--network", "NOSUCH"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("there is no scores file roads/NOSUCH"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace pavecast
