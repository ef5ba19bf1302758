#include "readers/traffic_increases.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace pavecast::testing {
namespace {

// Percent per line (a number without a point takes its last four digits as
// decimals); the end of the file leaves every later year at 0.0.
TEST(TrafficIncreases, PercentsByYearUntilTheFileEnds) {
  TempDir dir;
  dir.write("data/vmt-inc.dat", "4.00\n20000\n1.0\n");
  auto file = InputFile::open_or_fatal(dir.workdir().data("vmt-inc.dat"), IfMissing::kCreateEmpty);
  PerYear<float> increase{};
  increase.fill(9.0f);
  read_traffic_increases(file.get(), 6, increase);
  EXPECT_FLOAT_EQ(increase[1], 0.04f);
  EXPECT_FLOAT_EQ(increase[2], 0.02f);
  EXPECT_FLOAT_EQ(increase[3], 0.01f);
  EXPECT_EQ(increase[4], 0.0f);

  PerYear<float> none{};
  none.fill(9.0f);
  read_traffic_increases(nullptr, 6, none);  // not wanted
  EXPECT_EQ(none[1], 0.0f);
  EXPECT_EQ(none[6], 0.0f);
}

}  // namespace
}  // namespace pavecast::testing
