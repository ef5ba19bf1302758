// The example's three years of block ratings imported, rates fitted to the
// first two and checked on the third, then the fitted table run by sweep:
// the fit finds the rates the ratings were generated from.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <map>
#include <sstream>

#include "support/tool_runs.h"

namespace pavecast {
namespace {

using testing::run_tool;
using testing::TempDir;

std::vector<std::string> fields_of(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string f; std::getline(in, f, ',');) fields.push_back(f);
  return fields;
}

// A rates file's rates by type name and class (its rows run class 10 to 1).
std::map<std::pair<std::string, int>, double> rates_of(const std::string& text) {
  std::map<std::pair<std::string, int>, double> rates;
  std::string type;
  int row = 0;
  for (const std::string& line : testing::split_lines(text)) {
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos) continue;
    if (std::isalpha(static_cast<unsigned char>(line[first]))) {
      type = line.substr(first, line.find_last_not_of(' ') + 1 - first);
      row = 0;
      continue;
    }
    rates[{type, 10 - row++}] = std::stod(line);
  }
  return rates;
}

TEST(CalibrationRun, FitsTheGeneratingRatesAndBeatsTheCurrentOnTheCheckYear) {
  TempDir dir;
  testing::copy_example(dir);
  for (const char* year : {"2024", "2025", "2026"}) {
    const auto r = run_tool(
        dir, {"import", std::string("ratings-") + year + ".csv", "--name",
              std::string("CITY") + year, "--year", year, "--id", "block_id", "--score", "rating",
              "--miles", "length_mi", "--width-feet", "width_ft", "--type-column", "surface",
              "--type-map", "Asphalt=ACC,Concrete=PCC,Composite=COMP", "--jurisdiction", "ward",
              "--highway", "street", "--from", "from_street", "--to", "to_street"});
    ASSERT_EQ(r.status, 0) << r.err;
  }
  const auto r = run_tool(dir, {"calibrate", "--before", "CITY2024", "--after", "CITY2025",
                                "--check", "CITY2026", "--rates-out", "fitted.dat",
                                "--intervals-out", "iv.csv", "--csv", "treated.csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  SCOPED_TRACE(r.out);

  const auto truth = rates_of(dir.read("ratings-rates.dat"));
  const auto current = rates_of(dir.read("data/detrates.dat"));
  int fitted = 0, covered = 0;
  for (const std::string& line : testing::split_lines(dir.read("iv.csv"))) {
    const auto f = fields_of(line);
    if (f[0] == "type") continue;
    const std::pair<std::string, int> key{f[0], std::stoi(f[1])};
    const double rate = std::stod(f[2]), low = std::stod(f[3]), high = std::stod(f[4]);
    SCOPED_TRACE(line);
    EXPECT_LT(std::fabs(rate - truth.at(key)), std::fabs(current.at(key) - truth.at(key)));
    ++fitted;
    covered += low <= truth.at(key) && truth.at(key) <= high;
  }
  EXPECT_GT(fitted, 10);
  EXPECT_GE(4 * covered, 3 * fitted) << covered << " of " << fitted;

  // Repaved blocks (to 9.5 or better) are what the treated list holds.
  int treated = 0, to_top = 0;
  for (const std::string& line : testing::split_lines(dir.read("treated.csv"))) {
    const auto f = fields_of(line);
    if (f[0] == "asset_id") continue;
    ++treated;
    to_top += std::stoi(f.back()) >= 9;
  }
  EXPECT_GT(treated, 30);
  EXPECT_GE(10 * to_top, 9 * treated) << to_top << " of " << treated;

  // The check year: the last RMSE line, current / fitted / no deterioration.
  const std::size_t at = r.out.rfind("RMSE per segment");
  ASSERT_NE(at, std::string::npos);
  std::istringstream rmse(r.out.substr(at + 16));
  double with_current = 0, with_fitted = 0, with_none = 0;
  rmse >> with_current >> with_fitted >> with_none;
  EXPECT_LT(with_fitted, with_current);
  EXPECT_LT(with_fitted, with_none);

  const auto sweep = run_tool(dir, {"sweep", "--network", "CITY2025", "--rates", "fitted.dat",
                                    "--from", "1", "--to", "2", "--step", "1", "--years", "3"});
  ASSERT_EQ(sweep.status, 0) << sweep.err;
  EXPECT_NE(sweep.out.find("CITY2025 ("), std::string::npos) << sweep.out;
  EXPECT_NE(sweep.out.find("\nDeterioration rates: fitted.dat\n"), std::string::npos) << sweep.out;
}

}  // namespace
}  // namespace pavecast
