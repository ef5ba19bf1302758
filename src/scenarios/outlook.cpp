#include "scenarios/outlook.h"

#include <string>

#include "engine/deterioration.h"
#include "model/condition_class.h"

namespace pavecast {

namespace {

bool known_type(int32_t p) {
  return p >= 1 && p <= kMaxPavementTypes;
}

}  // namespace

int32_t remaining_life(const Segment& seg, const PavementTypes& rates, int32_t limit) {
  float score = seg.score;
  const int32_t p = seg.pavement_type;
  for (int32_t years = 0; years < limit; ++years) {
    const int32_t c = condition_class(score, kPolicyOffset);
    if (c <= 5) return years;
    if (!known_type(p) || c > kClasses) return limit;
    // One year's deterioration as the engine takes it.
    score = within_scale(
        stored(static_cast<double>(score) - static_cast<double>(rates.det_rate[p][11 - c])));
  }
  return limit;
}

int32_t life_band(int32_t years) {
  if (years <= 0) return 0;
  if (years <= 3) return 1;
  if (years <= 7) return 2;
  if (years <= 12) return 3;
  return 4;
}

const char* life_band_label(int32_t band) {
  static const char* const kLabels[kLifeBands] = {"0", "1-3", "4-7", "8-12", "13+"};
  return kLabels[band < 0 ? 0 : band >= kLifeBands ? kLifeBands - 1 : band];
}

std::string life_text(int32_t years) {
  return years >= kLifeCap ? std::to_string(kLifeCap) + "+" : std::to_string(years);
}

PolicyActions::PolicyActions(const ProjectionInputs& in) {
  for (int32_t p = 1; p <= kMaxPavementTypes; ++p)
    for (int32_t c = 1; c <= kClasses; ++c) {
      const int32_t number = in.policy[p][c];
      index[p][c] = number == 0 ? 0 : in.actions.find(number);
    }
}

void Outlook::add_backlog(const Segment& seg, const ProjectionInputs& in,
                          const PolicyActions& actions) {
  const int32_t p = seg.pavement_type;
  if (!known_type(p)) return;
  const int32_t c = condition_class(seg.score, kPolicyOffset);
  if (c < 1 || c > kClasses) return;
  const int32_t k = actions.index[p][c];
  if (k == 0) return;
  backlog += static_cast<double>(seg.lane_miles) * static_cast<double>(in.actions[k].action_cost) / 2.0;
  backlog_lane_miles += seg.lane_miles;
}

void Outlook::add_life(const Segment& seg, const PavementTypes& rates) {
  const int32_t years = remaining_life(seg, rates, kLastBandYears);
  life_miles[static_cast<std::size_t>(life_band(years))] += seg.lane_miles;
}

}  // namespace pavecast
