#include "scenarios/confidence_search.h"

#include <algorithm>
#include <iterator>

namespace pavecast {

namespace {

// The levels checked, and for each draw the highest level where it was run
// and missed and the lowest where it was run and met.
class Search {
 public:
  Search(const DrawCount& count, int32_t draws, int32_t needed, int32_t batch, bool infer,
         ConfidentFunding& out)
      : count_(count), draws_(draws), needed_(needed), batch_(batch), infer_(infer), out_(out),
        highest_miss_(static_cast<std::size_t>(draws) + 1, -1),
        lowest_met_(static_cast<std::size_t>(draws) + 1, -1) {}

  // Whether `cents` meets the confidence, running as few draws as decide it.
  bool settle(int64_t cents) {
    LevelShare& s = level(cents);
    int32_t met = 0;
    std::vector<int32_t> open;
    for (int32_t d = 1; d <= draws_; ++d) {
      const int8_t known = state(s, d, cents);
      if (known == 1) ++met;
      if (known < 0) open.push_back(d);
    }
    std::size_t next = 0;
    while (met < needed_ && met + static_cast<int32_t>(open.size() - next) >= needed_) {
      const std::size_t end = std::min(open.size(), next + static_cast<std::size_t>(batch_));
      met += run(cents, std::vector<int32_t>(open.begin() + static_cast<std::ptrdiff_t>(next),
                                             open.begin() + static_cast<std::ptrdiff_t>(end)));
      next = end;
    }
    s.met = met;
    s.meets = met >= needed_;
    return s.meets;
  }

  // Every draw run at `cents`: the exact share.
  LevelShare full(int64_t cents) {
    LevelShare& s = level(cents);
    std::vector<int32_t> open;
    for (int32_t d = 1; d <= draws_; ++d)
      if (s.outcome[static_cast<std::size_t>(d - 1)] < 0) open.push_back(d);
    if (!open.empty()) run(cents, open);
    LevelShare& done = level(cents);
    done.met = static_cast<int32_t>(std::count(done.outcome.begin(), done.outcome.end(), 1));
    done.meets = done.met >= needed_;
    return done;
  }

 private:
  LevelShare& level(int64_t cents) {
    auto [it, fresh] = out_.checked.try_emplace(cents);
    if (fresh) it->second.outcome.assign(static_cast<std::size_t>(draws_), -1);
    return it->second;
  }

  // Draw d at `cents`: as run there (1 met, 0 missed); inferring, 1 when it
  // met at a level at or below and missed at none at or above, 0 the
  // reverse; else -1.
  int8_t state(const LevelShare& s, int32_t d, int64_t cents) const {
    const int8_t own = s.outcome[static_cast<std::size_t>(d - 1)];
    if (own >= 0 || !infer_) return own;
    const int64_t low = lowest_met_[static_cast<std::size_t>(d)];
    const int64_t high = highest_miss_[static_cast<std::size_t>(d)];
    const bool meets = low >= 0 && low <= cents, misses = high >= cents;
    if (meets != misses) return meets ? 1 : 0;
    return -1;
  }

  // Runs `list` at `cents`; the number that met.
  int32_t run(int64_t cents, const std::vector<int32_t>& list) {
    const std::vector<bool> met = count_(cents, list);
    out_.projections += static_cast<int64_t>(list.size());
    LevelShare& s = level(cents);
    int32_t n = 0;
    for (std::size_t k = 0; k < list.size(); ++k) {
      const auto d = static_cast<std::size_t>(list[k]);
      s.outcome[d - 1] = met[k] ? 1 : 0;
      s.run += 1;
      if (met[k]) {
        ++n;
        if (lowest_met_[d] < 0 || cents < lowest_met_[d]) lowest_met_[d] = cents;
      } else if (cents > highest_miss_[d]) {
        highest_miss_[d] = cents;
      }
    }
    return n;
  }

  const DrawCount& count_;
  int32_t draws_, needed_, batch_;
  bool infer_;
  ConfidentFunding& out_;
  std::vector<int64_t> highest_miss_, lowest_met_;
};

// Steps 1 to 3 (confidence_search.h).
void search(Search& s, ConfidentFunding& out, std::optional<int64_t> start, int64_t top) {
  const int64_t from = std::clamp<int64_t>(start.value_or(top), 0, top);
  int64_t lo = -1, hi = -1;  // a level that misses and one that meets; -1: none yet
  int64_t step = std::max<int64_t>(from / 8, 100);
  if (s.settle(from)) {
    hi = from;
    while (hi > 0) {
      const int64_t c = std::max<int64_t>(hi - step, 0);
      if (!s.settle(c)) {
        lo = c;
        break;
      }
      hi = c;
      step *= 2;
    }
  } else {
    lo = from;
    while (lo < top && hi < 0) {
      const int64_t c = std::min(lo + step, top);
      (s.settle(c) ? hi : lo) = c;
      step *= 2;
    }
    if (hi < 0) return;
  }
  while (hi - lo > 1) {
    const int64_t mid = lo + (hi - lo) / 2;
    (s.settle(mid) ? hi : lo) = mid;
  }
  out.cents = hi;
  out.at = s.full(hi);
  if (hi > 0) out.below = s.full(hi - 1);
}

}  // namespace

ConfidentFunding find_confident_funding(const DrawCount& count, int32_t draws,
                                        int32_t confidence, std::optional<int64_t> start,
                                        int64_t top, int32_t batch) {
  ConfidentFunding out;
  out.draws = draws;
  out.needed = static_cast<int32_t>((int64_t{confidence} * draws + 99) / 100);
  batch = std::max(batch, 1);
  {
    Search inferring(count, draws, out.needed, batch, true, out);
    search(inferring, out, start, top);
  }
  // A draw whose response to funding is not monotonic can mislead the
  // inference: when the full runs of the level found and of a cent below do
  // not bear it out, the search is made again without it, every level
  // settled on draws run there.
  if (out.cents && (!out.at->meets || (out.below && out.below->meets))) {
    out.inferred_wrongly = true;
    ConfidentFunding again;
    again.draws = draws;
    again.needed = out.needed;
    again.projections = out.projections;
    Search exact(count, draws, out.needed, batch, false, again);
    search(exact, again, start, top);
    again.inferred_wrongly = true;
    out = std::move(again);
  }
  // Every pair of levels on the draws run at both.
  for (auto a = out.checked.begin(); a != out.checked.end(); ++a)
    for (auto b = std::next(a); b != out.checked.end(); ++b) {
      int32_t common = 0, low = 0, high = 0;
      for (std::size_t d = 0; d < static_cast<std::size_t>(draws); ++d) {
        const int8_t x = a->second.outcome[d], y = b->second.outcome[d];
        if (x < 0 || y < 0) continue;
        ++common;
        low += x;
        high += y;
      }
      if (high < low && (!out.falls || low - high > out.falls->met_lower - out.falls->met_higher))
        out.falls = ShareFall{a->first, b->first, common, low, high};
    }
  return out;
}

}  // namespace pavecast
