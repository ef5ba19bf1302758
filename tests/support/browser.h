// Headless Chromium for the tests of the scenario tool's pictures: a page or
// an SVG rendered to a PNG screenshot, and the screenshot decoded. The tests
// skip themselves where no browser is installed (CI installs chromium).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pavecast::testing {

struct Image {
  uint32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0xRRGGBB, row by row
};

// The browser's path, or "" when none is installed.
std::string find_chromium();

// `file` rendered in a window of width x height pixels: the PNG's bytes, or
// "" with `log` holding the browser's output.
std::string screenshot(const std::string& chromium, const std::filesystem::path& file, int width,
                       int height, std::string& log);

// An 8-bit RGB or RGBA PNG, not interlaced, as a browser's screenshot is.
// False with `why` when it cannot be decoded (or zlib was not there to build
// the tests with: then only the PNG's size can be checked).
bool decode_png(const std::string& png, Image& image, std::string& why);

// The pixels of `image` whose colour is `rgb` exactly.
std::size_t count_colour(const Image& image, uint32_t rgb);

}  // namespace pavecast::testing
