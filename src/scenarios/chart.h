// The chart of percent poor by year: a self-contained SVG document (no
// script, no external font, image or style sheet) that any browser shows.
// One line per series, the year on the horizontal axis, percent poor on the
// vertical one from 0 to a multiple of 10 above the highest value, both axes
// labelled, and a legend: each series with its colour when there are at most
// 12, else a colour bar from the first series to the last (the series are
// then taken to be ordered, as funding levels are). An optional target is
// drawn as a dashed line. A series with a band has it shaded under its line.
// Text is escaped and made valid UTF-8 (markup.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pavecast {

struct ChartSeries {
  std::string label;
  std::vector<std::pair<int32_t, float>> points;  // calendar year, percent poor
  // With draws: the low and high ends of the band at each point, drawn as a
  // shaded area in the series' colour around its line (the median); else
  // empty.
  std::vector<std::pair<float, float>> band = {};
};

struct ChartText {
  std::string title;
  std::string legend_title;
  bool ordered = true;           // colours along a scale (funding levels), else distinct colours
  std::optional<double> target;  // percent poor
  bool document = true;          // an XML declaration first; false: for inline use in a page
};

std::string percent_poor_chart(const std::vector<ChartSeries>& series, const ChartText& text);

class Markup;
// The same chart as an <svg> element of a page being written.
void append_percent_poor_chart(Markup& page, const std::vector<ChartSeries>& series,
                               ChartText text);

}  // namespace pavecast
