#include "readers/asset_ids.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace pavecast {
namespace {

using testing::TempDir;

TEST(AssetIds, ReadsBackWhatTheRowsWriteAndRefusesAnotherFilesIds) {
  TempDir dir;
  EXPECT_FALSE(read_asset_ids(dir.workdir(), "NET", 2));  // no ids file: none

  std::string ids = "segment,asset_id\n";
  ids += asset_id_row(1, "a, \"b\"") + asset_id_row(2, " c") + asset_id_row(3, "d");
  dir.write("roads/NET.ids", ids);
  EXPECT_EQ(read_asset_ids(dir.workdir(), "NET", 3),
            (std::vector<std::string>{"", "a, \"b\"", " c", "d"}));
  EXPECT_EQ(testing::fatal_text_of([&] { read_asset_ids(dir.workdir(), "NET", 4); }),
            " ** Fatal Error: the ids file roads/NET.ids holds 3 rows for the 4 segment lines "
            "of roads/NET: it belongs to another scores file (import the table again)\n");
  EXPECT_NE(testing::fatal_text_of([&] {
              read_asset_ids(dir.workdir(), "NET", 2);
            }).find("holds 3 rows for the 2 segment lines"),
            std::string::npos);

  dir.write("roads/NET.ids", "segment,asset_id\n1,a\n3,b\n");
  EXPECT_NE(testing::fatal_text_of([&] {
              read_asset_ids(dir.workdir(), "NET", 2);
            }).find("line 3 of the ids file roads/NET.ids names segment 3 where 2 comes next"),
            std::string::npos);
}

}  // namespace
}  // namespace pavecast
