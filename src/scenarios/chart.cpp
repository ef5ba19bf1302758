#include "scenarios/chart.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace pavecast {

namespace {

constexpr int kWidth = 920;
constexpr int kHeight = 540;
constexpr int kLeft = 80;  // plot area
constexpr int kRight = 700;
constexpr int kTop = 60;
constexpr int kBottom = 470;
constexpr int kLegendX = 725;
constexpr std::size_t kMaxListed = 12;

struct Rgb {
  double r, g, b;
};

// A perceptually even scale from dark blue through teal and green to amber,
// readable on white at both ends.
constexpr std::array<Rgb, 5> kScale = {
    {{68, 1, 84}, {59, 82, 139}, {33, 145, 140}, {94, 201, 98}, {222, 170, 20}}};

constexpr std::array<const char*, 12> kDistinct = {"#1f77b4", "#d62728", "#2ca02c", "#ff7f0e",
                                                   "#9467bd", "#8c564b", "#e377c2", "#7f7f7f",
                                                   "#bcbd22", "#17becf", "#393b79", "#637939"};

std::string hex(const Rgb& c) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", static_cast<int>(std::lround(c.r)),
                static_cast<int>(std::lround(c.g)), static_cast<int>(std::lround(c.b)));
  return buffer;
}

// The colour at t in 0..1 along the scale.
std::string scale_colour(double t) {
  t = std::clamp(t, 0.0, 1.0) * (kScale.size() - 1);
  std::size_t i = std::min(static_cast<std::size_t>(t), kScale.size() - 2);
  double f = t - static_cast<double>(i);
  const Rgb& a = kScale[i];
  const Rgb& b = kScale[i + 1];
  return hex({a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f});
}

std::string number(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.1f", v);
  return buffer;
}

// A tick step of 1, 2 or 5 times a power of ten giving at most `most` ticks.
double nice_step(double span, int most) {
  double raw = span / most;
  double power = std::pow(10.0, std::floor(std::log10(std::max(raw, 1e-9))));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (m * power >= raw) return m * power;
  return 10.0 * power;
}

std::string text_element(double x, double y, std::string_view anchor, std::string_view content,
                         std::string_view extra = "") {
  return "<text x=\"" + number(x) + "\" y=\"" + number(y) + "\" text-anchor=\"" +
         std::string(anchor) + "\"" + std::string(extra) + ">" + xml_escaped(content) + "</text>\n";
}

// A line from (x1, y1) to (x2, y2) with its stroke `attributes`.
std::string line_element(double x1, double y1, double x2, double y2, std::string_view attributes) {
  return "<line x1=\"" + number(x1) + "\" y1=\"" + number(y1) + "\" x2=\"" + number(x2) +
         "\" y2=\"" + number(y2) + "\" " + std::string(attributes) + "/>\n";
}

}  // namespace

