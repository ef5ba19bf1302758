#include "scenarios/calibration.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <unordered_map>

#include "layout/layout.h"
#include "model/condition_class.h"
#include "scenarios/scenario_output.h"
#include "scenarios/tool_text.h"

namespace pavecast {

namespace {

double d(float value) {
  return static_cast<double>(value);
}

float stored(double value) {
  return static_cast<float>(value);
}

// One year's deterioration as the run's year loop makes it: the score less
// the rate, evaluated in double and stored, kept within 1.0..10.0.
float deteriorated(float score, float rate) {
  return std::clamp(stored(d(score) - d(rate)), 1.0f, 10.0f);
}

int32_t class_of(float score) {
  return condition_class(score, kPolicyOffset);
}

// The traffic factor of simulated year t (1 = the first), as the run raises
// every rate at the start of that year.
float traffic_factor(const PerYear<float>& vmt, int32_t t) {
  return stored(1.0 + 0.75 * d(vmt[static_cast<std::size_t>(t)]));
}

// The rates of each simulated year 1..years: the file's rates raised year by
// year. grown[t - 1][p][k].
using RateTable = std::array<std::array<float, kClasses + 1>, kMaxPavementTypes + 1>;

std::vector<RateTable> grown_rates(const PavementTypes& rates, int32_t years,
                                   const PerYear<float>& vmt) {
  std::vector<RateTable> grown(static_cast<std::size_t>(years));
  RateTable r = rates.det_rate;
  for (int32_t t = 1; t <= years; ++t) {
    const float f = traffic_factor(vmt, t);
    for (auto& type : r)
      for (float& rate : type) rate = stored(d(rate) * d(f));
    grown[static_cast<std::size_t>(t - 1)] = r;
  }
  return grown;
}

float carried(float score, int32_t type, const std::vector<RateTable>& grown) {
  const auto p = static_cast<std::size_t>(type);
  for (const RateTable& r : grown)
    score = deteriorated(score, r[p][static_cast<std::size_t>(11 - class_of(score))]);
  return score;
}

float rate_of(const PavementTypes& rates, int32_t type, int32_t c) {
  return rates.det_rate[static_cast<std::size_t>(type)][static_cast<std::size_t>(11 - c)];
}

float& rate_of(PavementTypes& rates, int32_t type, int32_t c) {
  return rates.det_rate[static_cast<std::size_t>(type)][static_cast<std::size_t>(11 - c)];
}

// Two decimals, as the rates file holds a rate.
float two_decimals(double value) {
  return stored(std::round(value * 100.0) / 100.0);
}

constexpr double kZ90 = 1.6448536269514722;
constexpr float kMaxRate = 9.99f;

// ------------------------------------------------------------ the fits

// A fit's raw result for one class: the estimate and its standard error.
struct Estimate {
  double rate = 0.0;
  double std_error = 0.0;
};

// The lane-mile sums of the segments of one type that start at each score.
struct TypeGroups {
  std::array<double, kClasses + 1> w{};   // sum of lane-miles
  std::array<double, kClasses + 1> wa{};  // sum of lane-miles x later score
};

// The k-year least-squares problem of one type: the rates of the free
// classes, the others held at `held`.
struct PathFit {
  int32_t years = 0;
  std::vector<float> factors;  // the traffic factor of each simulated year
  bool growth = false;         // some factor is not 1

  // The sum of squares less its constant: sum over groups of
  // w x^2 - 2 wa x, x the group's projected score.
  double objective(const std::array<float, kClasses + 1>& rate, const TypeGroups& g) const {
    std::array<std::array<float, kClasses + 1>, 100> grown;
    if (growth) {
      std::array<float, kClasses + 1> r = rate;
      for (int32_t t = 0; t < years; ++t) {
        for (int c = 1; c <= kClasses; ++c) r[c] = stored(d(r[c]) * d(factors[t]));
        grown[static_cast<std::size_t>(t)] = r;
      }
    }
    double sum = 0.0;
    for (int s = 1; s <= kClasses; ++s) {
      if (g.w[s] == 0.0) continue;
      float x = static_cast<float>(s);
      for (int32_t t = 0; t < years; ++t) {
        const int32_t c = class_of(x);
        x = deteriorated(x, growth ? grown[static_cast<std::size_t>(t)][c] : rate[c]);
      }
      sum += g.w[s] * d(x) * d(x) - 2.0 * g.wa[s] * d(x);
    }
    return sum;
  }

