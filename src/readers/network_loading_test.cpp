#include "readers/network_loading.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fatal/fatal.h"
#include "support/test_support.h"

namespace pavecast {
namespace {

using testing::lines;
using testing::ScriptedConsole;
using testing::TempDir;

// Answers, tables and parts for loading roads/net of one ASPHALT group.
struct Loading {
  explicit Loading(const TempDir& dir, bool read_only = false) : workdir{dir.path(), read_only} {
    pavement.pavement_type_count = 1;
    pavement.pavement_type_name[1] = "ASPHALT";
    settings.scores_name = "net";
    settings.split_answer = 'N';
    settings.randomize_answer = 'N';
    settings.force_fix_answer = 'N';
    settings.vmt_answer = 'N';
    settings.repair_order = 1;
  }
  void load(const NetworkLoading& how, Console& console) {
    load_network({workdir, settings, pavement, 0, workdir.data("detrates.dat")}, how, console,
                 {segments, network, forced, stats});
  }

  Workdir workdir;
  RunSettings settings;
  PavementTypes pavement;
  SegmentTable segments;
  NetworkValues network;
  ForcedRepairs forced;
  Statistics stats;
};

std::string network_of(int segments) {
  std::string text = lines({"1996", "County", "ASPHALT"});
  for (int i = 0; i < segments; ++i) text += " 5   1.00\n";
  return text + "\n";
}

// The program's order: the forced-repair list, the hook before the scores
// (the saved answers written back), the scores file, the hook after it (the
// run files), then random.dat. Each missing file is created when opened, so
// each hook sees which were opened before it.
TEST(NetworkLoading, TheProgramsOrderOfFiles) {
  TempDir dir;
  Loading l(dir);
  l.settings.scores_name = "missing";
  l.settings.force_fix_answer = 'Y';
  l.settings.force_fix_file = "force.txt";
  l.settings.randomize_answer = 'Y';
  std::vector<std::string> seen;
  NetworkLoading how;
  how.before_scores = [&] {
    seen.push_back(std::string(dir.exists("force.txt") ? "force " : "") +
                   (dir.exists("roads/missing") ? "scores" : ""));
  };
  how.scores_opened = [&] {
    seen.push_back(std::string(dir.exists("roads/missing") ? "scores " : "") +
                   (dir.exists("data/random.dat") ? "random" : ""));
  };
  ScriptedConsole console;
  EXPECT_THROW(l.load(how, console), FatalStop);  // the empty scores file
  EXPECT_EQ(seen, (std::vector<std::string>{"force ", "scores "}));
  EXPECT_TRUE(dir.exists("data/random.dat"));
}

// The tool's loading: beyond the program's 2,500 rows, the forced-repair
// list read after the rows exist, and nothing created in a read-only
// directory.
TEST(NetworkLoading, TheToolsTableHasNoLimitAndReadsTheListAfterIt) {
  TempDir dir;
  dir.write("roads/net", network_of(2600));
  dir.write("force.txt", lines({" 22550", " 32700"}));
  Loading l(dir, /*read_only=*/true);
  l.settings.force_fix_answer = 'Y';
  l.settings.force_fix_file = "force.txt";
  l.settings.randomize_answer = 'Y';  // data/random.dat is missing
  NetworkLoading how;
  how.unlimited_table = true;
  how.reuse_random = true;
  how.score_keys_always = true;
  ScriptedConsole console;
  EXPECT_THROW(l.load(how, console), FatalStop);
  EXPECT_FALSE(dir.exists("data/random.dat"));

  l.settings.randomize_answer = 'N';
  ScriptedConsole warnings;
  l.load(how, warnings);
  EXPECT_EQ(l.segments.segment_count, 2600);
  EXPECT_EQ(forced_entry(l.forced, l.segments, 2550), 1);
  EXPECT_EQ(l.forced.forced_ignored[2], 1);
  EXPECT_NE(warnings.output().find("segment 2700"), std::string::npos);
  EXPECT_EQ(l.segments[1].order_key, 5.0f);  // the file score under random order
}

TEST(NetworkLoading, AListNotWantedIsEmptied) {
  TempDir dir;
  dir.write("roads/net", network_of(3));
  dir.write("force.txt", lines({" 2   2"}));
  Loading l(dir);
  l.settings.force_fix_answer = 'Y';
  l.settings.force_fix_file = "force.txt";
  ScriptedConsole console;
  l.load({}, console);
  EXPECT_EQ(l.forced.forced_count, 1);
  l.settings.force_fix_answer = 'N';
  l.load({}, console);
  EXPECT_EQ(l.forced.forced_count, 0);
}

}  // namespace
}  // namespace pavecast
