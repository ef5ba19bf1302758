#include "scenarios/keyed_random.h"

#include <cmath>

namespace pavecast {

double normal_quantile(double p) {
  // A rational approximation in three pieces: a central one in p - 0.5 and
  // two tails in sqrt(-2 log p), symmetric.
  static constexpr double a[] = {-3.969683028665376e+01, 2.209460984245205e+02,
                                 -2.759285104469687e+02, 1.383577518672690e+02,
                                 -3.066479806614716e+01, 2.506628277459239e+00};
  static constexpr double b[] = {-5.447609879822406e+01, 1.615858368580409e+02,
                                 -1.556989798598866e+02, 6.680131188771972e+01,
                                 -1.328068155288572e+01};
  static constexpr double c[] = {-7.784894002430293e-03, -3.223964580411365e-01,
                                 -2.400758277161838e+00, -2.549732539343734e+00,
                                 4.374664141464968e+00,  2.938163982698783e+00};
  static constexpr double d[] = {7.784695709041462e-03, 3.224671290700398e-01,
                                 2.445134137142996e+00, 3.754408661907416e+00};
  constexpr double kLow = 0.02425;
  auto tail = [&](double q) {
    const double t = std::sqrt(-2.0 * std::log(q));
    return (((((c[0] * t + c[1]) * t + c[2]) * t + c[3]) * t + c[4]) * t + c[5]) /
           ((((d[0] * t + d[1]) * t + d[2]) * t + d[3]) * t + 1.0);
  };
  if (p < kLow) return tail(p);
  if (p > 1.0 - kLow) return -tail(1.0 - p);
  const double q = p - 0.5;
  const double r = q * q;
  return (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
         (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1.0);
}

double KeyedStream::normal(int32_t segment) const {
  // 53 bits, offset by half a step: never 0, never 1.
  const double p = (static_cast<double>(bits(segment) >> 11) + 0.5) * 0x1p-53;
  return normal_quantile(p);
}

}  // namespace pavecast
