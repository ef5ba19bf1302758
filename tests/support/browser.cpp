#include "support/browser.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/test_support.h"

#ifdef PAVECAST_HAVE_ZLIB
#include <zlib.h>
#endif

namespace pavecast::testing {

namespace {

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

[[maybe_unused]] uint32_t big_endian(const std::string& s, std::size_t at) {
  return (uint32_t(uint8_t(s[at])) << 24) | (uint32_t(uint8_t(s[at + 1])) << 16) |
         (uint32_t(uint8_t(s[at + 2])) << 8) | uint32_t(uint8_t(s[at + 3]));
}

}  // namespace

std::string find_chromium() {
  std::string chromium = find_program("chromium");
  if (chromium.empty()) chromium = find_program("chromium-browser");
  return chromium;
}

std::string screenshot(const std::string& chromium, const std::filesystem::path& file, int width,
                       int height, std::string& log) {
  TempDir profile;  // a new, empty browser profile for each run
  const std::filesystem::path png = profile.path() / "screenshot.png";
  const std::string command =
      "timeout 120 '" + chromium +
      "' --headless --no-sandbox --disable-gpu --disable-background-networking "
      "--disable-component-update --disable-sync --no-first-run --user-data-dir='" +
      profile.path().string() + "' --screenshot='" + png.string() + "' --window-size=" +
      std::to_string(width) + "," + std::to_string(height) + " 'file://" + file.string() +
      "' > '" + profile.path().string() + "/log' 2>&1";
  const int status = std::system(command.c_str());
  if (!std::filesystem::exists(png)) {
    log = "status " + std::to_string(status) + "\n" + slurp(profile.path() / "log");
    return "";
  }
  return slurp(png);
}

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
#else
bool decode_png(const std::string&, Image&, std::string& why) {
  why = "the tests were built without zlib";
  return false;
}
#endif

std::size_t count_colour(const Image& image, uint32_t rgb) {
  std::size_t n = 0;
  for (uint32_t p : image.pixels) n += p == rgb;
  return n;
}

}  // namespace pavecast::testing
