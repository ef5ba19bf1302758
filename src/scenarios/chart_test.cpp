#include "scenarios/chart.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#ifdef PAVECAST_HAVE_ZLIB
#include <zlib.h>
#endif

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

std::string find_program(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    std::string candidate = dir + "/" + name;
    struct stat st {};
    if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0111))
      return candidate;
  }
  return "";
}

std::string slurp(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

uint32_t big_endian(const std::string& s, std::size_t at) {
  return (uint32_t(uint8_t(s[at])) << 24) | (uint32_t(uint8_t(s[at + 1])) << 16) |
         (uint32_t(uint8_t(s[at + 2])) << 8) | uint32_t(uint8_t(s[at + 3]));
}

struct Image {
  uint32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0xRRGGBB
};

#ifdef PAVECAST_HAVE_ZLIB
// An 8-bit RGB or RGBA PNG, not interlaced, as a browser's screenshot is.
bool decode_png(const std::string& png, Image& image, std::string& why) {
  if (png.size() < 33 || png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0)
    return why = "not a PNG", false;
  std::string idat;
  int colour_type = -1;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    uint32_t length = big_endian(png, at);
    std::string type = png.substr(at + 4, 4);
    if (at + 12 + length > png.size()) return why = "truncated chunk", false;
    if (type == "IHDR") {
      image.width = big_endian(png, at + 8);
      image.height = big_endian(png, at + 12);
      if (png[at + 16] != 8 || png[at + 18] != 0 || png[at + 19] != 0 || png[at + 20] != 0)
        return why = "not 8-bit, or compressed or interlaced unusually", false;
      colour_type = png[at + 17];
    } else if (type == "IDAT") {
      idat += png.substr(at + 8, length);
    }
    at += 12 + length;
  }
  const std::size_t channels = colour_type == 6 ? 4 : colour_type == 2 ? 3 : 0;
  if (channels == 0) return why = "colour type " + std::to_string(colour_type), false;
  const std::size_t stride = image.width * channels;
  std::vector<unsigned char> raw((stride + 1) * image.height);
  uLongf size = raw.size();
  if (uncompress(raw.data(), &size, reinterpret_cast<const Bytef*>(idat.data()), idat.size()) !=
          Z_OK ||
      size != raw.size())
    return why = "bad image data", false;

  std::vector<unsigned char> previous(stride, 0), row(stride);
  for (uint32_t y = 0; y < image.height; ++y) {
    const unsigned char filter = raw[y * (stride + 1)];
    const unsigned char* in = &raw[y * (stride + 1) + 1];
    for (std::size_t i = 0; i < stride; ++i) {
      int a = i >= channels ? row[i - channels] : 0;
      int b = previous[i];
      int c = i >= channels ? previous[i - channels] : 0;
      int predictor = 0;
      switch (filter) {
        case 0:
          predictor = 0;
          break;
        case 1:
          predictor = a;
          break;
        case 2:
          predictor = b;
          break;
        case 3:
          predictor = (a + b) / 2;
          break;
        case 4: {
          int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
          predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
          break;
        }
        default:
          return why = "filter " + std::to_string(filter), false;
      }
      row[i] = static_cast<unsigned char>(in[i] + predictor);
    }
    for (uint32_t x = 0; x < image.width; ++x) {
      const unsigned char* p = &row[x * channels];
      image.pixels.push_back((uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2]);
    }
    previous = row;
  }
  return true;
}
#endif

// The chart of a sweep and of the orders, each rendered to PNG by headless
// Chromium: the screenshot exists, has the chart's size, and shows more than
// a blank page (many colours, a fair share of the pixels not white).
TEST(Chart, RendersInHeadlessChromium) {
  std::string chromium = find_program("chromium");
  if (chromium.empty()) chromium = find_program("chromium-browser");
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
    TempDir profile;  // a new, empty browser profile for each run
    const std::filesystem::path png = dir.path() / (svg.stem().string() + ".png");
    const std::string command =
        "timeout 120 '" + chromium +
        "' --headless --no-sandbox --disable-gpu --disable-background-networking "
        "--disable-component-update --disable-sync --no-first-run --user-data-dir='" +
        profile.path().string() + "' --screenshot='" + png.string() +
        "' --window-size=920,540 'file://" + svg.string() + "' > '" + profile.path().string() +
        "/log' 2>&1";
    int status = std::system(command.c_str());
    ASSERT_TRUE(std::filesystem::exists(png)) << "status " << status << "\n"
                                              << slurp(profile.path() / "log");
    const std::string bytes = slurp(png);
    EXPECT_GT(bytes.size(), 5000u);
#ifdef PAVECAST_HAVE_ZLIB
    Image image;
    std::string why;
    ASSERT_TRUE(decode_png(bytes, image, why)) << why;
    EXPECT_EQ(image.width, 920u);
    EXPECT_EQ(image.height, 540u);
    std::set<uint32_t> colours(image.pixels.begin(), image.pixels.end());
    EXPECT_GT(colours.size(), 20u);
    std::size_t inked = 0;
    for (uint32_t p : image.pixels) inked += p != 0xffffff;
    EXPECT_GT(inked, image.pixels.size() / 50);
#endif
  }
}

}  // namespace
}  // namespace pavecast
