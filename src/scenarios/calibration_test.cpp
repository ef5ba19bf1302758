#include "scenarios/calibration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <sstream>

#include "io/record_files.h"
#include "readers/deterioration_rates.h"
#include "scenarios/ledger.h"
#include "scenarios/scenario.h"
#include "support/tool_runs.h"

namespace pavecast {
namespace {

struct Row {
  int32_t type;
  int32_t score;
  float miles;
};

RatedNetwork network(const std::string& name, int32_t year, const std::vector<Row>& rows) {
  RatedNetwork n;
  n.name = name;
  n.values.first_year = year;
  for (const Row& r : rows) {
    Segment& s = n.segments[n.segments.add()];
    s.pavement_type = r.type;
    s.score = static_cast<float>(r.score);
    s.lane_miles = r.miles;
  }
  return n;
}

PavementTypes rates_of(const std::vector<std::array<float, 11>>& by_class) {
  PavementTypes t;
  t.pavement_type_count = static_cast<int32_t>(by_class.size());
  for (int p = 1; p <= t.pavement_type_count; ++p) {
    t.pavement_type_name[p] = Text<8>(p == 1 ? "ACC" : "PCC");
    for (int c = 1; c <= 10; ++c) t.det_rate[p][11 - c] = by_class[p - 1][c];
  }
  return t;
}

// A rating `years` later: each segment's projected score under `truth`,
// made whole by a draw (so that its expectation is the projection), then
// rating noise of one point either way for a share of segments; every 50th
// segment at 6 or below is repaved to 10 and listed in `repaved`.
RatedNetwork rated_later(const RatedNetwork& earlier, const std::string& name, int32_t years,
                         const PavementTypes& truth, double noise_share, const PerYear<float>& vmt,
                         uint64_t seed, std::vector<int32_t>& repaved) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  RatedNetwork later = earlier;
  later.name = name;
  later.values.first_year = earlier.values.first_year + years;
  for (int32_t i = 1; i <= later.segments.segment_count; ++i) {
    Segment& s = later.segments[i];
    const float x = project_score(s.score, s.pavement_type, truth, years, vmt);
    int32_t a = static_cast<int32_t>(std::floor(x)) + (u(rng) < x - std::floor(x) ? 1 : 0);
    const double n = u(rng);
    if (n < noise_share / 2) a -= 1;
    if (n > 1 - noise_share / 2) a += 1;
    if (i % 50 == 0 && s.score <= 6) {
      a = 10;
      repaved.push_back(i);
    }
    s.score = static_cast<float>(std::clamp(a, 1, 10));
  }
  return later;
}

struct Ratings {
  RatedNetwork before, after;
  std::vector<int32_t> repaved;
};

// Segments of every type in classes 3 to 9, `per_class` of each, rated in
// 2023 and `years` later.
Ratings simulate(const PavementTypes& truth, int32_t years, int per_class, double noise_share,
                 const PerYear<float>& vmt = {}) {
  std::mt19937_64 rng(42);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  std::vector<Row> rows;
  for (int p = 1; p <= truth.pavement_type_count; ++p)
    for (int c = 3; c <= 9; ++c)
      for (int k = 0; k < per_class; ++k)
        rows.push_back({p, c, static_cast<float>(0.25 + 2.0 * u(rng))});
  Ratings r{network("Y1", 2023, rows), {}, {}};
  r.after = rated_later(r.before, "Y2", years, truth, noise_share, vmt, 7, r.repaved);
  return r;
}

const ClassFit& fit_of(const RateFit& fit, int32_t type, int32_t c) {
  for (const ClassFit& f : fit.classes)
    if (f.type == type && f.condition_class == c) return f;
  ADD_FAILURE() << "no fit of type " << type << " class " << c;
  return fit.classes.front();
}

// Every fitted rate within `tolerance` of the truth, and the truth inside at
// least three quarters of the intervals.
void expect_recovered(const Calibration& c, const PavementTypes& truth, double tolerance) {
  int covered = 0, fitted = 0;
  for (const ClassFit& f : c.fit.classes) {
    if (!f.fitted()) continue;
    ++fitted;
    const double t = truth.det_rate[f.type][11 - f.condition_class];
    EXPECT_NEAR(f.rate, t, tolerance) << "type " << f.type << " class " << f.condition_class;
    EXPECT_GT(f.std_error, 0.0);
    covered += f.low <= t && t <= f.high ? 1 : 0;
  }
  EXPECT_GE(fitted, 7);
  EXPECT_GE(4 * covered, 3 * fitted) << covered << " of " << fitted << " intervals cover";
}

TEST(Calibration, OneYearFitRecoversTheRatesAndFindsTheRepaved) {
  const PavementTypes truth =
      rates_of({{0, 0.10f, 0.15f, 0.20f, 0.25f, 0.30f, 0.45f, 0.60f, 0.70f, 0.50f, 0.40f},
                {0, 0.10f, 0.10f, 0.15f, 0.20f, 0.25f, 0.25f, 0.30f, 0.35f, 0.30f, 0.20f}});
  const PavementTypes current = rates_of({{0, .1f, .1f, .1f, .1f, .1f, .1f, .1f, .1f, .1f, .1f},
                                          {0, .2f, .2f, .2f, .2f, .2f, .2f, .2f, .2f, .2f, .2f}});
  const Ratings r = simulate(truth, 1, 1500, 0.3);
  CalibrationOptions options;
  const Calibration c = calibrate(r.before, r.after, nullptr, current, "rates", options);

  expect_recovered(c, truth, 0.05);
  // The repaved, and only they, are treated (noise never raises a score by 2).
  ASSERT_EQ(c.interval.treated.size(), r.repaved.size());
  for (std::size_t k = 0; k < r.repaved.size(); ++k)
    EXPECT_EQ(c.interval.treated[k].earlier, r.repaved[k]);
  EXPECT_EQ(c.interval.matching.pairs.size(), r.before.segments.rows_made());
  EXPECT_FALSE(c.interval.matching.by_ids);
  // The fitted table keeps the classes without segments, and the type names.
  EXPECT_FLOAT_EQ(c.fit.rates.det_rate[1][1], 0.1f);
  EXPECT_EQ(c.fit.rates.pavement_type_name[2], Text<8>("PCC"));
  // ACC class 8 (0.1 current, 0.6 true) is flagged in the report.
  EXPECT_TRUE(fit_of(c.fit, 1, 8).current_outside());
  const std::string report = calibration_report(c);
  EXPECT_NE(report.find("OUTSIDE"), std::string::npos) << report;
  std::istringstream lines(report);
  for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;
  // The fitted rates project the after year better than the current ones.
  EXPECT_LT(c.in_sample.fitted.rmse, c.in_sample.current.rmse);
  EXPECT_LT(std::fabs(c.in_sample.fitted.mean - c.in_sample.observed.mean), 0.01);
}

TEST(Calibration, TrafficFactorNegativeFitsAndSmallClasses) {
  const PavementTypes current = rates_of({{0, .5f, .5f, .5f, .5f, .5f, .5f, .5f, .5f, .5f, .5f}});
  // Class 9: 40 segments, 36 lose a point, 4 (of 4 lane-miles in 40) rise
  // by one; class 8: 40 segments that all rise by one; class 7: 10 segments.
  std::vector<Row> before, after;
  for (int k = 0; k < 40; ++k) {
    before.push_back({1, 9, 1.0f});
    after.push_back({1, k < 36 ? 8 : 10, 1.0f});
    before.push_back({1, 8, 1.0f});
    after.push_back({1, 9, 1.0f});
  }
  for (int k = 0; k < 10; ++k) {
    before.push_back({1, 7, 1.0f});
    after.push_back({1, 6, 1.0f});
  }
  CalibrationOptions options;
  options.vmt_increase[1] = 0.04f;  // factor 1.03
  options.traffic_used = true;
  const Calibration c = calibrate(network("A", 2023, before), network("B", 2024, after), nullptr,
                                  current, "rates", options);
  const ClassFit& nine = fit_of(c.fit, 1, 9);
  EXPECT_NEAR(nine.estimate, (36 - 4) / 40.0 / 1.03, 1e-6);
  EXPECT_FLOAT_EQ(nine.rate, 0.78f);
  EXPECT_EQ(fit_of(c.fit, 1, 8).note, FitNote::kRaisedToZero);
  EXPECT_FLOAT_EQ(c.fit.rates.det_rate[1][3], 0.0f);
  EXPECT_EQ(fit_of(c.fit, 1, 7).note, FitNote::kKept);
  EXPECT_FLOAT_EQ(c.fit.rates.det_rate[1][4], 0.5f);
  const std::string report = calibration_report(c);
  EXPECT_NE(report.find("traffic factor, 1.0300"), std::string::npos) << report;
  EXPECT_NE(report.find("kept: fewer than 30"), std::string::npos);
}

TEST(Calibration, TwoYearFitRecoversRatesThroughClassChanges) {
  // Classes 9, 8 and 7 lose more than half a point a year, so their segments
  // cross into the next class within the two years.
  const PavementTypes truth =
      rates_of({{0, 0.10f, 0.15f, 0.20f, 0.25f, 0.30f, 0.40f, 0.55f, 0.65f, 0.60f, 0.40f}});
  const PavementTypes current = rates_of({{0, .3f, .3f, .3f, .3f, .3f, .3f, .3f, .3f, .3f, .3f}});
  PerYear<float> vmt{};
  vmt[1] = 0.02f;
  vmt[2] = 0.03f;
  const Ratings r = simulate(truth, 2, 1500, 0.3, vmt);
  CalibrationOptions options;
  options.vmt_increase = vmt;
  options.bootstrap_samples = 60;
  const Calibration c = calibrate(r.before, r.after, nullptr, current, "rates", options);
  EXPECT_EQ(c.interval.years, 2);
  expect_recovered(c, truth, 0.05);
  EXPECT_NE(calibration_report(c).find("bootstrap"), std::string::npos);
}

TEST(Calibration, CheckYearIsProjectedFromTheAfterRating) {
  const PavementTypes truth =
      rates_of({{0, 0.10f, 0.15f, 0.20f, 0.25f, 0.30f, 0.45f, 0.40f, 0.40f, 0.30f, 0.20f}});
  const PavementTypes current = rates_of({{0, .1f, .1f, .1f, .1f, .1f, .1f, .1f, .1f, .1f, .1f}});
  const Ratings first = simulate(truth, 1, 800, 0.2);
  std::vector<int32_t> repaved_later;
  const RatedNetwork check =
      rated_later(first.after, "Y3", 1, truth, 0.2, {}, 99, repaved_later);
  CalibrationOptions options;
  options.random_numbers = {0.1f, 0.9f, 0.5f, 0.3f, 0.7f, 0.2f, 0.8f, 0.4f, 0.6f, 0.05f, 0.95f};
  const Calibration c = calibrate(first.before, first.after, &check, current, "rates", options);
  ASSERT_TRUE(c.out_of_sample);
  // Untreated in both intervals: the segments repaved before 2024 are out.
  EXPECT_LT(c.out_of_sample->segments, static_cast<int64_t>(c.interval.untreated.size()));
  EXPECT_LT(c.out_of_sample->fitted.rmse, c.out_of_sample->current.rmse);
  EXPECT_LT(c.out_of_sample->fitted.rmse, c.out_of_sample->none.rmse);
  const std::string report = calibration_report(c);
  EXPECT_NE(report.find("randomised"), std::string::npos);
  EXPECT_NE(report.find("No deterior."), std::string::npos);
  EXPECT_NE(report.find("2025 (Y3)"), std::string::npos) << report;
}

TEST(Calibration, MatchingByNumberNeedsTheSameSegmentsAndByIdCountsTheRest) {
  const std::vector<Row> rows = {{1, 8, 1.0f}, {1, 7, 2.0f}, {2, 6, 1.5f}};
  RatedNetwork a = network("Y1", 2023, rows);
  RatedNetwork b = network("Y2", 2024, rows);
  b.segments[2].lane_miles = 2.5f;
  try {
    match_networks(a, b);
    ADD_FAILURE() << "matched segments that differ";
  } catch (const CalibrationError& e) {
    EXPECT_NE(e.message.find("segment 2 differs"), std::string::npos) << e.message;
    EXPECT_NE(e.message.find("import both with their asset ids"), std::string::npos);
  }
  RatedNetwork shorter = network("Y2", 2024, {rows[0]});
  EXPECT_THROW(match_networks(a, shorter), CalibrationError);

  // By id: "b" only before, "d" only after, "c" changed its pavement type.
  a.ids = std::vector<std::string>{"a", "b", "c"};
  RatedNetwork later = network("Y2", 2024, {{1, 6, 1.5f}, {1, 7, 1.0f}, {1, 9, 9.0f}});
  later.ids = std::vector<std::string>{"c", "a", "d"};
  const Matching m = match_networks(a, later);
  EXPECT_TRUE(m.by_ids);
  ASSERT_EQ(m.pairs.size(), 1u);
  EXPECT_EQ(m.pairs[0].earlier, 1);
  EXPECT_EQ(m.pairs[0].later, 2);
  EXPECT_EQ(m.earlier_only, 1);
  EXPECT_EQ(m.later_only, 1);
  EXPECT_EQ(m.type_changed, 1);

  later.ids = std::vector<std::string>{"c", "a", "a"};
  EXPECT_THROW(match_networks(a, later), CalibrationError);

  // The later rating must be of a later year: the command line's fault.
  try {
    sort_interval(b, a, 1);
    ADD_FAILURE();
  } catch (const CalibrationError& e) {
    EXPECT_TRUE(e.usage);
  }
}

TEST(Calibration, RatesFileTextReadsBackAsTheFittedTable) {
  PavementTypes t = rates_of({{0, 0.f, .05f, .1f, .15f, .2f, .25f, .3f, .35f, .4f, 9.99f},
                              {0, .01f, .02f, .03f, .04f, .05f, .06f, .07f, .08f, .09f, 1.f}});
  const std::string text = rates_file_text(t);
  testing::TempDir dir;
  dir.write("data/fitted.dat", text);
  auto file = InputFile::open_or_fatal(dir.workdir().data("fitted.dat"), IfMissing::kFail);
  PavementTypes back;
  read_deterioration_rates_file(back, *file);
  EXPECT_EQ(back.pavement_type_count, 2);
  EXPECT_EQ(back.pavement_type_name, t.pavement_type_name);
  EXPECT_EQ(back.det_rate, t.det_rate);
  EXPECT_EQ(text.substr(0, 14), "ACC     \n9.99\n");
}

// The projection is the run's: the example network at no money (the few
// segments given an action without cost left out) with traffic increases, segment by segment and year by year,
// from the scores the loader randomised.
TEST(Calibration, ProjectionMatchesTheRunsYearLoop) {
  testing::TempDir dir;
  testing::copy_example(dir);
  testing::set_line(dir, "data/default2.dat", 20, "Y");  // traffic increases
  std::istream no_input(nullptr);
  std::ostringstream warnings_out;
  Console warnings(no_input, warnings_out);
  BaseOptions base_options;
  base_options.years = 4;
  const BaseScenario base = load_base_scenario(dir.path(), base_options, warnings);
  ASSERT_NE(base.tables.vmt_increase[1], 0.0f);
  std::vector<std::vector<float>> by_year;
  std::set<int32_t> repaired;  // actions without cost, made at no money
  RunDetail detail{GroupBy::kNone, [&](Ledger& ledger) {
                     ledger.on_entry = [&](const PlanEntry& e) {
                       repaired.insert(e.original_segment);
                     };
                     ledger.on_conditions = [&](int32_t, const std::vector<float>& scores,
                                                 const std::vector<int32_t>&) {
                       by_year.push_back(scores);
                     };
                   }};
  run_scenario(base, {fixed_budget(0), 3}, detail);
  ASSERT_EQ(by_year.size(), 5u);
  EXPECT_LT(repaired.size(), 100u);
  for (int32_t i = 1; i <= base.segments.segment_count; ++i)
    for (int32_t y = 1; y <= 4 && !repaired.contains(i); ++y)
      ASSERT_EQ(project_score(base.segments[i].score, base.segments[i].pavement_type,
                              base.tables.pavement, y, base.tables.vmt_increase),
                by_year[static_cast<std::size_t>(y)][static_cast<std::size_t>(i)])
          << "segment " << i << " year " << y;
}

}  // namespace
}  // namespace pavecast