  // Coordinate descent from `rate` over the free classes.
  void minimise(std::array<float, kClasses + 1>& rate, const std::array<bool, kClasses + 1>& free,
                const TypeGroups& g) const {
    for (int sweep = 0; sweep < 50; ++sweep) {
      double moved = 0.0;
      for (int c = kClasses; c >= 1; --c) {
        if (!free[c]) continue;
        const float before = rate[c];
        double best = objective(rate, g);
        float best_rate = before;
        auto consider = [&](float candidate) {
          rate[c] = candidate;
          const double f = objective(rate, g);
          if (f < best - 1e-12 * std::max(1.0, std::fabs(best))) {
            best = f;
            best_rate = candidate;
          }
        };
        for (int i = -100; i <= 999; ++i) consider(stored(i / 100.0));
        const double coarse = d(best_rate);
        for (int i = -10; i <= 10; ++i) consider(stored(coarse + i / 1000.0));
        rate[c] = best_rate;
        moved = std::max(moved, std::fabs(d(best_rate) - d(before)));
      }
      if (moved <= 0.0005) break;
    }
  }
};

// Fast, reproducible draws for the bootstrap (splitmix64).
struct Draws {
  uint64_t state;
  uint64_t next() {
    uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  // Uniform in 0..n-1.
  std::size_t below(std::size_t n) {
    return static_cast<std::size_t>((static_cast<unsigned __int128>(next()) * n) >> 64);
  }
};

// One untreated segment as the fits see it.
struct Observation {
  int32_t type;
  int32_t start;  // the earlier score, a whole number: its class
  float w;
  float later;
};

std::vector<Observation> observations(const RatedNetwork& earlier, const RatedNetwork& later,
                                      const std::vector<MatchedSegment>& untreated) {
  std::vector<Observation> obs;
  obs.reserve(untreated.size());
  for (const MatchedSegment& m : untreated) {
    const Segment& e = earlier.segments[m.earlier];
    obs.push_back({e.pavement_type, class_of(e.score), e.lane_miles, later.segments[m.later].score});
  }
  return obs;
}

// The one-year estimates of every type and class (before the traffic
// factor), with counts and lane-miles.
void one_year_fit(const std::vector<Observation>& obs, std::vector<ClassFit>& fits,
                  std::array<std::array<Estimate, kClasses + 1>, kMaxPavementTypes + 1>& est,
                  std::array<std::array<bool, kClasses + 1>, kMaxPavementTypes + 1>& usable) {
  struct Sums {
    double w = 0, w2 = 0, wx = 0, wxx = 0;
  };
  std::array<std::array<Sums, kClasses + 1>, kMaxPavementTypes + 1> s{};
  for (const Observation& o : obs) {
    Sums& t = s[static_cast<std::size_t>(o.type)][static_cast<std::size_t>(o.start)];
    const double w = d(o.w);
    const double loss = static_cast<double>(o.start) - d(o.later);
    t.w += w;
    t.w2 += w * w;
    t.wx += w * loss;
    t.wxx += w * loss * loss;
  }
  for (ClassFit& f : fits) {
    const Sums& t = s[static_cast<std::size_t>(f.type)][static_cast<std::size_t>(f.condition_class)];
    Estimate& e = est[static_cast<std::size_t>(f.type)][static_cast<std::size_t>(f.condition_class)];
    if (t.w <= 0.0) continue;
    const double mean = t.wx / t.w;
    const double n = t.w * t.w / t.w2;
    if (!(n > 1.0 + 1e-9)) continue;
    const double variance = std::max(0.0, t.wxx / t.w - mean * mean) * n / (n - 1.0);
    e = {mean, std::sqrt(variance / n)};
    usable[static_cast<std::size_t>(f.type)][static_cast<std::size_t>(f.condition_class)] = true;
  }
}


}  // namespace

float first_traffic_factor(const PerYear<float>& vmt_increase) {
  return traffic_factor(vmt_increase, 1);
}

float project_score(float score, int32_t type, const PavementTypes& rates, int32_t years,
                    const PerYear<float>& vmt_increase) {
  return carried(score, type, grown_rates(rates, years, vmt_increase));
}

// ------------------------------------------------------------ matching

Matching match_networks(const RatedNetwork& earlier, const RatedNetwork& later) {
  Matching m;
  const int32_t ne = earlier.segments.segment_count;
  const int32_t nl = later.segments.segment_count;
  if (earlier.ids && later.ids) {
    m.by_ids = true;
    auto index = [](const RatedNetwork& net) {
      const std::vector<std::string>& ids = *net.ids;
      if (static_cast<int64_t>(ids.size()) != net.segments.segment_count)
        throw CalibrationError{"the asset ids of " + net.name + " are " +
                               std::to_string(ids.size()) + " for " +
                               std::to_string(net.segments.segment_count) +
                               " segments: import it again"};
      std::unordered_map<std::string, int32_t> at;
      at.reserve(ids.size());
      for (std::size_t i = 0; i < ids.size(); ++i)
        if (!at.emplace(ids[i], static_cast<int32_t>(i) + 1).second)
          throw CalibrationError{"the asset id \"" + ids[i] + "\" is given twice in " + net.name +
                                 " (segments " + std::to_string(at[ids[i]]) + " and " +
                                 std::to_string(i + 1) + "): each segment needs its own id"};
      return at;
    };
    index(earlier);
    const auto later_at = index(later);
    std::vector<uint8_t> seen(static_cast<std::size_t>(nl) + 1, 0);
    for (int32_t i = 1; i <= ne; ++i) {
      auto it = later_at.find((*earlier.ids)[static_cast<std::size_t>(i - 1)]);
      if (it == later_at.end()) {
        ++m.earlier_only;
        continue;
      }
      seen[static_cast<std::size_t>(it->second)] = 1;
      if (earlier.segments[i].pavement_type != later.segments[it->second].pavement_type)
        ++m.type_changed;
      else
        m.pairs.push_back({i, it->second});
    }
    for (int32_t j = 1; j <= nl; ++j) m.later_only += seen[static_cast<std::size_t>(j)] ? 0 : 1;
    return m;
  }

  const std::string advice = "; import both with their asset ids to match them by id";
  if (ne != nl)
    throw CalibrationError{earlier.name + " holds " + std::to_string(ne) + " segments and " +
                           later.name + " " + std::to_string(nl) +
                           ": without asset ids in both, segments are matched by number, which "
                           "needs the same segments" +
                           advice};
  for (int32_t i = 1; i <= ne; ++i) {
    const Segment& a = earlier.segments[i];
    const Segment& b = later.segments[i];
    if (a.pavement_type != b.pavement_type || a.lane_miles != b.lane_miles)
      throw CalibrationError{"segment " + std::to_string(i) + " differs between " + earlier.name +
                             " and " + later.name + " (" +
                             (a.pavement_type != b.pavement_type ? "pavement type"
                                                                  : "lane-miles") +
                             "): without asset ids in both, segments are matched by number, "
                             "which needs the same segments" +
                             advice};
    m.pairs.push_back({i, i});
  }
  return m;
}

IntervalData sort_interval(const RatedNetwork& earlier, const RatedNetwork& later, int32_t noise) {
  IntervalData data;
  data.years = later.values.first_year - earlier.values.first_year;
  if (data.years < 1)
    throw CalibrationError{later.name + " (" + std::to_string(later.values.first_year) +
                           ") is not a later year than " + earlier.name + " (" +
                           std::to_string(earlier.values.first_year) + ")",
                           true};
  if (data.years > kMaxYears)
    throw CalibrationError{earlier.name + " and " + later.name + " are more than " +
                           std::to_string(kMaxYears) + " years apart"};
  data.matching = match_networks(earlier, later);
  for (const MatchedSegment& m : data.matching.pairs) {
    const double rise = d(later.segments[m.later].score) - d(earlier.segments[m.earlier].score);
    if (rise > noise) {
      data.treated.push_back(m);
      if (rise == noise + 1) ++data.borderline;
    } else {
      data.untreated.push_back(m);
    }
  }
  return data;
}

// ------------------------------------------------------------ fitting

RateFit fit_rates(const RatedNetwork& earlier, const RatedNetwork& later,
                  const std::vector<MatchedSegment>& untreated, int32_t years,
                  const PavementTypes& current, const CalibrationOptions& options) {
  RateFit result;
  result.rates = current;
  const std::vector<Observation> obs = observations(earlier, later, untreated);

  // Counts and lane-miles of every type and class with segments.
  std::array<std::array<int64_t, kClasses + 1>, kMaxPavementTypes + 1> count{};
  std::array<std::array<double, kClasses + 1>, kMaxPavementTypes + 1> miles{};
  for (const Observation& o : obs) {
    ++count[static_cast<std::size_t>(o.type)][static_cast<std::size_t>(o.start)];
    miles[static_cast<std::size_t>(o.type)][static_cast<std::size_t>(o.start)] += d(o.w);
  }
  for (int32_t p = 1; p <= current.pavement_type_count; ++p)
    for (int32_t c = kClasses; c >= 1; --c) {
      if (count[p][c] == 0) continue;
      ClassFit f;
      f.type = p;
      f.condition_class = c;
      f.current = rate_of(current, p, c);
      f.rate = f.current;
      f.count = count[p][c];
      f.lane_miles = miles[p][c];
      result.classes.push_back(f);
    }

  std::array<std::array<Estimate, kClasses + 1>, kMaxPavementTypes + 1> est{};
  std::array<std::array<bool, kClasses + 1>, kMaxPavementTypes + 1> usable{};
  if (years == 1) {
    one_year_fit(obs, result.classes, est, usable);
    const double f = d(first_traffic_factor(options.vmt_increase));
    for (auto& type : est)
      for (Estimate& e : type) e = {e.rate / f, e.std_error / f};
  } else {
    PathFit fit;
    fit.years = years;
    for (int32_t t = 1; t <= years; ++t) {
      fit.factors.push_back(traffic_factor(options.vmt_increase, t));
      fit.growth = fit.growth || fit.factors.back() != 1.0f;
    }
    Draws draws{0x5eed2024ULL};
    for (int32_t p = 1; p <= current.pavement_type_count; ++p) {
      // The type's segments as the groups need them, side by side.
      struct Drawn {
        int32_t start;
        float w, wa;
      };
      std::vector<Drawn> mine;
      for (const Observation& o : obs)
        if (o.type == p) mine.push_back({o.start, o.w, stored(d(o.w) * d(o.later))});
      if (mine.empty()) continue;
      TypeGroups all;
      for (const Observation& o : obs)
        if (o.type == p) {
          all.w[o.start] += d(o.w);
          all.wa[o.start] += d(o.w) * d(o.later);
        }
      std::array<bool, kClasses + 1> free{};
      std::array<float, kClasses + 1> rate{};
      bool any = false;
      for (int c = 1; c <= kClasses; ++c) {
        rate[c] = rate_of(current, p, c);
        free[c] = count[p][c] >= std::max(options.min_count, 2) && all.w[c] > 0.0;
        any = any || free[c];
        // Start from the mean loss a year, which the path fit then corrects.
        if (free[c])
          rate[c] = stored((c - all.wa[c] / all.w[c]) / years /
                           d(first_traffic_factor(options.vmt_increase)));
      }
      if (!any) continue;
      fit.minimise(rate, free, all);

      // The bootstrap: the segments of the type drawn with replacement.
      std::array<double, kClasses + 1> sum{}, sum2{};
      // (None for a fit whose rates alone are wanted: no standard errors.)
      const int samples = options.bootstrap_samples >= 2 ? options.bootstrap_samples : 0;
      for (int b = 0; b < samples; ++b) {
        TypeGroups sample;
        for (std::size_t k = 0; k < mine.size(); ++k) {
          const Drawn& o = mine[draws.below(mine.size())];
          sample.w[o.start] += d(o.w);
          sample.wa[o.start] += d(o.wa);
        }
        std::array<float, kClasses + 1> r = rate;
        fit.minimise(r, free, sample);
        for (int c = 1; c <= kClasses; ++c) {
          sum[c] += d(r[c]);
          sum2[c] += d(r[c]) * d(r[c]);
        }
      }
      for (int c = 1; c <= kClasses; ++c) {
        if (!free[c]) continue;
        double var = 0.0;
        if (samples > 0) {
          const double mean = sum[c] / samples;
          var = std::max(0.0, (sum2[c] - samples * mean * mean) / (samples - 1));
        }
        est[p][c] = {d(rate[c]), std::sqrt(var)};
        usable[p][c] = true;
      }
    }
  }

  for (ClassFit& f : result.classes) {
    if (f.count < options.min_count || !usable[f.type][f.condition_class]) continue;
    const Estimate& e = est[f.type][f.condition_class];
    f.estimate = e.rate;
    f.std_error = e.std_error;
    f.low = e.rate - kZ90 * e.std_error;
    f.high = e.rate + kZ90 * e.std_error;
    f.note = FitNote::kFitted;
    f.rate = two_decimals(e.rate);
    if (f.rate < 0.0f) {
      f.rate = 0.0f;
      f.note = FitNote::kRaisedToZero;
    } else if (f.rate > kMaxRate) {
      f.rate = kMaxRate;
      f.note = FitNote::kCappedAt999;
    }
    rate_of(result.rates, f.type, f.condition_class) = f.rate;
  }
  return result;
}

// ------------------------------------------------------------ projections

namespace {

struct FigureSums {
  double w = 0, score = 0, poor = 0, fair = 0, sq = 0;
  void add(double miles, float x, float observed) {
    const int32_t c = class_of(x);
    w += miles;
    score += miles * d(x);
    if (c <= 5) poor += miles;
    if (c == 6) fair += miles;
    sq += miles * (d(x) - d(observed)) * (d(x) - d(observed));
  }
  ConditionFigures figures() const {
    ConditionFigures f;
    if (w <= 0.0) return f;
    f.mean = score / w;
    f.pct_poor = 100.0 * poor / w;
    f.pct_fair = 100.0 * fair / w;
    f.pct_good = 100.0 - f.pct_poor - f.pct_fair;
    f.rmse = std::sqrt(sq / w);
    return f;
  }
};

void add_figures(ConditionFigures& to, const ConditionFigures& f, double share) {
  to.mean += share * f.mean;
  to.pct_poor += share * f.pct_poor;
  to.pct_fair += share * f.pct_fair;
  to.pct_good += share * f.pct_good;
  to.rmse += share * f.rmse;
}

}  // namespace

Comparison compare_projections(const RatedNetwork& earlier, const RatedNetwork& later,
                               const std::vector<MatchedSegment>& pairs,
                               const PavementTypes& current, const PavementTypes& fitted,
                               const CalibrationOptions& options) {
  Comparison c;
  c.from_year = earlier.values.first_year;
  c.to_year = later.values.first_year;
  c.segments = static_cast<int64_t>(pairs.size());
  const int32_t years = c.to_year - c.from_year;
  const std::vector<RateTable> by_current = grown_rates(current, years, options.vmt_increase);
  const std::vector<RateTable> by_fitted = grown_rates(fitted, years, options.vmt_increase);

  FigureSums observed;
  for (const MatchedSegment& m : pairs) {
    const float a = later.segments[m.later].score;
    observed.add(d(earlier.segments[m.earlier].lane_miles), a, a);
  }
  c.observed = observed.figures();
  c.observed.rmse = 0.0;
  c.lane_miles = observed.w;

  const std::vector<float>& numbers = options.random_numbers;
  const std::size_t offsets = numbers.empty() ? 1 : 10;
  for (std::size_t k = 0; k < offsets; ++k) {
    const std::size_t offset = numbers.empty() ? 0 : k * numbers.size() / 10;
    FigureSums cur, fit, none;
    for (const MatchedSegment& m : pairs) {
      const Segment& e = earlier.segments[m.earlier];
      float start = e.score;
      if (!numbers.empty()) {
        // As the loader randomises segment i: the next number of the file.
        const float r = numbers[(offset + static_cast<std::size_t>(m.earlier) - 1) % numbers.size()];
        start = std::clamp(stored((d(e.score) - 0.5) + d(r)), 0.5f, 10.0f);
      }
      const float a = later.segments[m.later].score;
      const double w = d(e.lane_miles);
      cur.add(w, carried(start, e.pavement_type, by_current), a);
      fit.add(w, carried(start, e.pavement_type, by_fitted), a);
      none.add(w, start, a);
    }
    const double share = 1.0 / static_cast<double>(offsets);
    add_figures(c.current, cur.figures(), share);
    add_figures(c.fitted, fit.figures(), share);
    add_figures(c.none, none.figures(), share);
  }
  return c;
}

Calibration calibrate(const RatedNetwork& before, const RatedNetwork& after,
                      const RatedNetwork* check, const PavementTypes& current,
                      std::string rates_shown, const CalibrationOptions& options) {
  Calibration c;
  c.rates_shown = std::move(rates_shown);
  c.before = {before.name, before.values.first_year};
  c.after = {after.name, after.values.first_year};
  if (check) c.check = RatingName{check->name, check->values.first_year};
  c.options = options;
  c.current = current;
  c.interval = sort_interval(before, after, options.noise);
  for (const MatchedSegment& m : c.interval.treated) {
    const Segment& e = before.segments[m.earlier];
    c.treated.push_back(
        {before.ids ? (*before.ids)[static_cast<std::size_t>(m.earlier - 1)]
                    : std::to_string(m.earlier),
         std::string(e.highway_name.trimmed()), std::string(e.segment_description.trimmed()),
         class_of(e.score), class_of(after.segments[m.later].score)});
  }
  c.fit = fit_rates(before, after, c.interval.untreated, c.interval.years, current, options);
  {
    // Its rates alone are shown: no bootstrap.
    CalibrationOptions rates_only = options;
    rates_only.bootstrap_samples = 0;
    const IntervalData wider = sort_interval(before, after, options.noise + 1);
    c.fit_noise_up = fit_rates(before, after, wider.untreated, wider.years, current, rates_only);
  }
  c.in_sample = compare_projections(before, after, c.interval.untreated, current, c.fit.rates,
                                    options);
  if (check) {
    c.check_interval = sort_interval(after, *check, options.noise);
    // Untreated in both intervals: the after segment untreated before.
    std::vector<uint8_t> calm(static_cast<std::size_t>(after.segments.segment_count) + 1, 0);
    for (const MatchedSegment& m : c.interval.untreated) calm[static_cast<std::size_t>(m.later)] = 1;
    std::vector<MatchedSegment> both;
    for (const MatchedSegment& m : c.check_interval->untreated)
      if (calm[static_cast<std::size_t>(m.earlier)]) both.push_back(m);
    c.out_of_sample = compare_projections(after, *check, both, current, c.fit.rates, options);
  }
  return c;
}

// ------------------------------------------------------------ texts

namespace {

std::string type_name(const PavementTypes& types, int32_t p) {
  return std::string(types.pavement_type_name[static_cast<std::size_t>(p)].trimmed());
}

// "12,345" (built a digit at a time: g++ 12 at -O3 reports a false
// -Wrestrict on a string insert, GCC bug 105651).
std::string count_text(int64_t n) {
  const std::string digits = std::to_string(n < 0 ? -n : n);
  std::string out = n < 0 ? "-" : "";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

// Words filled into lines of at most 80 columns, each after `indent` blanks
// but the first.
std::string wrapped(const std::string& text, std::size_t indent = 0) {
  std::string out, line;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    start = end + 1;
    if (word.empty()) continue;
    if (!line.empty() && line.size() + 1 + word.size() > 80) {
      out += line + "\n";
      line = std::string(indent, ' ');
    }
    if (!line.empty() && line.find_first_not_of(' ') != std::string::npos) line += ' ';
    line += word;
  }
  return out + line + "\n";
}

const char* mark(FitNote note) {
  switch (note) {
    case FitNote::kRaisedToZero:
      return "z";
    case FitNote::kCappedAt999:
      return "c";
    case FitNote::kKept:
    case FitNote::kFitted:
      break;
  }
  return " ";
}

std::string figures_table(const Comparison& c) {
  std::string out;
  out += format_text("%-20s%12s%12s%12s%14s\n", "", "Observed", "Current", "Fitted", "No deterior.");
  auto row = [&](const char* label, double ConditionFigures::*value, bool observed, int decimals) {
    out += format_text("%-20s", label);
    out += observed ? format_text("%12.*f", decimals, c.observed.*value) : format_text("%12s", "");
    out += format_text("%12.*f%12.*f%14.*f\n", decimals, c.current.*value, decimals, c.fitted.*value,
                  decimals, c.none.*value);
  };
  row("Mean score", &ConditionFigures::mean, true, 3);
  out += format_text("%-20s%12s%12.3f%12.3f%14.3f\n", "  bias (proj - obs)", "",
                c.current.mean - c.observed.mean, c.fitted.mean - c.observed.mean,
                c.none.mean - c.observed.mean);
  row("Percent poor", &ConditionFigures::pct_poor, true, 2);
  row("Percent fair", &ConditionFigures::pct_fair, true, 2);
  row("Percent good", &ConditionFigures::pct_good, true, 2);
  row("RMSE per segment", &ConditionFigures::rmse, false, 3);
  return out;
}

std::string comparison_heading(const Comparison& c, const std::string& from,
                               const std::string& to) {
  return wrapped(std::to_string(c.to_year) + " (" + to + ") as observed and as projected from " +
                 std::to_string(c.from_year) + " (" + from + "), " + count_text(c.segments) +
                 " untreated segments, " + format_text("%.1f", c.lane_miles) + " lane-miles:");
}

}  // namespace

std::string calibration_report(const Calibration& c) {
  const CalibrationOptions& o = c.options;
  const IntervalData& iv = c.interval;
  const Matching& m = iv.matching;
  std::string out;
  out += wrapped("Deterioration rates fitted to " + c.before.name + " (" +
                 std::to_string(c.before.year) + ") and " + c.after.name + " (" +
                 std::to_string(c.after.year) + "), " + std::to_string(iv.years) +
                 (iv.years == 1 ? " year" : " years") + " apart; current rates of " +
                 c.rates_shown + ".");
  out += wrapped(
      std::string("Segments matched by ") + (m.by_ids ? "asset id" : "segment number") + ": " +
      count_text(static_cast<int64_t>(m.pairs.size())) + " matched, " +
      count_text(m.earlier_only) + " in " + c.before.name + " only, " +
      count_text(m.later_only) + " in " + c.after.name + " only, " + count_text(m.type_changed) +
      " left out as their pavement type changed. " + count_text(static_cast<int64_t>(iv.treated.size())) +
      " treated (rose by more than " + std::to_string(o.noise) + (o.noise == 1 ? " point" : " points") +
      "), left out; " + count_text(iv.borderline) + " of them rose by exactly " +
      std::to_string(o.noise + 1) + " (the borderline). " +
      count_text(static_cast<int64_t>(iv.untreated.size())) + " untreated segments fitted.");
  if (o.traffic_used)
    out += wrapped(format_text("The saved answers use traffic increases: each fitted rate is the "
                          "file's rate, the observed loss divided by the first simulated "
                          "year's traffic factor, %.4f, as the run applies it.",
                          d(first_traffic_factor(o.vmt_increase))));
  if (iv.years == 1)
    out += wrapped(
        "Method: for each pavement type and class, the lane-mile-weighted mean loss of the "
        "untreated segments that started in the class (a rise within the noise counts as a "
        "negative loss); standard error from the weighted variance and the effective count "
        "(sum w)^2 / sum w^2; 90% interval: rate -/+ 1.645 standard errors.");
  else
    out += wrapped(format_text(
        "Method: the rates whose %d-year deterioration by the model's year loop (class by "
        "class, no repairs) best matches the later scores in lane-mile-weighted least squares, "
        "solved class by class on a grid of 0.01 refined to 0.001 until no rate moves; "
        "standard errors from %d bootstrap samples over segments; 90%% interval: rate -/+ "
        "1.645 standard errors.",
        iv.years, o.bootstrap_samples));
  out += "\n";

  out += format_text("%-8s %5s %7s %7s  %-15s %7s %10s %8s\n", "Type", "Class", "Current", "Fitted",
                "  90% interval", "Count", "Lane-miles", "Noise+1");
  bool zeroed = false, capped = false, kept = false;
  std::vector<const ClassFit*> outside;
  for (std::size_t i = 0; i < c.fit.classes.size(); ++i) {
    const ClassFit& f = c.fit.classes[i];
    const ClassFit* up = nullptr;
    for (const ClassFit& g : c.fit_noise_up.classes)
      if (g.type == f.type && g.condition_class == f.condition_class) up = &g;
    std::string line = format_text("%-8s %5d %7.2f ", type_name(c.current, f.type).c_str(),
                              f.condition_class, d(f.current));
    if (f.fitted()) {
      line += format_text("%7.2f%s %7.2f to %5.2f ", d(f.rate), mark(f.note), f.low, f.high);
    } else {
      line += format_text("%7s  %-15s ", "kept", "");
      kept = true;
    }
    line += format_text("%7lld %10.1f ", static_cast<long long>(f.count), f.lane_miles);
    line += up && up->fitted() ? format_text("%7.2f%s", d(up->rate), mark(up->note)) : format_text("%7s", "kept");
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + "\n";
    zeroed = zeroed || f.note == FitNote::kRaisedToZero;
    capped = capped || f.note == FitNote::kCappedAt999;
    if (f.current_outside()) outside.push_back(&f);
  }
  if (zeroed) out += wrapped("z: the fit was below 0 and is set to 0.");
  if (capped) out += wrapped("c: the fit was above 9.99, the most a rates file holds, and is set to 9.99.");
  if (kept)
    out += wrapped("kept: fewer than " + std::to_string(o.min_count) +
                   " segments (--min-count): the class keeps its current rate.");
  out += wrapped("Noise+1: the rates fitted when a rise of " + std::to_string(o.noise + 1) +
                 " points also counts as rating noise.");
  out += "\n";

  int fitted = 0;
  for (const ClassFit& f : c.fit.classes) fitted += f.fitted() ? 1 : 0;
  if (fitted == 0) {
    out += "No class has enough segments to fit.\n";
  } else if (outside.empty()) {
    out += wrapped("Every current rate lies within the 90% interval of its fitted rate.");
  } else {
    out += wrapped("The current rates of " + std::to_string(outside.size()) + " of the " +
                   std::to_string(fitted) +
                   " fitted classes lie OUTSIDE their 90% intervals: the data do not support "
                   "them:");
    for (const ClassFit* f : outside)
      out += format_text("  %s class %d: current %.2f, fitted %.2f (%.2f to %.2f)\n",
                    type_name(c.current, f->type).c_str(), f->condition_class, d(f->current),
                    d(f->rate), f->low, f->high);
  }
  out += "\n";

  const bool randomised = !o.random_numbers.empty();
  const std::string way =
      randomised ? "Projected as the run does with randomised scores: each start score "
                   "randomised as the loader does, the figures averaged over ten offsets into "
                   "the numbers of data/random.dat."
                 : "Projected as the run does with whole file scores (rates under half a point "
                   "never change a whole score's class in one year).";
  out += wrapped(way);
  out += comparison_heading(c.in_sample, c.before.name, c.after.name);
  out += figures_table(c.in_sample);
  if (c.out_of_sample) {
    out += "\n";
    out += wrapped("The check: " + c.check->name + ", a rating the fit did not see. " +
                   count_text(static_cast<int64_t>(c.check_interval->treated.size())) +
                   " segments treated between " + c.after.name + " and " + c.check->name +
                   "; only segments untreated in both intervals are projected.");
    out += comparison_heading(*c.out_of_sample, c.after.name, c.check->name);
    out += figures_table(*c.out_of_sample);
    const Comparison& k = *c.out_of_sample;
    if (k.segments > 0)
      out += wrapped(std::string("The fitted rates' error is ") +
                     (k.fitted.rmse < k.current.rmse ? "below" : "NOT below") +
                     " the current rates' and " +
                     (k.fitted.rmse < k.none.rmse ? "below" : "NOT below") +
                     " no deterioration's.");
  }
  return out;
}

std::string rates_file_text(const PavementTypes& rates) {
  static const layout::Layout kName("A8");
  static const layout::Layout kRate("F4.2");
  std::string out;
  for (int p = 1; p <= rates.pavement_type_count; ++p) {
    kName.write(out, {rates.pavement_type_name[static_cast<std::size_t>(p)]});
    for (int k = 1; k <= kClasses; ++k)
      kRate.write(out, {rates.det_rate[static_cast<std::size_t>(p)][static_cast<std::size_t>(k)]});
  }
  return out;
}

std::string intervals_csv(const Calibration& c) {
  std::string out = "type,class,rate,low,high,count\n";
  for (const ClassFit& f : c.fit.classes)
    if (f.fitted())
      out += csv_field(type_name(c.current, f.type)) +
             format_text(",%d,%.2f,%.3f,%.3f,%lld\n", f.condition_class, d(f.rate), f.low, f.high,
                    static_cast<long long>(f.count));
  return out;
}

std::string treated_csv(const Calibration& c) {
  std::string out = "asset_id,highway,description,before,after\n";
  for (const TreatedSegment& t : c.treated)
    out += csv_field(t.asset_id) + "," + csv_field(t.highway) + "," + csv_field(t.description) +
           format_text(",%d,%d\n", t.before, t.after);
  return out;
}

}  // namespace pavecast
