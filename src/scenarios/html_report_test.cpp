#include "scenarios/html_report.h"

#include <gtest/gtest.h>

#include "support/browser.h"
#include "support/gcc_bugs.h"
#include "support/tool_runs.h"

#include <cstdlib>
#include <sstream>

#include "scenarios/tool_text.h"

namespace pavecast {
namespace {

using testing::TempDir;

uint32_t rgb(const char* hex) { return static_cast<uint32_t>(std::stoul(hex + 1, nullptr, 16)); }

// What an accessibility check finds wrong with a page's headings, tables and
// charts: one h1 first and no heading level skipped; every table opening with
// a non-empty caption and holding header cells, each with scope "col" or
// "row"; every chart (svg) an image with a label. One line per fault.
std::vector<std::string> accessibility_faults(const std::string& html) {
  std::vector<std::string> faults;
  int heading = 0, tables_open = 0;
  bool want_caption = false;
  std::vector<int> header_cells;
  for (std::size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
    const std::size_t end = html.find('>', at);
    if (end == std::string::npos) break;
    const std::string tag = html.substr(at + 1, end - at - 1);
    if (tag.empty() || tag[0] == '!' || tag[0] == '?') continue;
    const bool closing = tag[0] == '/';
    const std::string name = tag.substr(closing, tag.find_first_of(" />", closing) - closing);
    const std::string where = " at " + std::to_string(at) + ": <" + tag.substr(0, 60) + ">";
    if (closing) {
      if (name == "table" && !header_cells.empty()) {
        if (header_cells.back() == 0) faults.push_back("a table without header cells" + where);
        header_cells.pop_back();
        --tables_open;
      }
      continue;
    }
    if (want_caption) {
      const std::size_t text_end = html.find("</caption>", end);
      if (name != "caption" || text_end == end + 1)
        faults.push_back("a table not opening with a caption" + where);
      want_caption = false;
    }
    if (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6') {
      const int level = name[1] - '0';
      if (heading == 0 ? level != 1 : level > heading + 1 || level == 1)
        faults.push_back("heading out of order" + where);
      heading = level;
    } else if (name == "table") {
      ++tables_open;
      header_cells.push_back(0);
      want_caption = true;
    } else if (name == "th") {
      if (!header_cells.empty()) ++header_cells.back();
      if (tag.find("scope=\"col\"") == std::string::npos &&
          tag.find("scope=\"row\"") == std::string::npos)
        faults.push_back("a header cell without scope" + where);
    } else if (name == "svg") {
      if (tag.find("role=\"img\"") == std::string::npos ||
          tag.find("aria-label=\"") == std::string::npos)
        faults.push_back("a chart without role img and a label" + where);
    }
  }
  if (heading == 0) faults.push_back("no heading");
  if (tables_open != 0) faults.push_back("a table not closed");
  return faults;
}

// The check finds each fault it looks for.
TEST(HtmlReport, AccessibilityCheckFindsEachFault) {
  const std::string good =
      "<h1>A</h1><h2>B</h2><table><caption>C</caption><tr><th scope=\"col\">x</th></tr>"
      "<tr><th scope=\"row\">1</th><td>2</td></tr></table><h2>D</h2>"
      "<svg role=\"img\" aria-label=\"E\"></svg>";
  EXPECT_TRUE(accessibility_faults(good).empty());
  for (const char* bad :
       {"<h2>B</h2>", "<h1>A</h1><h3>B</h3>", "<h1>A</h1><h1>B</h1>",
        "<h1>A</h1><table><tr><th scope=\"col\">x</th></tr></table>",
        "<h1>A</h1><table><caption></caption><tr><th scope=\"col\">x</th></tr></table>",
        "<h1>A</h1><table><caption>C</caption><tr><th>x</th></tr></table>",
        "<h1>A</h1><table><caption>C</caption><tr><td>x</td></tr></table>",
        "<h1>A</h1><svg aria-label=\"E\"></svg>"})
    EXPECT_EQ(accessibility_faults(bad).size(), 1u) << bad;
}

// One page of everything, self-contained, with the budget the targets need
// as needs finds it, marked on a funding axis that reaches it (the sweep
// stops below it); headings and tables pass the accessibility check;
// rendered in a browser at 1,000 pixels, every chart shows (each has
// colours of its own).
PAVECAST_GCC_BUG_105651_BEGIN
TEST(HtmlReport, OnePageRenderedWithEveryChart) {
  TempDir dir, out;
  testing::copy_example(dir);
  const std::filesystem::path page = out.path() / "report.html";
  testing::ToolResult r =
      testing::run_tool(dir, {"report", "--html", page.string(), "--from", "0", "--to", "30",
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
  const std::string needed = level.substr(0, level.find(" a year"));  // "$39.66M"
  EXPECT_NE(html.find("<strong>" + needed + " a year</strong>"), std::string::npos) << needs.out;
  EXPECT_NE(html.find(">the targets need " + needed + " a year</text>"), std::string::npos);
  EXPECT_NE(html.find(">" + needed.substr(1, needed.size() - 2) + " (the targets need)</th>"),
            std::string::npos);
  EXPECT_EQ(html.find(">-0.00<"), std::string::npos);
  EXPECT_NE(html.find("<td>2026</td><td>"), std::string::npos);  // the work plan
  EXPECT_NE(html.find("<td>split: "), std::string::npos);
  // No funding dashed beside the saved budget on the percent-poor chart.
  EXPECT_NE(html.find("stroke=\"" + std::string(kPoorLineColour) +
                      "\" stroke-width=\"2\" stroke-dasharray"),
            std::string::npos);
  EXPECT_NE(html.find("no funding"), std::string::npos);
  EXPECT_EQ(accessibility_faults(html), std::vector<std::string>{});

  const std::string chromium = testing::find_chromium();
  if (chromium.empty()) GTEST_SKIP() << "chromium is not installed; the page is not rendered";
  std::string log;
  const std::string png = testing::screenshot(chromium, page, 1000, 7000, log);
  ASSERT_FALSE(png.empty()) << log;
  testing::Image image;
  std::string why;
  if (!testing::decode_png(png, image, why)) GTEST_SKIP() << why;
  EXPECT_EQ(image.width, 1000u);
  for (const char* colour : {kGoodColour, kFairColour, kPoorColour, kPoorLineColour, kMeanColour,
                             kSweepColour, kBacklogColour})
    EXPECT_GT(testing::count_colour(image, rgb(colour)), 40u) << colour;
  for (const char* colour : kLifeColours)
    EXPECT_GT(testing::count_colour(image, rgb(colour)), 400u) << colour;
  std::size_t spending = 0;
  for (const char* colour : kActionColours) spending += testing::count_colour(image, rgb(colour));
  EXPECT_GT(spending, 400u);

  // The tables by type and by jurisdiction side by side keep their own
  // heights: the type table's first body row is no taller than the
  // jurisdiction table's. Rows are found by their bottom borders.
  const uint32_t border = 0xdddddd;
  const auto at = [&](uint32_t x, uint32_t y) { return image.pixels[y * image.width + x]; };
  const auto borders_at = [&](uint32_t x) {
    std::vector<uint32_t> ys;
    for (uint32_t y = 0; y < image.height && ys.size() < 2; ++y)
      if (at(x, y) == border) ys.push_back(y);
    return ys;
  };
  const uint32_t left = 20;
  const std::vector<uint32_t> type_rows = borders_at(left);
  ASSERT_EQ(type_rows.size(), 2u);
  uint32_t x = left;
  while (x < image.width && at(x, type_rows[0]) == border) ++x;
  while (x < image.width && at(x, type_rows[0]) != border) ++x;
  ASSERT_LT(x + 2, image.width) << "the jurisdiction table is not beside the type table";
  const std::vector<uint32_t> jurisdiction_rows = borders_at(x + 2);
  ASSERT_EQ(jurisdiction_rows.size(), 2u);
  EXPECT_LE(type_rows[1] - type_rows[0], jurisdiction_rows[1] - jurisdiction_rows[0] + 1);
}
PAVECAST_GCC_BUG_105651_END

// With no funding a forced repair is still made (charged as it is
// reserved); on a piece of 0.3 lane-miles it counts no whole lane-mile
// repaired, and the no-funding line still says forced repairs are in it.
TEST(HtmlReport, NoFundingLineWithASmallForcedRepairSaysSo) {
  TempDir dir, out;
  testing::copy_example(dir);
  testing::set_line(dir, "data/default2.dat", 4, "Y");  // forced repairs on
  dir.write("force.txt", " 2  71\n");
  std::string scores = dir.read("roads/NET1");
  const std::string segment = " 1   2.011510 2 13 Mile Rd ";  // segment 71, 2.01 lane-miles
  const std::size_t at = scores.find(segment);
  ASSERT_NE(at, std::string::npos);
  scores.replace(at, 10, " 1   0.30");
  dir.write("roads/NET1", scores);
  const std::filesystem::path page = out.path() / "report.html";
  testing::ToolResult r = testing::run_tool(
      dir, {"report", "--html", page.string(), "--from", "0", "--to", "0", "--step", "1",
            "--years", "2"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(out.read("report.html").find(">With no funding (forced repairs only)</th>"),
            std::string::npos);
}

// The risk section's chart is an image with a label, and its values (median
// and band of each line) are in a table too.
TEST(HtmlReport, RiskSectionPassesTheAccessibilityCheckAndTablesItsValues) {
  TempDir dir;
  testing::copy_example(dir);
  testing::ToolResult r = testing::run_tool(
      dir, {"report", "--html", "page.html", "--from", "40", "--to", "80", "--step", "20",
            "--max-poor", "30", "--from-year", "2028", "--draws", "10", "--confidence", "80"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string html = dir.read("page.html");
  EXPECT_EQ(accessibility_faults(html), std::vector<std::string>{});
  EXPECT_NE(html.find("<caption>Percent of lane-miles poor by year over the draws"),
            std::string::npos);
  EXPECT_NE(html.find("saved budget, $40.00M, 80% band</th>"), std::string::npos);
}

}  // namespace
}  // namespace pavecast

namespace pavecast {
namespace {

// Whether an XML parser takes the file: python3's expat when there is one.
// Returns "" when it parses, else the parser's complaint ("skip" without
// python3).
std::string xml_complaint(const std::filesystem::path& file) {
  if (std::system("python3 -c 'import xml.etree.ElementTree' >/dev/null 2>&1") != 0) return "skip";
  const std::string command = "python3 -c 'import sys, xml.etree.ElementTree as E; "
                              "E.parse(sys.argv[1])' '" + file.string() + "' 2>&1";
  return std::system(command.c_str()) == 0 ? "" : "the parser refused " + file.string();
}

// A network name and a highway name holding markup characters, a control
// character and a multibyte character cut at the field's width reach the
// page, the SVG and the CSV escaped, as valid UTF-8, in files an XML parser
// takes, and a highway that looks like a formula is a text cell.
TEST(HtmlReport, NamesWithMarkupAndCutCharactersGiveWellFormedFiles) {
  TempDir dir, out;
  testing::copy_example(dir);
  const std::string network = "R&D <Nets> \"x\"\x01 Cafe\xc3";  // 21 bytes: A21
  const std::string highway = "=HYPERLINK(\"<&\x02\",123)\xe2\x82";  // 23 bytes: A23
  ASSERT_EQ(network.size(), 21u);
  ASSERT_EQ(highway.size(), 23u);
  std::istringstream in(dir.read("roads/NET1"));
  std::string scores;
  int n = 0;
  for (std::string line; std::getline(in, line); ++n) {
    if (n == 1) line = network;
    if (n > 1 && line.size() >= 39) line = line.substr(0, 16) + highway + line.substr(39);
    scores += line + "\n";
  }
  dir.write("roads/NET1", scores);

  const std::filesystem::path page = out.path() / "page.html", svg = out.path() / "chart.svg",
                              csv = out.path() / "plan.csv";
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"report", "--html", page.string(), "--from", "0", "--to", "40",
                                 "--step", "20", "--years", "2"},
        {"sweep", "--from", "0", "--to", "40", "--step", "20", "--years", "2", "--svg",
         svg.string()},
        {"plan", "--years", "2", "--csv", csv.string()}}) {
    testing::ToolResult r = testing::run_tool(dir, args);
    ASSERT_EQ(r.status, 0) << args[0] << ": " << r.err;
  }
  for (const char* name : {"page.html", "chart.svg", "plan.csv"}) {
    const std::string text = out.read(name);
    EXPECT_EQ(valid_utf8(text), text) << name;
    if (std::string_view(name).ends_with(".csv")) continue;  // a CSV cell may hold them
    EXPECT_EQ(text.find('\x01'), std::string::npos) << name;
    EXPECT_EQ(text.find('\x02'), std::string::npos) << name;
  }
  const std::string shown_network = "R&amp;D &lt;Nets&gt; &quot;x&quot;\xef\xbf\xbd Cafe\xc3\x83";
  EXPECT_NE(out.read("page.html").find("<h1>" + shown_network), std::string::npos);
  EXPECT_NE(out.read("chart.svg").find(shown_network), std::string::npos);
  EXPECT_NE(out.read("page.html").find("<td>=HYPERLINK(&quot;&lt;&amp;\xef\xbf\xbd&quot;,123)\xc3\xa2"
                                       "\xef\xbf\xbd</td>"),
            std::string::npos);
  // In the CSV: the formula shown as text, quoted for its quotes; the
  // columns around it as they were.
  const std::string plan = out.read("plan.csv");
  const std::string cell = "\"'=HYPERLINK(\"\"<&\x02\"\",123)\xc3\xa2\xc2\x82\"";
  EXPECT_NE(plan.find("," + cell + ","), std::string::npos) << plan.substr(0, 400);
  for (const std::filesystem::path& file : {page, svg}) {
    const std::string complaint = xml_complaint(file);
    if (complaint == "skip") GTEST_SKIP() << "python3 is not installed; no XML parser run";
    EXPECT_EQ(complaint, "");
  }
}

}  // namespace
}  // namespace pavecast
