// Calibration: deterioration rates fitted to two ratings of the same network,
// and the figures that say how well the fit and the current rates project.
//
// Matching. Two networks are matched by asset id when both carry ids (every
// id once in its network, else an error naming it), else by segment number,
// which needs the same segments in both (the same count, and the same
// pavement type and lane-miles at each number): otherwise an error says to
// import both with ids. Segments in one network only are counted and left
// out; so are segments matched by id whose pavement type differs.
//
// Treated segments. A segment whose score rose by more than `noise` points
// was worked on between the ratings: it is counted, listed and left out of
// the fit. A rise of `noise` points or less is rating noise and counts as
// the negative loss it is.
//
// The fit, by pavement type and the class of the earlier score (offset
// 0.505), weights being lane-miles:
// - one year apart: the rate is the weighted mean loss of the untreated
//   segments, divided by the first simulated year's traffic factor
//   (1 + 0.75 x the first traffic increase, as the run raises its rates);
//   its standard error is sqrt(s2 / n) with s2 the weighted variance times
//   n / (n - 1) and n the effective count (sum w)^2 / sum w^2; the 90 %
//   interval is the rate -/+ 1.645 standard errors;
// - k > 1 years apart: the rates are those whose k-year deterioration by the
//   model's own year loop (class by class, traffic growth compounding, no
//   repairs), applied to the earlier scores, comes nearest the later scores
//   in weighted least squares. The earlier scores are whole numbers, so the
//   segments of one type and score share one path and the sum of squares is
//   sum over (type, score) of W (x - m)^2 plus a constant, W the lane-miles
//   and m the weighted mean later score of the group, x the projected score.
//   It is minimised class by class (coordinate descent): each rate in turn is
//   set to the best value on a grid of 0.01 points from -1 to 9.99, then
//   refined on a grid of 0.001 within 0.01 of it, the others held, sweeping
//   the classes (10 down to 1) until a sweep moves no rate by more than 0.0005
//   (at most 50 sweeps). The standard errors are the standard deviations of
//   the rates refitted to 200 bootstrap samples of the untreated segments
//   (drawn with replacement within each type, with a fixed seed, so a report
//   is reproducible), the 90 % interval the rate -/+ 1.645 of them.
// A class with fewer than `min_count` segments keeps its current rate (and
// in a longer interval is held at it while the others are fitted). A fitted
// rate below 0 is set to 0 and marked; one above 9.99 (what the rates file
// can hold) is set to 9.99 and marked. Rates are rounded to two decimals.
//
// Projections: each untreated segment carried from its earlier score over
// the years of the interval as the run's year loop carries it, with the
// current rates, the fitted rates and no deterioration. With whole scores
// the start is the file score; randomised, it is the score the loader gives
// (score - 0.5 + the next number of data\random.dat, within 0.5..10, the
// numbers taken again from the first when they run out), averaged over ten
// offsets into the numbers (0, n/10, ... 9n/10 of the n numbers).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/parameter_tables.h"
#include "model/segment_table.h"

namespace pavecast {

// A rating of the network: a scores file loaded without subdivision or
// randomising (whole scores), with the asset ids when it has them.
struct RatedNetwork {
  std::string name;  // as named on the command line
  SegmentTable segments{kNoSegmentLimit};
  NetworkValues values;
  // ids[i - 1] is the asset id of segment i (segment_count of them).
  std::optional<std::vector<std::string>> ids;
};

// A rating that cannot be matched or used: the message says why.
struct CalibrationError {
  std::string message;
  bool usage = false;  // the command line's fault (ratings not in order of years)
};

// One segment in both ratings, by its numbers in each.
struct MatchedSegment {
  int32_t earlier = 0;
  int32_t later = 0;
};

struct Matching {
  bool by_ids = false;
  std::vector<MatchedSegment> pairs;  // in the earlier network's order
  int64_t earlier_only = 0;
  int64_t later_only = 0;
  int64_t type_changed = 0;  // matched by id, pavement type differs: left out
};

// Throws CalibrationError.
Matching match_networks(const RatedNetwork& earlier, const RatedNetwork& later);

struct CalibrationOptions {
  int32_t noise = 1;
  int32_t min_count = 30;
  // The traffic increases of the run (percent / 100, index 1 the first
  // simulated year's); all zero when the saved answers use none.
  PerYear<float> vmt_increase{};
  bool traffic_used = false;  // the saved answers use traffic increases
  // The numbers of data\random.dat when the saved answers randomise scores;
  // empty projects whole scores.
  std::vector<float> random_numbers;
  int bootstrap_samples = 200;  // k-year fits; below 2: none, no standard errors
};

enum class FitNote {
  kFitted,
  kKept,        // fewer than min_count segments: the current rate
  kRaisedToZero,
  kCappedAt999,
};

struct ClassFit {
  int32_t type = 0;  // 1..pavement_type_count
  int32_t condition_class = 0;
  float current = 0.0f;
  float rate = 0.0f;  // rounded to two decimals; the current rate when kept
  double estimate = 0.0;  // before clipping and rounding
  double std_error = 0.0;
  double low = 0.0, high = 0.0;  // the 90 % interval
  int64_t count = 0;
  double lane_miles = 0.0;
  FitNote note = FitNote::kKept;

