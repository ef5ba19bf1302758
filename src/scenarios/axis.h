// The axes of the tool's charts (chart.h, html_report.h): one way to choose
// a tick step and to place the ticks.
#pragma once

#include <vector>

namespace pavecast {

// A tick step of 1, 2 or 5 times a power of ten giving at most `most` steps
// over `span` (a span of 0 counts as a tiny one).
double nice_step(double span, int most);

// The ticks from `low` by `step` up to `high`, `high` included within a
// hair of rounding.
std::vector<double> axis_ticks(double low, double high, double step);

}  // namespace pavecast
