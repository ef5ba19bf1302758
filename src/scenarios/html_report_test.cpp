#include "scenarios/html_report.h"

#include <gtest/gtest.h>

#include "support/browser.h"
#include "support/tool_runs.h"

namespace pavecast {
namespace {

using testing::TempDir;

uint32_t rgb(const char* hex) { return static_cast<uint32_t>(std::stoul(hex + 1, nullptr, 16)); }

// One page of everything, self-contained, with the budget the targets need
// as needs finds it; rendered in a browser at 1,000 pixels, every chart
// shows (each has colours of its own).
TEST(HtmlReport, OnePageRenderedWithEveryChart) {
  TempDir dir, out;
  testing::copy_example(dir);
  const std::filesystem::path page = out.path() / "report.html";
  testing::ToolResult r =
      testing::run_tool(dir, {"report", "--html", page.string(), "--from", "0", "--to", "60",
                              "--step", "10", "--years", "6", "--max-poor", "45", "--from-year",
                              "2028"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string html = out.read("report.html");
  for (const char* fetch : {"<script", "src=", "href=", "url(", "@import"})
    EXPECT_EQ(html.find(fetch), std::string::npos) << fetch;
  EXPECT_NE(html.find("@media print"), std::string::npos);
  testing::ToolResult needs = testing::run_tool(
      dir, {"needs", "--years", "6", "--max-poor", "45", "--from-year", "2028"});
  ASSERT_EQ(needs.status, 0) << needs.err;
  const std::string level = needs.out.substr(needs.out.find("\n$") + 1);
  EXPECT_NE(html.find("<strong>" + level.substr(0, level.find(" a year")) + " a year</strong>"),
            std::string::npos)
      << needs.out;
  EXPECT_NE(html.find("<td>2026</td><td>"), std::string::npos);  // the work plan

  const std::string chromium = testing::find_chromium();
  if (chromium.empty()) GTEST_SKIP() << "chromium is not installed; the page is not rendered";
  std::string log;
  const std::string png = testing::screenshot(chromium, page, 1000, 2600, log);
  ASSERT_FALSE(png.empty()) << log;
  testing::Image image;
  std::string why;
  if (!testing::decode_png(png, image, why)) GTEST_SKIP() << why;
  EXPECT_EQ(image.width, 1000u);
  for (const char* colour : {kGoodColour, kFairColour, kPoorColour, kMeanColour, kSweepColour})
    EXPECT_GT(testing::count_colour(image, rgb(colour)), 40u) << colour;
  std::size_t spending = 0;
  for (const char* colour : kActionColours) spending += testing::count_colour(image, rgb(colour));
  EXPECT_GT(spending, 400u);
}

}  // namespace
}  // namespace pavecast
