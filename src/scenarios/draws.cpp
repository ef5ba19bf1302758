#include "scenarios/draws.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "model/condition_class.h"
#include "scenarios/csv_rows.h"

namespace pavecast {

PavementTypes drawn_rates(const PavementTypes& rates, const DrawWorlds& worlds, int32_t draw) {
  PavementTypes out = rates;
  for (int32_t p = 1; p <= rates.pavement_type_count; ++p) {
    for (int32_t c = 1; c <= kClasses; ++c) {
      const double z = KeyedStream(worlds.seed, draw, DrawPurpose::kRate, c).normal(p);
      const double r = rates.det_rate[p][static_cast<std::size_t>(11 - c)];
      const double e = worlds.deviation[p][c];
      const double drawn = e >= 0.0 ? r + e * z : r * (1.0 + worlds.spread * z);
      out.det_rate[p][static_cast<std::size_t>(11 - c)] =
          std::max(0.0f, static_cast<float>(drawn));
    }
  }
  return out;
}

float redraw_scores(SegmentTable& segments, const DrawWorlds& worlds, int32_t draw) {
  const KeyedStream stream(worlds.seed, draw, DrawPurpose::kScore, 0);
  float score_miles = 0.0f;
  for (int32_t i = 1; i <= segments.segment_count; ++i) {
    Segment& seg = segments[i];
    const double s = seg.order_key;
    seg.score = std::clamp(static_cast<float>((s - 0.5) + static_cast<double>(stream.uniform(i))),
                           0.5f, 10.0f);
    score_miles = static_cast<float>(static_cast<double>(score_miles) +
                                     static_cast<double>(seg.lane_miles) *
                                         static_cast<double>(seg.score));
  }
  return score_miles;
}

namespace {

bool read_double(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && std::isfinite(value);
}

}  // namespace

void read_rate_intervals(const std::string& text, const std::string& shown,
                         const PavementTypes& rates, DrawWorlds& worlds) {
  std::istringstream in(text);
  auto take = [&](int64_t row, std::span<const std::string> f) {
    if (row == 1) return;  // the header
    auto bad = [&](const std::string& why) {
      throw std::invalid_argument("--rate-intervals " + shown + ", row " + std::to_string(row) +
                                  ": " + why);
    };
    double c = 0, low = 0, high = 0;
    if (f.size() < 5 || !read_double(f[1], c) || !read_double(f[3], low) ||
        !read_double(f[4], high))
      bad("not a row of type,class,rate,low,high,count");
    int32_t p = 0;
    for (int32_t t = 1; t <= rates.pavement_type_count && p == 0; ++t)
      if (rates.pavement_type_name[static_cast<std::size_t>(t)].trimmed() == f[0]) p = t;
    if (p == 0) bad("the rates have no pavement type \"" + f[0] + "\"");
    if (c != std::floor(c) || c < 1 || c > kClasses)
      bad("the rates have no class " + f[1] + " (classes are 1 to 10)");
    if (high < low) bad("the interval's high end is below its low end");
    worlds.deviation[p][static_cast<std::size_t>(c)] = (high - low) / 2.0 / 1.645;
  };
  try {
    read_csv_rows(in, shown, take);
  } catch (const TableError& e) {
    throw std::invalid_argument("--rate-intervals: " + e.message);
  }
}

float nearest_rank(std::vector<float>& values, int percent) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  std::size_t rank = (static_cast<std::size_t>(percent) * n + 99) / 100;
  rank = std::clamp<std::size_t>(rank, 1, n);
  return values[rank - 1];
}

Percentiles percentiles(std::vector<float> values) {
  return {nearest_rank(values, 10), nearest_rank(values, 50), nearest_rank(values, 90)};
}

}  // namespace pavecast
