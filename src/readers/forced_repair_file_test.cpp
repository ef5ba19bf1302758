#include "readers/forced_repair_file.h"

#include <gtest/gtest.h>

#include <functional>

#include "fatal/fatal.h"
#include "support/test_support.h"

namespace pavecast {
namespace {

using testing::lines;
using testing::make_context;
using testing::ScriptedConsole;
using testing::TempDir;

using testing::fatal_text_of;

// A file of `n` entries, entry k forcing segment k in year index 2.
std::string entries(int n) {
  std::string s;
  for (int k = 1; k <= n; ++k) {
    char line[16];
    std::snprintf(line, sizeof line, " 2%4d\n", k);
    s += line;
  }
  return s;
}

TEST(ForcedRepairs, EntriesAndBackIndex) {
  TempDir dir;
  dir.write("force.txt", lines({" 3  17", " 5 240  the rest is ignored"}));
  auto ctx = make_context(dir);
  ctx->settings.force_fix_file = "force.txt";  // trailing blanks are not part of the name
  ScriptedConsole console;
  read_forced_repairs(ctx->workdir, ctx->settings.force_fix_file, console, ctx->forced,
                      ctx->segments);
  EXPECT_EQ(ctx->forced.forced_count, 2);
  EXPECT_EQ(ctx->forced.forced_year[1], 3);
  EXPECT_EQ(ctx->forced.forced_segment[1], 17);
  EXPECT_EQ(ctx->forced.forced_year[2], 5);
  EXPECT_EQ(ctx->forced.forced_segment[2], 240);
  for (int i = 1; i <= ctx->segments.capacity; ++i) {
    int expected = i == 17 ? 1 : i == 240 ? 2 : 0;
    ASSERT_EQ(ctx->segments[i].forced_index, expected) << "row " << i;
  }
  EXPECT_EQ(console.output(), "");
}

TEST(ForcedRepairs, SegmentNamedTwicePointsToTheLaterEntry) {
  TempDir dir;
  dir.write("fix.dat", lines({" 3  17", " 4   9", " 6  17"}));
  auto ctx = make_context(dir);
  ctx->settings.force_fix_file = "fix.dat     ";
  ScriptedConsole console;
  read_forced_repairs(ctx->workdir, ctx->settings.force_fix_file, console, ctx->forced,
                      ctx->segments);
  EXPECT_EQ(ctx->forced.forced_count, 3);
  EXPECT_EQ(ctx->segments[17].forced_index, 3);
  EXPECT_EQ(ctx->forced.forced_segment[1], 17);  // both entries stay in the list
  EXPECT_EQ(forced_entry(ctx->forced, ctx->segments, 17), 3);
  EXPECT_EQ(forced_entry(ctx->forced, ctx->segments, 9), 2);
}

TEST(ForcedRepairs, SegmentOutsideTheTableIsSkippedWithAWarning) {
  TempDir dir;
  // A blank line names segment 0; 9999 lies beyond the table; neither uses
  // up an entry number, and reading goes on after them.
  dir.write("force.txt", lines({" 2  38", "", " 39999", " 4  -5", " 7 220"}));
  auto ctx = make_context(dir);
  ctx->settings.force_fix_file = "force.txt";
  ScriptedConsole console;
  read_forced_repairs(ctx->workdir, ctx->settings.force_fix_file, console, ctx->forced,
                      ctx->segments);
  EXPECT_EQ(console.output(),
            lines({" ** Warning: forced-repair line 2 of force.txt names segment 0, outside "
                   "1..2500; the line is skipped",
                   " ** Warning: forced-repair line 3 of force.txt names segment 9999, outside "
                   "1..2500; the line is skipped",
                   " ** Warning: forced-repair line 4 of force.txt names segment -5, outside "
                   "1..2500; the line is skipped"}));
  EXPECT_EQ(ctx->forced.forced_count, 2);
  EXPECT_EQ(ctx->forced.forced_segment[2], 220);
  EXPECT_EQ(ctx->segments[220].forced_index, 2);
}

TEST(ForcedRepairs, UnreadableLineEndsTheListSilently) {
  TempDir dir;
  dir.write("force.txt", lines({" 2  38", "x2  40", " 3  41"}));
  auto ctx = make_context(dir);
  ctx->settings.force_fix_file = "force.txt";
  ScriptedConsole console;
  read_forced_repairs(ctx->workdir, ctx->settings.force_fix_file, console, ctx->forced,
                      ctx->segments);
  EXPECT_EQ(ctx->forced.forced_count, 1);
  EXPECT_EQ(ctx->segments[41].forced_index, 0);
  EXPECT_EQ(console.output(), "");

  // A missing file is created empty: no entries.
  ctx->settings.force_fix_file = "none.txt";
  read_forced_repairs(ctx->workdir, ctx->settings.force_fix_file, console, ctx->forced,
                      ctx->segments);
  EXPECT_EQ(ctx->forced.forced_count, 0);
  EXPECT_TRUE(dir.exists("none.txt"));

  ScriptedConsole blank;
  ctx->settings.force_fix_file = "";
  read_forced_repairs(ctx->workdir, ctx->settings.force_fix_file, blank, ctx->forced,
                      ctx->segments);
  EXPECT_EQ(ctx->forced.forced_count, 0);
  EXPECT_EQ(blank.output(),
            lines({" ** Warning: no forced-repair file was named; no repairs are forced"}));
}

PAVECAST_GCC_BUG_105651_BEGIN
TEST(ForcedRepairs, HundredEntriesAcceptedTheHundredAndFirstStops) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->settings.force_fix_file = "force.txt";
  ScriptedConsole console;

