#include "scenarios/chart.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "support/browser.h"
#include "support/tool_runs.h"

namespace pavecast {
namespace {

using testing::TempDir;

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

TEST(Chart, LinesAxesAndLegend) {
  std::vector<ChartSeries> series = {
      {"10.00", {{2025, 40.0f}, {2026, 35.5f}, {2027, 31.0f}}},
      {"20.00", {{2025, 40.0f}, {2026, 30.0f}, {2027, 22.0f}}},
  };
  std::string svg = percent_poor_chart(series, {"R&D <roads>", "Funding ($M a year)", true, 25.0});
  EXPECT_TRUE(svg.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg "));
  EXPECT_TRUE(svg.ends_with("</svg>\n"));
  EXPECT_EQ(count(svg, "<polyline"), 2u);
  EXPECT_NE(svg.find("R&amp;D &lt;roads&gt;"), std::string::npos);
  EXPECT_NE(svg.find(">Year</text>"), std::string::npos);
  EXPECT_NE(svg.find(">Percent poor (lane-miles in class 5 or less)</text>"), std::string::npos);
  EXPECT_NE(svg.find(">Funding ($M a year)</text>"), std::string::npos);
  EXPECT_NE(svg.find(">10.00</text>"), std::string::npos);
  EXPECT_NE(svg.find(">target 25.0%</text>"), std::string::npos);
  // Every year has its tick; the percent axis runs to 40 by 5.
  for (const char* year : {">2025</text>", ">2026</text>", ">2027</text>"})
    EXPECT_NE(svg.find(year), std::string::npos) << year;
  EXPECT_NE(svg.find(">40</text>"), std::string::npos);
  EXPECT_EQ(svg.find(">50</text>"), std::string::npos);
  // Self-contained: nothing fetched.
  EXPECT_EQ(svg.find("href"), std::string::npos);
  EXPECT_EQ(svg.find("<script"), std::string::npos);

  // Many ordered series get a colour bar instead of one entry each.
  std::vector<ChartSeries> many;
  for (int i = 0; i < 30; ++i)
    many.push_back({std::to_string(i), {{2025, 50.0f}, {2030, 50.0f - i}}});
  svg = percent_poor_chart(many, {"t", "Funding", true, std::nullopt});
  EXPECT_EQ(count(svg, "<polyline"), 30u);
  EXPECT_NE(svg.find("<linearGradient"), std::string::npos);
  EXPECT_NE(svg.find(">29</text>"), std::string::npos);
  EXPECT_EQ(svg.find(">13</text>"), std::string::npos);
}

// --- rendering in a browser

// The chart of a sweep and of the orders, each rendered to PNG by headless
// Chromium: the screenshot exists, has the chart's size, and shows more than
// a blank page (many colours, a fair share of the pixels not white).
TEST(Chart, RendersInHeadlessChromium) {
  const std::string chromium = testing::find_chromium();
  if (chromium.empty())
    GTEST_SKIP() << "chromium is not installed (apt-get install chromium); the SVG chart is not "
                    "checked in a browser";

  TempDir dir;
  testing::copy_example(dir);
  const std::filesystem::path sweep_svg = dir.path() / "sweep.svg";
  const std::filesystem::path orders_svg = dir.path() / "orders.svg";
  ASSERT_EQ(testing::run_tool(dir, {"sweep", "--from", "0", "--to", "50", "--step", "2.5", "--svg",
                                    sweep_svg.string()})
                .status,
            0);
  ASSERT_EQ(testing::run_tool(dir, {"orders", "--svg", orders_svg.string()}).status, 0);

  for (const std::filesystem::path& svg : {sweep_svg, orders_svg}) {
    SCOPED_TRACE(svg.filename().string());
    std::string log;
    const std::string bytes = testing::screenshot(chromium, svg, 920, 540, log);
    ASSERT_FALSE(bytes.empty()) << log;
    EXPECT_GT(bytes.size(), 5000u);
    testing::Image image;
    std::string why;
    if (!testing::decode_png(bytes, image, why)) continue;  // built without zlib
    EXPECT_EQ(image.width, 920u);
    EXPECT_EQ(image.height, 540u);
    std::set<uint32_t> colours(image.pixels.begin(), image.pixels.end());
    EXPECT_GT(colours.size(), 20u);
    std::size_t inked = 0;
    for (uint32_t p : image.pixels) inked += p != 0xffffff;
    EXPECT_GT(inked, image.pixels.size() / 50);
  }
}

}  // namespace
}  // namespace pavecast
