#include "scenarios/draws.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "scenarios/confidence_search.h"
#include "scenarios/keyed_random.h"

namespace pavecast {
namespace {

TEST(KeyedRandom, TheNormalQuantileMatchesTheTableAndTheDeviatesAreStandard) {
  EXPECT_NEAR(normal_quantile(0.5), 0.0, 1e-12);
  EXPECT_NEAR(normal_quantile(0.975), 1.959963985, 1e-8);
  EXPECT_NEAR(normal_quantile(0.05), -1.644853627, 1e-8);
  EXPECT_NEAR(normal_quantile(0.001), -3.090232306, 1e-7);  // the tail piece
  EXPECT_NEAR(normal_quantile(0.999), 3.090232306, 1e-7);
  // 40,000 deviates of one stream: mean near 0, variance near 1, and the
  // share beyond 1.645 near 5%.
  const KeyedStream stream(7, 3, DrawPurpose::kRate, 2);
  double sum = 0, squares = 0;
  int beyond = 0;
  constexpr int kN = 40000;
  for (int i = 0; i < kN; ++i) {
    const double z = stream.normal(i);
    sum += z;
    squares += z * z;
    if (z > 1.645) ++beyond;
  }
  EXPECT_NEAR(sum / kN, 0.0, 0.02);
  EXPECT_NEAR(squares / kN, 1.0, 0.03);
  EXPECT_NEAR(static_cast<double>(beyond) / kN, 0.05, 0.005);
}

TEST(KeyedRandom, ANumberDependsOnItsKeyAloneAndEachPartOfTheKeyChangesIt) {
  const float u = KeyedStream(1, 5, DrawPurpose::kOrderKey, 4).uniform(100);
  EXPECT_EQ(u, KeyedStream(1, 5, DrawPurpose::kOrderKey, 4).uniform(100));
  EXPECT_GE(u, 0.0f);
  EXPECT_LT(u, 1.0f);
  EXPECT_NE(u, KeyedStream(2, 5, DrawPurpose::kOrderKey, 4).uniform(100));
  EXPECT_NE(u, KeyedStream(1, 6, DrawPurpose::kOrderKey, 4).uniform(100));
  EXPECT_NE(u, KeyedStream(1, 5, DrawPurpose::kReconstruction, 4).uniform(100));
  EXPECT_NE(u, KeyedStream(1, 5, DrawPurpose::kOrderKey, 5).uniform(100));
  EXPECT_NE(u, KeyedStream(1, 5, DrawPurpose::kOrderKey, 4).uniform(101));
}

TEST(Bands, NearestRankTakesTheValueOfRankCeilingOfPTimesN) {
  std::vector<float> ten = {10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
  const Percentiles p = percentiles(ten);
  EXPECT_EQ(p.p10, 1.0f);  // rank 1
  EXPECT_EQ(p.p50, 5.0f);  // rank 5
  EXPECT_EQ(p.p90, 9.0f);  // rank 9
  const Percentiles one = percentiles({4.5f});
  EXPECT_EQ(one.p10, 4.5f);
  EXPECT_EQ(one.p90, 4.5f);
  const Percentiles eleven = percentiles({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
  EXPECT_EQ(eleven.p10, 2.0f);   // ceil(1.1) = 2
  EXPECT_EQ(eleven.p50, 6.0f);   // ceil(5.5) = 6
  EXPECT_EQ(eleven.p90, 10.0f);  // ceil(9.9) = 10
}

PavementTypes two_types() {
  PavementTypes t;
  t.pavement_type_count = 2;
  t.pavement_type_name[1] = "ACC";
  t.pavement_type_name[2] = "PCC";
  for (int c = 1; c <= kClasses; ++c) {
    t.det_rate[1][static_cast<std::size_t>(c)] = 0.3f;
    t.det_rate[2][static_cast<std::size_t>(c)] = 0.1f;
  }
  return t;
}

TEST(Draws, RatesFollowTheSpreadOrTheIntervalAndNeverGoBelowZero) {
  const PavementTypes rates = two_types();
  DrawWorlds worlds;
  worlds.spread = 0.0;
  const PavementTypes same = drawn_rates(rates, worlds, 3);
  EXPECT_EQ(same.det_rate, rates.det_rate);

  // A huge spread drives some rates below 0: they are 0.
  worlds.spread = 10.0;
  bool zero = false, moved = false;
  for (int d = 1; d <= 20; ++d) {
    const PavementTypes r = drawn_rates(rates, worlds, d);
    for (int c = 1; c <= kClasses; ++c) {
      EXPECT_GE(r.det_rate[1][static_cast<std::size_t>(c)], 0.0f);
      zero |= r.det_rate[1][static_cast<std::size_t>(c)] == 0.0f;
      moved |= r.det_rate[1][static_cast<std::size_t>(c)] > 0.3f;
    }
  }
  EXPECT_TRUE(zero);
  EXPECT_TRUE(moved);

  // An interval of width 0 for PCC class 4 keeps that rate exactly; its
  // neighbours take the spread. Class c is det_rate[p][11 - c].
  read_rate_intervals("type,class,rate,low,high,count\nPCC,4,0.10,0.100,0.100,12\n", "iv.csv",
                      rates, worlds);
  const PavementTypes r = drawn_rates(rates, worlds, 1);
  EXPECT_EQ(r.det_rate[2][7], 0.1f);
  EXPECT_NE(r.det_rate[2][6], 0.1f);
}

TEST(Draws, AnIntervalsFileNamingATypeOrClassTheRatesLackIsRefusedWithItsLine) {
  const PavementTypes rates = two_types();
  DrawWorlds worlds;
  const std::string head = "type,class,rate,low,high,count\nACC,3,0.30,0.2,0.4,9\n";
  for (const auto& [line, why] :
       {std::pair{"COMP,3,0.3,0.2,0.4,9", "no pavement type \"COMP\""},
        std::pair{"ACC,11,0.3,0.2,0.4,9", "no class 11"},
        std::pair{"ACC,0,0.3,0.2,0.4,9", "no class 0"},
        std::pair{"acc,3,0.3,0.2,0.4,9", "no pavement type \"acc\""},
        std::pair{"ACC,3,0.3,x,0.4,9", "not a row"}}) {
    try {
      read_rate_intervals(head + line + "\n", "iv.csv", rates, worlds);
      ADD_FAILURE() << line;
    } catch (const std::invalid_argument& e) {
      EXPECT_NE(std::string(e.what()).find("iv.csv, row 3"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
    }
  }
}

// Draw d meets the targets from threshold[d] on (the response monotonic):
// the level found is the confidence's quantile of the thresholds.
TEST(ConfidenceSearch, FindsTheLowestLevelWhereEnoughDrawsMeetAndSettlesFarLevelsEarly) {
  std::vector<int64_t> threshold(201);
  for (int d = 1; d <= 200; ++d) threshold[d] = 5000 + 37 * d;  // 5,037 .. 12,400
  DrawCount count = [&](int64_t cents, const std::vector<int32_t>& draws) {
    std::vector<bool> met;
    for (int32_t d : draws) met.push_back(cents >= threshold[static_cast<std::size_t>(d)]);
    return met;
  };
  const ConfidentFunding f = find_confident_funding(count, 200, 90, 6000, 9999990, 16);
  // 180 draws must meet: draw 180's threshold.
  ASSERT_TRUE(f.cents);
  EXPECT_EQ(*f.cents, 5000 + 37 * 180);
  EXPECT_EQ(f.at->met, 180);
  EXPECT_EQ(f.below->met, 179);
  EXPECT_FALSE(f.falls);
  // Far levels settle on a few batches and the bracket's inner levels run
  // only the draws whose own answers lie inside it: the search of 20 levels
  // or so costs fewer projections than five levels of every draw.
  EXPECT_GT(f.checked.size(), 15u);
  EXPECT_LT(f.projections, 1000);
  EXPECT_FALSE(f.inferred_wrongly);
  for (const auto& [cents, s] : f.checked) EXPECT_EQ(s.meets, s.met >= 180) << cents;

  // The same search in batches of 5 finds the same level.
  EXPECT_EQ(*find_confident_funding(count, 200, 90, 6000, 9999990, 5).cents, *f.cents);
  // Nothing meets: no level.
  DrawCount never = [](int64_t, const std::vector<int32_t>& draws) {
    return std::vector<bool>(draws.size(), false);
  };
  EXPECT_FALSE(find_confident_funding(never, 50, 50, std::nullopt, 100000, 16).cents);
}

TEST(ConfidenceSearch, FewerDrawsMeetingAtAHigherLevelIsReported) {
  // Draw d (1..20) meets from $10.00M + d cents on, but draws 1..10 miss
  // from $11.00M to $11.99M: the search steps up through $11.00M.
  DrawCount count = [](int64_t cents, const std::vector<int32_t>& draws) {
    std::vector<bool> met;
    for (int32_t d : draws)
      met.push_back(cents >= 1000 + d && !(cents >= 1100 && cents < 1200 && d <= 10));
    return met;
  };
  const ConfidentFunding f = find_confident_funding(count, 20, 50, 800, 9999990, 4);
  // The inference is misled by draws 1..10; the full runs find it out and
  // the search is made again on draws run alone.
  ASSERT_TRUE(f.cents);
  EXPECT_EQ(*f.cents, 1010);
  EXPECT_EQ(f.at->met, 10);
  EXPECT_EQ(f.below->met, 9);
  ASSERT_TRUE(f.falls);
  EXPECT_EQ(f.falls->higher, 1100);
  EXPECT_LT(f.falls->lower, 1100);
  EXPECT_LT(f.falls->met_higher, f.falls->met_lower);
}

}  // namespace
}  // namespace pavecast