  // Blank lines among the 100 entries are skipped and count for nothing.
  dir.write("force.txt", "\n" + entries(50) + "\n" + entries(100).substr(50 * 7));
  read_forced_repairs(ctx->workdir, ctx->settings.force_fix_file, console, ctx->forced,
                      ctx->segments);
  EXPECT_EQ(ctx->forced.forced_count, 100);
  EXPECT_EQ(ctx->segments[100].forced_index, 100);

  dir.write("force.txt", entries(101));
  EXPECT_EQ(fatal_text_of([&] {
              read_forced_repairs(ctx->workdir, ctx->settings.force_fix_file, console, ctx->forced,
                                  ctx->segments);
            }),
            " ** Fatal Error: The maximium number of forced repairs has been exceeded.\n");
}
PAVECAST_GCC_BUG_105651_END

TEST(ForcedRepairs, RereadingKeepsOldBackIndexesButTheyNoLongerApply) {
  TempDir dir;
  auto ctx = make_context(dir);
  ctx->settings.force_fix_file = "force.txt";
  ScriptedConsole console;
  dir.write("force.txt", lines({" 3  17", " 4  30"}));
  read_forced_repairs(ctx->workdir, ctx->settings.force_fix_file, console, ctx->forced,
                      ctx->segments);
  // A second pass through the dialogue names another file.
  dir.write("force.txt", lines({" 5  30"}));
  read_forced_repairs(ctx->workdir, ctx->settings.force_fix_file, console, ctx->forced,
                      ctx->segments);
  EXPECT_EQ(ctx->forced.forced_count, 1);
  EXPECT_EQ(ctx->segments[17].forced_index, 1);                // only start-up clears the rows
  EXPECT_EQ(forced_entry(ctx->forced, ctx->segments, 17), 0);  // entry 1 now names segment 30
  EXPECT_EQ(forced_entry(ctx->forced, ctx->segments, 30), 1);
}

TEST(ForcedRepairs, EntriesBeyondTheLoadedNetworkAreIgnored) {
  TempDir dir;
  dir.write("force.txt", lines({" 3   2", " 4 900", " 5 901"}));
  auto ctx = make_context(dir);
  ctx->settings.force_fix_file = "force.txt";
  ScriptedConsole console;
  read_forced_repairs(ctx->workdir, ctx->settings.force_fix_file, console, ctx->forced,
                      ctx->segments);
  ctx->segments.segment_count = 800;
  ignore_forced_entries_beyond_network(ctx->forced, ctx->segments, console);
  EXPECT_EQ(console.output(),
            lines({" ** Warning: forced repair 2 names segment 900, but the network has 800 "
                   "segments; the entry is ignored",
                   " ** Warning: forced repair 3 names segment 901, but the network has 800 "
                   "segments; the entry is ignored"}));
  EXPECT_EQ(ctx->forced.forced_count, 3);
  EXPECT_EQ(ctx->forced.forced_ignored[1], 0);
  EXPECT_EQ(ctx->forced.forced_ignored[2], 1);
  EXPECT_EQ(ctx->forced.forced_year[2], 0);  // never the year being simulated
  EXPECT_EQ(ctx->forced.forced_year[1], 3);
  EXPECT_EQ(ctx->segments[900].forced_index, 0);
  EXPECT_EQ(forced_entry(ctx->forced, ctx->segments, 2), 1);
  EXPECT_EQ(forced_entry(ctx->forced, ctx->segments, 901), 0);
}

}  // namespace
}  // namespace pavecast