std::string xml_escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string percent_poor_chart(const std::vector<ChartSeries>& series, const ChartText& text) {
  // The axes' ranges.
  int32_t first_year = 0, last_year = 0;
  bool any = false;
  double highest = text.target.value_or(0.0);
  for (const ChartSeries& s : series) {
    for (const auto& [year, pct] : s.points) {
      first_year = any ? std::min(first_year, year) : year;
      last_year = any ? std::max(last_year, year) : year;
      any = true;
      highest = std::max(highest, static_cast<double>(pct));
    }
  }
  const double x_low = first_year - (first_year == last_year ? 0.5 : 0.0);
  const double x_high = last_year + (first_year == last_year ? 0.5 : 0.0);
  const double y_high = std::clamp(std::ceil(highest / 10.0) * 10.0, 10.0, 100.0);
  auto x_at = [&](double year) {
    return kLeft + (year - x_low) / (x_high - x_low) * (kRight - kLeft);
  };
  auto y_at = [&](double pct) {
    return kBottom - std::clamp(pct, 0.0, y_high) / y_high * (kBottom - kTop);
  };

  std::string svg;
  svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(kWidth) +
         "\" height=\"" + std::to_string(kHeight) + "\" viewBox=\"0 0 " + std::to_string(kWidth) +
         " " + std::to_string(kHeight) + "\" font-family=\"DejaVu Sans, Arial, sans-serif\">\n";
  svg += "<title>" + xml_escaped(text.title) + "</title>\n";
  svg += "<rect x=\"0\" y=\"0\" width=\"" + std::to_string(kWidth) + "\" height=\"" +
         std::to_string(kHeight) + "\" fill=\"#ffffff\"/>\n";
  svg += text_element(kWidth / 2.0, 30, "middle", text.title,
                      " font-size=\"17\" font-weight=\"bold\"");

  // Grid, ticks and axis labels.
  const double y_step = nice_step(y_high, 10);
  for (double v = 0.0; v <= y_high + 1e-9; v += y_step) {
    double y = y_at(v);
    svg += line_element(kLeft, y, kRight, y, "stroke=\"#dddddd\" stroke-width=\"1\"");
    char label[16];
    std::snprintf(label, sizeof label, "%g", v);
    svg += text_element(kLeft - 8, y + 4, "end", label, " font-size=\"12\"");
  }
  if (any) {
    const double x_step = std::max(1.0, nice_step(last_year - first_year, 12));
    for (double year = first_year; year <= last_year + 1e-9; year += x_step) {
      double x = x_at(year);
      svg += line_element(x, kBottom, x, kBottom + 6, "stroke=\"#333333\" stroke-width=\"1\"");
      svg += text_element(x, kBottom + 22, "middle", std::to_string(static_cast<int>(year)),
                          " font-size=\"12\"");
    }
  }
  svg += line_element(kLeft, kBottom, kRight, kBottom, "stroke=\"#333333\" stroke-width=\"1.5\"");
  svg += line_element(kLeft, kTop, kLeft, kBottom, "stroke=\"#333333\" stroke-width=\"1.5\"");
  svg += text_element((kLeft + kRight) / 2.0, kBottom + 50, "middle", "Year", " font-size=\"14\"");
  svg += text_element(0, 0, "middle", "Percent poor (lane-miles in class 5 or less)",
                      " font-size=\"14\" transform=\"translate(24," +
                          number((kTop + kBottom) / 2.0) + ") rotate(-90)\"");

  if (text.target) {
    double y = y_at(*text.target);
    svg += line_element(kLeft, y, kRight, y,
                        "stroke=\"#cc0000\" stroke-width=\"1.5\" stroke-dasharray=\"8,5\"");
    svg += text_element(kRight - 4, y - 6, "end", "target " + number(*text.target) + "%",
                        " font-size=\"12\" fill=\"#cc0000\"");
  }

  // The lines.
  auto colour_of = [&](std::size_t i) -> std::string {
    if (!text.ordered) return kDistinct[i % kDistinct.size()];
    return scale_colour(series.size() < 2 ? 0.0 : static_cast<double>(i) / (series.size() - 1));
  };
  for (std::size_t i = 0; i < series.size(); ++i) {
    std::string points;
    for (const auto& [year, pct] : series[i].points) {
      if (!points.empty()) points += ' ';
      points += number(x_at(year)) + "," + number(y_at(pct));
    }
    svg += "<polyline fill=\"none\" stroke=\"" + colour_of(i) +
           "\" stroke-width=\"2\" stroke-linejoin=\"round\" points=\"" + points + "\"><title>" +
           xml_escaped(series[i].label) + "</title></polyline>\n";
  }

  // The legend.
  svg += text_element(kLegendX, kTop + 4, "start", text.legend_title,
                      " font-size=\"13\" font-weight=\"bold\"");
  if (series.size() <= kMaxListed || !text.ordered) {
    for (std::size_t i = 0; i < series.size() && i < 2 * kMaxListed; ++i) {
      double y = kTop + 26 + 20.0 * static_cast<double>(i);
      svg += line_element(kLegendX, y - 4, kLegendX + 28, y - 4,
                          "stroke=\"" + colour_of(i) + "\" stroke-width=\"3\"");
      svg += text_element(kLegendX + 36, y, "start", series[i].label, " font-size=\"12\"");
    }
  } else {
    // A colour bar from the first series (top) to the last.
    const double bar_top = kTop + 24, bar_bottom = kBottom - 20;
    svg += "<defs><linearGradient id=\"scale\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n";
    for (int k = 0; k <= 8; ++k)
      svg += "<stop offset=\"" + number(k / 8.0) + "\" stop-color=\"" + scale_colour(k / 8.0) +
             "\"/>\n";
    svg += "</linearGradient></defs>\n";
    svg += "<rect x=\"" + number(kLegendX) + "\" y=\"" + number(bar_top) +
           "\" width=\"24\" height=\"" + number(bar_bottom - bar_top) +
           "\" fill=\"url(#scale)\" stroke=\"#333333\"/>\n";
    const std::size_t last = series.size() - 1;
    for (std::size_t i : {std::size_t{0}, last / 4, last / 2, 3 * last / 4, last}) {
      double y =
          bar_top + (bar_bottom - bar_top) * static_cast<double>(i) / static_cast<double>(last);
      svg += line_element(kLegendX + 24, y, kLegendX + 30, y, "stroke=\"#333333\"");
      svg += text_element(kLegendX + 34, y + 4, "start", series[i].label, " font-size=\"12\"");
    }
  }
  svg += "</svg>\n";
  return svg;
}

}  // namespace pavecast
