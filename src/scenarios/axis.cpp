#include "scenarios/axis.h"

#include <algorithm>
#include <cmath>

namespace pavecast {

double nice_step(double span, int most) {
  const double raw = std::max(span, 1e-9) / most;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (m * power >= raw) return m * power;
  return 10.0 * power;
}

std::vector<double> axis_ticks(double low, double high, double step) {
  std::vector<double> ticks;
  if (!(step > 0.0)) return ticks;
  // Accumulated, not multiplied: the positions the charts have always had.
  for (double v = low; v <= high + 1e-9; v += step) ticks.push_back(v);
  return ticks;
}

}  // namespace pavecast
