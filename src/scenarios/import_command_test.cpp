#include "scenarios/import_command.h"

#include <gtest/gtest.h>

#include "readers/asset_ids.h"
#include "readers/deterioration_rates.h"
#include "readers/scores.h"
#include "support/test_support.h"
#include "support/tool_runs.h"

namespace pavecast {
namespace {

using testing::TempDir;

struct Loaded {
  SegmentTable table;
  NetworkValues network;
};

// roads/`name` read by the program's loader, without subdivision.
Loaded load(const TempDir& dir, const std::string& name, int32_t capacity) {
  PavementTypes types;
  read_deterioration_rates_file(
      types, *InputFile::open_or_fatal(dir.workdir().data("detrates.dat"), IfMissing::kFail));
  Loaded l{SegmentTable(capacity), {}};
  Statistics stats;
  auto scores = InputFile::open_or_fatal(dir.workdir().roads(name), IfMissing::kFail);
  load_segment_table(*scores, nullptr, types, LoadOptions{}, l.table, l.network, stats);
  return l;
}

testing::ToolResult import(const TempDir& dir, std::vector<std::string> more) {
  std::vector<std::string> args = {"import",        "t.csv",  "--name",        "CITY",
                                   "--year",        "2024",   "--id",          "id",
                                   "--score",       "pci",    "--lane-miles",  "lm",
                                   "--type-column", "surf",   "--type-map",    "A=ACC,C=PCC,X=COMP",
                                   "--highway",     "street", "--description", "limits"};
  args.insert(args.end(), more.begin(), more.end());
  return testing::run_tool(dir, args);
}

TEST(ImportCommand, TheProgramsLoaderReadsBackWhatTheTableSays) {
  TempDir dir;
  testing::copy_example(dir);
  dir.write("t.csv",
            "id,pci,lm,surf,street,limits\n"
            "X-1,4,1.5,X,Oak,\"From A, to B\"\n"
            "\"A,2\",9,2.25,A,Elm \xC3\x89"
            "cole,\n"
            "C-3,6,0.75,C,Main,\n"
            "A-4,1,3,A,Ash,\n");
  const testing::ToolResult r = import(dir, {"--title", "Our city"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("  imported                   4 segments"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("     9       2.25       0.00       0.00       2.25"), std::string::npos);
  EXPECT_NE(r.out.find(" Total       5.25       0.75       1.50       7.50"), std::string::npos);

  const Loaded l = load(dir, "CITY", kProgramSegmentCapacity);
  EXPECT_EQ(l.network.first_year, 2024);
  EXPECT_EQ(l.network.network_name.str(), "Our city             ");
  ASSERT_EQ(l.table.segment_count, 4);
  struct Expected {
    float score, lane_miles;
    int32_t type;
    std::string highway, description;
  };
  // Grouped by type in the rates' order (ACC, PCC, COMP), table order within.
  const std::vector<Expected> expected = {{9, 2.25f, 1, "Elm Ecole", ""},
                                          {1, 3.0f, 1, "Ash", ""},
                                          {6, 0.75f, 2, "Main", ""},
                                          {4, 1.5f, 3, "Oak", "From A, to B"}};
  for (int i = 1; i <= 4; ++i) {
    const Expected& e = expected[static_cast<std::size_t>(i - 1)];
    EXPECT_EQ(l.table[i].score, e.score) << i;
    EXPECT_EQ(l.table[i].lane_miles, e.lane_miles) << i;
    EXPECT_EQ(l.table[i].pavement_type, e.type) << i;
    EXPECT_EQ(l.table[i].highway_name.trimmed(), e.highway) << i;
    EXPECT_EQ(l.table[i].segment_description.trimmed(), e.description) << i;
  }
  EXPECT_EQ(read_asset_ids(dir.workdir(), "CITY", 4),
            (std::vector<std::string>{"", "A,2", "A-4", "C-3", "X-1"}));
}

TEST(ImportCommand, AboveTheProgramsLimitOnlyTheToolTakesTheNetwork) {
  TempDir dir;
  testing::copy_example(dir);
  std::string csv = "id,pci,lm,surf,street,limits\n";
  for (int k = 1; k <= 2501; ++k) csv.append("B").append(std::to_string(k)).append(",7,1.00,A,,\n");
  dir.write("t.csv", csv);
  const testing::ToolResult r = import(dir, {});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("The program (pavecast) takes at most 2,500 segments; the 2501 segments of\n"
                       "CITY can be projected by pavecast-scenarios only"),
            std::string::npos);
  EXPECT_EQ(testing::fatal_text_of([&] { load(dir, "CITY", kProgramSegmentCapacity); }),
            "\n  ** Fatal Error: You have exceeded the maximum number of segments.\n");
  EXPECT_EQ(load(dir, "CITY", kNoSegmentLimit).table.segment_count, 2501);
}

TEST(ImportCommand, RefusalsAndExistingNamesWriteNothing) {
  TempDir dir;
  testing::copy_example(dir);
  std::string csv = "id,pci,lm,surf,street,limits\nok,7,1,A,,\n";
  for (int k = 1; k <= 12; ++k) csv.append("r").append(std::to_string(k)).append(",7,1,Q,,\n");
  dir.write("t.csv", csv);
  testing::ToolResult r = import(dir, {});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("12 values refused; nothing written\n"
                       "  row 3, column \"surf\", value \"Q\": no mapping in --type-map\n"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("  and 2 more\n"), std::string::npos);
  EXPECT_FALSE(dir.exists("roads/CITY"));
  EXPECT_FALSE(dir.exists("roads/CITY.ids"));

  // An existing name is kept unless --replace.
  dir.write("t.csv", "id,pci,lm,surf,street,limits\nok,7,1,A,,\n");
  const std::string net1 = dir.read("roads/NET1");
  r = testing::run_tool(dir, {"import", "t.csv", "--name", "NET1", "--year", "2024", "--id", "id",
                              "--score", "pci", "--lane-miles", "lm", "--type", "ACC"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("roads/NET1 exists: give --replace"), std::string::npos) << r.err;
  EXPECT_EQ(dir.read("roads/NET1"), net1);
  r = testing::run_tool(
      dir, {"import", "t.csv", "--name", "NET1", "--year", "2024", "--id", "id", "--score", "pci",
            "--lane-miles", "lm", "--type", "ACC", "--replace"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dir.read("roads/NET1.ids"), "segment,asset_id\n1,ok\n");

  // The name is the program's 9-character field.
  r = import(dir, {"--name", "TENCHARSXX"});
  EXPECT_EQ(r.status, 2);
}

TEST(ImportCommand, TheExampleTableReproducesTheExampleNetwork) {
  TempDir dir;
  testing::copy_example(dir);
  const testing::ToolResult r = testing::run_tool(
      dir, {"import",         "ratings.csv",
            "--name",         "RATED",
            "--year",         "2025",
            "--title",        "Tri-County Regional",
            "--id",           "block_id",
            "--score",        "rating",
            "--miles",        "length_mi",
            "--width-feet",   "width_ft",
            "--type-column",  "surface",
            "--type-map",     "Asphalt=ACC,Bituminous=ACC,Concrete=PCC,Composite=COMP",
            "--mcd",          "mcd",
            "--jurisdiction", "district",
            "--highway",      "street",
            "--from",         "from_street",
            "--to",           "to_street"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dir.read("roads/RATED"), dir.read("roads/NET1"));
  const auto ids = read_asset_ids(dir.workdir(), "RATED", 800);
  ASSERT_TRUE(ids);
  EXPECT_EQ(ids->size(), 801u);
}

}  // namespace
}  // namespace pavecast
