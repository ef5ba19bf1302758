#include "scenarios/chart.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "scenarios/axis.h"
#include "scenarios/markup.h"

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

// The chart's document and its scales: years across, percent poor up.
struct Canvas {
  const std::vector<ChartSeries>& series;
  const ChartText& text;
  Markup svg;
  bool any = false;  // a point to plot
  int32_t first_year = 0, last_year = 0;
  double x_low = 0, x_high = 1, y_high = 10;

  Canvas(const std::vector<ChartSeries>& s, const ChartText& t) : series(s), text(t) {
    double highest = text.target.value_or(0.0);
    for (const ChartSeries& one : series) {
      for (const auto& [year, pct] : one.points) {
        first_year = any ? std::min(first_year, year) : year;
        last_year = any ? std::max(last_year, year) : year;
        any = true;
        highest = std::max(highest, static_cast<double>(pct));
      }
    }
    x_low = first_year - (first_year == last_year ? 0.5 : 0.0);
    x_high = last_year + (first_year == last_year ? 0.5 : 0.0);
    y_high = std::clamp(std::ceil(highest / 10.0) * 10.0, 10.0, 100.0);
  }

  double x_at(double year) const {
    return kLeft + (year - x_low) / (x_high - x_low) * (kRight - kLeft);
  }
  double y_at(double pct) const {
    return kBottom - std::clamp(pct, 0.0, y_high) / y_high * (kBottom - kTop);
  }
  std::string colour_of(std::size_t i) const {
    if (!text.ordered) return kDistinct[i % kDistinct.size()];
    return scale_colour(series.size() < 2 ? 0.0 : static_cast<double>(i) / (series.size() - 1));
  }

  void label(double x, double y, std::string_view anchor, std::string_view content,
             Attributes extra = {}) {
    Attributes a = {{"x", number(x)}, {"y", number(y)}, {"text-anchor", std::string(anchor)}};
    a.insert(a.end(), extra.begin(), extra.end());
    svg.element("text", a, content).line_end();
  }
  void line(double x1, double y1, double x2, double y2, Attributes stroke) {
    Attributes a = {{"x1", number(x1)}, {"y1", number(y1)}, {"x2", number(x2)}, {"y2", number(y2)}};
    a.insert(a.end(), stroke.begin(), stroke.end());
    svg.empty("line", a).line_end();
  }

  void head();
  void axes();
  void target();
  void lines();
  void legend_list();
  void legend_bar();
};

void Canvas::head() {
  const std::string w = std::to_string(kWidth), h = std::to_string(kHeight);
  if (text.document) svg.xml_declaration();
  Attributes root = {{"xmlns", "http://www.w3.org/2000/svg"},
                     {"width", w},
                     {"height", h},
                     {"viewBox", "0 0 " + w + " " + h},
                     {"font-family", "DejaVu Sans, Arial, sans-serif"}};
  // In a page the chart is an image named by its title for a screen reader;
  // a file of its own keeps its title element alone.
  if (!text.document) {
    root.push_back({"role", "img"});
    root.push_back({"aria-label", text.title});
  }
  svg.open("svg", root).line_end();
  svg.element("title", text.title).line_end();
  svg.empty("rect", {{"x", "0"}, {"y", "0"}, {"width", w}, {"height", h}, {"fill", "#ffffff"}})
      .line_end();
  label(kWidth / 2.0, 30, "middle", text.title, {{"font-size", "17"}, {"font-weight", "bold"}});
}

// Grid, ticks and axis labels.
void Canvas::axes() {
  for (double v : axis_ticks(0.0, y_high, nice_step(y_high, 10))) {
    const double y = y_at(v);
    line(kLeft, y, kRight, y, {{"stroke", "#dddddd"}, {"stroke-width", "1"}});
    char tick[16];
    std::snprintf(tick, sizeof tick, "%g", v);
    label(kLeft - 8, y + 4, "end", tick, {{"font-size", "12"}});
  }
  if (any) {
    const double x_step = std::max(1.0, nice_step(last_year - first_year, 12));
    for (double year : axis_ticks(first_year, last_year, x_step)) {
      const double x = x_at(year);
      line(x, kBottom, x, kBottom + 6, {{"stroke", "#333333"}, {"stroke-width", "1"}});
      label(x, kBottom + 22, "middle", std::to_string(static_cast<int>(year)),
            {{"font-size", "12"}});
    }
  }
  line(kLeft, kBottom, kRight, kBottom, {{"stroke", "#333333"}, {"stroke-width", "1.5"}});
  line(kLeft, kTop, kLeft, kBottom, {{"stroke", "#333333"}, {"stroke-width", "1.5"}});
  label((kLeft + kRight) / 2.0, kBottom + 50, "middle", "Year", {{"font-size", "14"}});
  label(0, 0, "middle", "Percent poor (lane-miles in class 5 or less)",
        {{"font-size", "14"},
         {"transform", "translate(24," + number((kTop + kBottom) / 2.0) + ") rotate(-90)"}});
}

