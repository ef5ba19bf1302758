#include "scenarios/confidence_search.h"

#include <algorithm>
#include <iterator>

namespace pavecast {

ConfidentFunding find_confident_funding(const DrawCount& count, int32_t draws,
                                        int32_t confidence, std::optional<int64_t> start,
                                        int64_t top, int32_t batch) {
  ConfidentFunding out;
  out.draws = draws;
  out.needed = static_cast<int32_t>((int64_t{confidence} * draws + 99) / 100);
  batch = std::max(batch, 1);

  auto settle = [&](int64_t cents) {
    auto [it, fresh] = out.checked.try_emplace(cents);
    LevelShare& s = it->second;
    if (!fresh) return s.meets;
    while (s.run < draws) {
      const int32_t k = std::min(batch, draws - s.run);
      for (bool met : count(cents, s.run + 1, k)) {
        s.met += met;
        s.outcome.push_back(met);
      }
      s.run += k;
      out.projections += k;
      if (s.met >= out.needed || s.met + (draws - s.run) < out.needed) break;
    }
    s.meets = s.met >= out.needed;
    return s.meets;
  };
  auto full = [&](int64_t cents) {
    settle(cents);
    LevelShare& s = out.checked[cents];
    if (s.run < draws) {
      for (bool met : count(cents, s.run + 1, draws - s.run)) {
        s.met += met;
        s.outcome.push_back(met);
      }
      out.projections += draws - s.run;
      s.run = draws;
    }
    return s;
  };

  int64_t from = std::clamp<int64_t>(start.value_or(top), 0, top);
  int64_t lo = -1, hi = -1;  // a level that misses and one that meets; -1: none yet
  int64_t step = std::max<int64_t>(from / 8, 100);
  if (settle(from)) {
    hi = from;
    while (hi > 0) {
      const int64_t c = std::max<int64_t>(hi - step, 0);
      if (!settle(c)) {
        lo = c;
        break;
      }
      hi = c;
      step *= 2;
    }
  } else {
    lo = from;
    while (lo < top) {
      const int64_t c = std::min(lo + step, top);
      if (settle(c)) {
        hi = c;
        break;
      }
      lo = c;
      step *= 2;
    }
    if (hi < 0) return out;
  }
  while (hi - lo > 1) {
    const int64_t mid = lo + (hi - lo) / 2;
    (settle(mid) ? hi : lo) = mid;
  }

  out.cents = hi;
  out.at = full(hi);
  if (hi > 0) out.below = full(hi - 1);
  // Every pair of levels on their common first draws.
  for (auto a = out.checked.begin(); a != out.checked.end(); ++a)
    for (auto b = std::next(a); b != out.checked.end(); ++b) {
      const auto common = static_cast<std::size_t>(std::min(a->second.run, b->second.run));
      const auto met = [&](const LevelShare& s) {
        return static_cast<int32_t>(
            std::count(s.outcome.begin(), s.outcome.begin() + static_cast<std::ptrdiff_t>(common),
                       true));
      };
      const int32_t low = met(a->second), high = met(b->second);
      if (high < low && (!out.falls || low - high > out.falls->met_lower - out.falls->met_higher))
        out.falls = ShareFall{a->first, b->first, static_cast<int32_t>(common), low, high};
    }
  return out;
}

}  // namespace pavecast
