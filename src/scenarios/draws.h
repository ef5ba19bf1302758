// The draws: N projections of one scenario besides the deterministic one
// (draw 0), each a world of its own. A draw d > 0:
//   - draws each pavement type and class's rate r around the run's rate:
//     r x (1 + s z) with s the spread (a fraction), or r + e z where an
//     intervals file gives that type and class a fitted interval (e its
//     half width / 1.645); z a standard normal of (d, type, class); a drawn
//     rate below 0 is 0;
//   - randomises the scores, when the run randomises them, with its own
//     number for each segment in place of data\random.dat's (the file score
//     s becomes (s - 0.5) + u, kept within 0.5..10.0, and the loaded year's
//     score sum follows);
//   - takes the order keys of random and priority order and the numbers of
//     random reconstruction from its own numbers, keyed by segment and year.
// Every number is keyed by (seed, draw, segment, year, purpose)
// (keyed_random.h), so the same draw is the same world at every funding
// level and on any thread.
//
// Bands: for each year, the 10th, 50th and 90th percentiles over draws
// 1..N (nearest rank: the value of rank ceil(P/100 x N) in ascending
// order) of percent poor, percent good and mean score.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/number_source.h"
#include "model/parameter_tables.h"
#include "model/segment_table.h"
#include "scenarios/keyed_random.h"

namespace pavecast {

inline constexpr int32_t kMaxDraws = 100000;

struct DrawWorlds {
  int32_t count = 0;    // N, the draws besides draw 0
  uint64_t seed = 1;
  double spread = 0.2;  // s, a fraction
  // e for each type and class with a fitted interval ([p][c]); below 0: s.
  std::array<std::array<double, kClasses + 1>, kMaxPavementTypes + 1> deviation{};

  DrawWorlds() {
    for (auto& row : deviation) row.fill(-1.0);
  }
};

// The rates of draw `draw` (> 0): det_rate[p][11 - c] is class c's.
PavementTypes drawn_rates(const PavementTypes& rates, const DrawWorlds& worlds, int32_t draw);

// The scores of draw `draw`, randomised from the file scores (each loaded
// segment's order_key, which the base loading sets to it), into `segments`;
// returns the loaded year's sum of lane-miles x score, in table order.
float redraw_scores(SegmentTable& segments, const DrawWorlds& worlds, int32_t draw);

// A draw's numbers of one purpose, by segment and year.
class DrawNumbers : public KeyedNumbers {
 public:
  DrawNumbers(const DrawWorlds& worlds, int32_t draw, DrawPurpose purpose)
      : seed_(worlds.seed), draw_(draw), purpose_(purpose) {}
  float at(int32_t segment, int32_t year) const override {
    return KeyedStream(seed_, draw_, purpose_, year).uniform(segment);
  }
  void fill(int32_t first, int32_t year, std::span<float> out) const override {
    KeyedStream(seed_, draw_, purpose_, year).uniforms(first, out);
  }

 private:
  uint64_t seed_;
  int32_t draw_;
  DrawPurpose purpose_;
};

// The intervals file `calibrate --intervals-out` writes (CSV: a header row,
// then type,class,rate,low,high,count) read into `worlds.deviation`. A row
// that cannot be read, a type the rates do not have or a class outside 1..10
// is an error whose text names the file (`shown`) and the row; so is a file
// that is not CSV (csv_rows.h); thrown as std::invalid_argument.
void read_rate_intervals(const std::string& text, const std::string& shown,
                         const PavementTypes& rates, DrawWorlds& worlds);

// A year's percentiles over the draws.
struct Percentiles {
  float p10 = 0.0f, p50 = 0.0f, p90 = 0.0f;
};
struct YearBand {
  Percentiles poor, good, mean;
};

// The value of nearest rank ceil(percent / 100 x n) of `values` (sorted in
// place); n > 0.
float nearest_rank(std::vector<float>& values, int percent);
Percentiles percentiles(std::vector<float> values);

}  // namespace pavecast