void Canvas::target() {
  if (!text.target) return;
  const double y = y_at(*text.target);
  line(kLeft, y, kRight, y,
       {{"stroke", "#cc0000"}, {"stroke-width", "1.5"}, {"stroke-dasharray", "8,5"}});
  label(kRight - 4, y - 6, "end", "target " + number(*text.target) + "%",
        {{"font-size", "12"}, {"fill", "#cc0000"}});
}

void Canvas::lines() {
  for (std::size_t i = 0; i < series.size(); ++i) {
    const ChartSeries& one = series[i];
    if (one.band.size() != one.points.size() || one.band.empty()) continue;
    std::string points;
    for (std::size_t k = 0; k < one.points.size(); ++k)
      points += number(x_at(one.points[k].first)) + "," + number(y_at(one.band[k].first)) + " ";
    for (std::size_t k = one.points.size(); k-- > 0;)
      points += number(x_at(one.points[k].first)) + "," + number(y_at(one.band[k].second)) +
                (k == 0 ? "" : " ");
    svg.open("polygon", {{"fill", colour_of(i)},
                         {"fill-opacity", "0.2"},
                         {"stroke", "none"},
                         {"points", points}})
        .element("title", one.label + ": 80% band")
        .close()
        .line_end();
  }
  for (std::size_t i = 0; i < series.size(); ++i) {
    std::string points;
    for (const auto& [year, pct] : series[i].points) {
      if (!points.empty()) points += ' ';
      points += number(x_at(year)) + "," + number(y_at(pct));
    }
    svg.open("polyline", {{"fill", "none"},
                          {"stroke", colour_of(i)},
                          {"stroke-width", "2"},
                          {"stroke-linejoin", "round"},
                          {"points", points}})
        .element("title", series[i].label)
        .close()
        .line_end();
  }
}

// Each series with its colour.
void Canvas::legend_list() {
  for (std::size_t i = 0; i < series.size() && i < 2 * kMaxListed; ++i) {
    const double y = kTop + 26 + 20.0 * static_cast<double>(i);
    line(kLegendX, y - 4, kLegendX + 28, y - 4, {{"stroke", colour_of(i)}, {"stroke-width", "3"}});
    label(kLegendX + 36, y, "start", series[i].label, {{"font-size", "12"}});
  }
}

// A colour bar from the first series (top) to the last.
void Canvas::legend_bar() {
  const double bar_top = kTop + 24, bar_bottom = kBottom - 20;
  svg.open("defs")
      .open("linearGradient", {{"id", "scale"}, {"x1", "0"}, {"y1", "0"}, {"x2", "0"}, {"y2", "1"}})
      .line_end();
  for (int k = 0; k <= 8; ++k)
    svg.empty("stop", {{"offset", number(k / 8.0)}, {"stop-color", scale_colour(k / 8.0)}})
        .line_end();
  svg.close().close().line_end();
  svg.empty("rect", {{"x", number(kLegendX)},
                     {"y", number(bar_top)},
                     {"width", "24"},
                     {"height", number(bar_bottom - bar_top)},
                     {"fill", "url(#scale)"},
                     {"stroke", "#333333"}})
      .line_end();
  const std::size_t last = series.size() - 1;
  for (std::size_t i : {std::size_t{0}, last / 4, last / 2, 3 * last / 4, last}) {
    const double y =
        bar_top + (bar_bottom - bar_top) * static_cast<double>(i) / static_cast<double>(last);
    line(kLegendX + 24, y, kLegendX + 30, y, {{"stroke", "#333333"}});
    label(kLegendX + 34, y + 4, "start", series[i].label, {{"font-size", "12"}});
  }
}

}  // namespace

namespace {

Markup chart_markup(const std::vector<ChartSeries>& series, const ChartText& text) {
  Canvas canvas(series, text);
  canvas.head();
  canvas.axes();
  canvas.target();
  canvas.lines();
  canvas.label(kLegendX, kTop + 4, "start", text.legend_title,
               {{"font-size", "13"}, {"font-weight", "bold"}});
  if (series.size() <= kMaxListed || !text.ordered)
    canvas.legend_list();
  else
    canvas.legend_bar();
  canvas.svg.close().line_end();
  return std::move(canvas.svg);
}

}  // namespace

std::string percent_poor_chart(const std::vector<ChartSeries>& series, const ChartText& text) {
  return chart_markup(series, text).str();
}

void append_percent_poor_chart(Markup& page, const std::vector<ChartSeries>& series,
                               ChartText text) {
  text.document = false;
  page.append(chart_markup(series, text));
}

}  // namespace pavecast