  bool fitted() const { return note != FitNote::kKept; }
  // The current rate lies outside the interval of a fitted class.
  bool current_outside() const {
    return fitted() && (static_cast<double>(current) < low || static_cast<double>(current) > high);
  }
};

// The segments of one interval, sorted out.
struct IntervalData {
  int32_t years = 0;
  Matching matching;
  std::vector<MatchedSegment> untreated;
  std::vector<MatchedSegment> treated;
  int64_t borderline = 0;  // rose by exactly noise + 1
};

// Throws CalibrationError when the later year is not after the earlier one.
IntervalData sort_interval(const RatedNetwork& earlier, const RatedNetwork& later, int32_t noise);

// The fitted table (every type and class of `current`; classes without a fit
// keep their rates) and the fit of every class with segments behind it.
struct RateFit {
  PavementTypes rates;
  std::vector<ClassFit> classes;  // by type, class 10 down to 1
};

RateFit fit_rates(const RatedNetwork& earlier, const RatedNetwork& later,
                  const std::vector<MatchedSegment>& untreated, int32_t years,
                  const PavementTypes& current, const CalibrationOptions& options);

// The first simulated year's traffic factor as the run computes it.
float first_traffic_factor(const PerYear<float>& vmt_increase);

// One score carried `years` years by the model's year loop under `rates`
// (the file's rates, raised by traffic growth year by year as the run
// raises them).
float project_score(float score, int32_t type, const PavementTypes& rates, int32_t years,
                     const PerYear<float>& vmt_increase);

// Lane-mile-weighted figures of a set of scores.
struct ConditionFigures {
  double mean = 0.0;
  double pct_poor = 0.0, pct_fair = 0.0, pct_good = 0.0;
  double rmse = 0.0;  // against the observed scores; 0 for the observed
};

struct Comparison {
  int32_t from_year = 0, to_year = 0;
  int64_t segments = 0;
  double lane_miles = 0.0;
  ConditionFigures observed, current, fitted, none;
};

// The later scores of `pairs` as observed and as projected from the earlier
// ones with the current rates, the fitted ones and no deterioration.
Comparison compare_projections(const RatedNetwork& earlier, const RatedNetwork& later,
                               const std::vector<MatchedSegment>& pairs,
                               const PavementTypes& current, const PavementTypes& fitted,
                               const CalibrationOptions& options);

// A treated segment as the list of them shows it.
struct TreatedSegment {
  std::string asset_id;  // the segment number in the earlier rating without ids
  std::string highway, description;
  int32_t before = 0, after = 0;
};

// The ratings' names and years, as the report shows them.
struct RatingName {
  std::string name;
  int32_t year = 0;
};

struct Calibration {
  std::string rates_shown;  // the rates file read, as messages show it
  RatingName before, after;
  std::optional<RatingName> check;
  std::vector<TreatedSegment> treated;
  CalibrationOptions options;
  PavementTypes current;
  IntervalData interval;
  RateFit fit;
  RateFit fit_noise_up;  // the same with noise + 1
  Comparison in_sample;
  std::optional<IntervalData> check_interval;  // after to check
  std::optional<Comparison> out_of_sample;
};

// Everything: matching, the fit (and the fit at noise + 1), the comparisons.
// The result keeps nothing of the networks. Throws CalibrationError.
Calibration calibrate(const RatedNetwork& before, const RatedNetwork& after,
                      const RatedNetwork* check, const PavementTypes& current,
                      std::string rates_shown, const CalibrationOptions& options);

// The report, every line within 80 columns.
std::string calibration_report(const Calibration& c);

// The fitted table in the rates file's layout: each type's name (A8) and its
// ten rates (F4.2), class 10 first.
std::string rates_file_text(const PavementTypes& rates);

// type,class,rate,low,high,count for each fitted class.
std::string intervals_csv(const Calibration& c);

// asset_id,highway,description,before,after for each treated segment (the
// segment number in the earlier rating when there are no ids).
std::string treated_csv(const Calibration& c);

}  // namespace pavecast
