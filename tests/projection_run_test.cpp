// The year loop inside a whole run of the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "app/run_driver.h"
#include "support/test_support.h"

namespace pavecast::testing {
namespace {

std::string year_message(int year, int segments) {
  std::string y = std::to_string(year), n = std::to_string(segments);
  return std::string(17, ' ') + " Processing year " + std::string(3 - y.size(), ' ') + y +
         ".  It has " + std::string(4 - n.size(), ' ') + n + " segments.\n";
}

const std::string kClosing = std::string(64, ' ') + "\n";

// The bundled example (800 segments, 10 years at $40M, worst first) run with
// every default: the year loop completes and each year leaves its records.
TEST(ProjectionRun, BundledExampleRunsItsTenYears) {
  TempDir dir;
  std::filesystem::copy(
      std::filesystem::path(PAVECAST_SOURCE_DIR) / "example", dir.path(),
      std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
  ProgramOptions options;
  options.workdir = dir.workdir();
  options.start_time = StartTime{2026, 1, 2, 3, 4};
  options.printers.device_prefix = (dir.path() / "no-printer").string();
  std::istringstream in(std::string(400, '\n'));
  std::ostringstream out;
  ASSERT_EQ(run_program(options, in, out), 0) << out.str();

  const std::string console = out.str();
  EXPECT_NE(console.find(year_message(2, 800)), std::string::npos);
  EXPECT_NE(console.find(std::string(17, ' ') + " Processing year  11."), std::string::npos);
  EXPECT_EQ(console.find(" Processing year  12."), std::string::npos);
  EXPECT_NE(console.find("segments.\n" + kClosing), std::string::npos);
  const std::string list = dir.read("NET1-c.scr");
  int year_records = 0;
  for (std::size_t p = 0; (p = list.find("\n \n", p)) != std::string::npos; ++p) ++year_records;
  EXPECT_EQ(year_records, 10);
}

}  // namespace
}  // namespace pavecast::testing
