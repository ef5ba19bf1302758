#include "engine/selection.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>

#include "model/condition_class.h"

namespace pavecast {

namespace {

// Whether the scan could ever choose a segment with this key: it starts from
// a best value of 21.0 (0.0 under best first) and takes only strictly better
// keys. NaN never compares better.
bool selectable(float key, bool best_first) {
  return best_first ? key > 0.0f : key < 21.0f;
}

// An unsigned rank that orders keys as the scan compares them: ascending, or
// descending under best first. -0.0 and 0.0 compare equal, so share a rank.
uint32_t key_rank(float key, bool best_first) {
  if (key == 0.0f) key = 0.0f;
  const uint32_t bits = std::bit_cast<uint32_t>(key);
  const uint32_t ascending = (bits & 0x80000000u) != 0 ? ~bits : (bits | 0x80000000u);
  return best_first ? ~ascending : ascending;
}

// Position of segment d in the scan of n segments rotated by split segment s.
uint32_t scan_position(int32_t d, int32_t n, int32_t s) {
  return static_cast<uint32_t>(d > n - s ? d - (n - s) : d + s);
}

}  // namespace

// Sorts the queue by its high words (the key ranks), least significant digit
// first. Each pass is stable and the queue was built in scan order, so ties
// stay in scan order. Digits on which every value agrees (most of the key's
// high bits in a year) take no pass. A small queue sorts by 8-bit digits,
// whose counts cost less to clear and sum than those of 11-bit digits.
void OrderedSelection::radix_sort() {
  std::vector<uint64_t>& values = queue_;
  const std::size_t n = values.size();
  if (n < 2) return;
  const int digit_bits = n < 2048 ? 8 : 11;
  const int digits = (32 + digit_bits - 1) / digit_bits;
  const std::size_t buckets = std::size_t{1} << digit_bits;
  const uint64_t mask = buckets - 1;
  counts_.assign(static_cast<std::size_t>(digits) * buckets, 0);
  for (uint64_t v : values) {
    const uint64_t high = v >> 32;
    for (int d = 0; d < digits; ++d) ++counts_[d * buckets + ((high >> (d * digit_bits)) & mask)];
  }
  scratch_.resize(n);
  for (int d = 0; d < digits; ++d) {
    const int shift = 32 + d * digit_bits;
    uint32_t* count = &counts_[d * buckets];
    if (count[(values[0] >> shift) & mask] == n) continue;
    uint32_t start = 0;
    for (std::size_t b = 0; b < buckets; ++b) {
      const uint32_t c = count[b];
      count[b] = start;
      start += c;
    }
    for (uint64_t v : values) scratch_[count[(v >> shift) & mask]++] = v;
    values.swap(scratch_);
  }
}

void OrderedSelection::build(const PassOrder& order, int32_t n, int32_t split_segment,
                             bool best) {
  const int32_t s = split_segment;
  queue_.clear();
  // In scan order: n - s + 1, ..., n, then 1, ..., n - s.
  auto add = [&](int32_t from, int32_t to) {
    for (int32_t d = from; d <= to; ++d) {
      const float key = order.key[static_cast<std::size_t>(d)];
      if (order.handled[static_cast<std::size_t>(d)] == 1 || !selectable(key, best)) continue;
      queue_.push_back(uint64_t{key_rank(key, best)} << 32 | static_cast<uint32_t>(d));
    }
  };
  queue_.reserve(static_cast<std::size_t>(n) + 1);  // room for resume_after_split
  add(n - s + 1, n);
  add(1, n - s);
  radix_sort();
  next_ = 0;
  built_count_ = n;
  built_split_ = s;
}

// The entries not yet returned are every segment not handled but s, in the
// order of their keys, so only the ties and s need the new scan: within a
// run of equal keys the entries are in the order of the scan they were
// sorted for, ascending segment numbers rotated; they are put back in
// ascending order, then rotated to start above n - s, where the new scan
// starts. That is linear in the entries, where sorting them again (the year's
// money usually runs out early in the pass) would cost as much as the year's
// first sort.
bool OrderedSelection::resume_after_split(const PassOrder& order, int32_t n, int32_t s,
                                          bool best) {
  if (built_count_ < 0 || n != built_count_ + 1 || s < 1 || s >= n ||
      order.handled[static_cast<std::size_t>(n)] != 1 ||
      order.handled[static_cast<std::size_t>(s)] != 0)
    return false;
  const auto first = queue_.begin() + static_cast<std::ptrdiff_t>(next_);
  const auto last = queue_.end();
  const auto start = static_cast<uint64_t>(n - s);
  for (auto group = first; group != last;) {
    const uint64_t rank = *group >> 32;
    auto end = group + 1;
    while (end != last && (*end >> 32) == rank) ++end;
    if (end - group > 1) {
      std::rotate(group, std::is_sorted_until(group, end), end);
      std::rotate(group, std::upper_bound(group, end, rank << 32 | start), end);
    }
    group = end;
  }
  const float key = order.key[static_cast<std::size_t>(s)];
  if (selectable(key, best)) {
    const uint64_t entry = uint64_t{key_rank(key, best)} << 32 | static_cast<uint32_t>(s);
    auto before = [&](uint64_t a, uint64_t b) {
      if ((a >> 32) != (b >> 32)) return a < b;
      return scan_position(static_cast<int32_t>(a & 0xffffffffu), n, s) <
             scan_position(static_cast<int32_t>(b & 0xffffffffu), n, s);
    };
    const auto at = std::lower_bound(first, last, entry, before) - queue_.begin();
    queue_.insert(queue_.begin() + at, entry);
  }
  built_count_ = n;
  built_split_ = s;
  return true;
}

void OrderedSelection::begin_year() {
  queue_.clear();
  next_ = 0;
  built_count_ = -1;
  built_split_ = -1;
}

// The queue holds every segment not handled when it was ordered, and a
// segment becomes handled only by being returned (a split, which handles a
// new piece, changes segment_count and so reorders the queue): each entry is
// returned as it comes. The row a few entries ahead is fetched into the
// cache meanwhile, which a large table, visited in key order, would
// otherwise wait for at every segment.
int32_t OrderedSelection::next(const SegmentTable& segments, const PassOrder& order,
                               int32_t split_segment, bool best_first) {
  if ((segments.segment_count != built_count_ || split_segment != built_split_) &&
      !resume_after_split(order, segments.segment_count, split_segment, best_first))
    build(order, segments.segment_count, split_segment, best_first);
  if (next_ >= queue_.size()) return 0;
  // A table that the cache holds (a few thousand rows) needs no fetching.
  constexpr std::size_t kAhead = 16;
  constexpr int32_t kFetchedFrom = 8192;
  if (built_count_ >= kFetchedFrom && next_ + kAhead < queue_.size()) {
    // The row's first 32 bytes, all the pass reads of a segment not
    // repaired; until the year's money runs out at a split, also the
    // repetition counts that a repair reads and writes.
    const auto* row = reinterpret_cast<const char*>(
        &segments[static_cast<int32_t>(queue_[next_ + kAhead] & 0xffffffffu)]);
    __builtin_prefetch(row);
    if (split_segment == 0) {
      __builtin_prefetch(row + 64);
      __builtin_prefetch(row + 128);
    }
  }
  return static_cast<int32_t>(queue_[next_++] & 0xffffffffu);
}

template <typename Money>
void BasicProjection<Money>::draw_order_keys() {
  const bool priority_order = in_.order == RepairOrder::kPriority;
  if (in_.keyed_order != nullptr) {
    const std::span<float> keys =
        std::span<float>(pass_.key).subspan(1, static_cast<std::size_t>(segments_.segment_count));
    in_.keyed_order->fill(1, year_, keys);
    if (!priority_order) return;
    for (int32_t d = 1; d <= segments_.segment_count; ++d) {
      const int32_t c = condition_class(segments_[d].score, kListOffset);
      float& key = pass_.key[static_cast<std::size_t>(d)];
      key = static_cast<float>(static_cast<double>(key) / static_cast<double>(in_.priority[c]));
    }
    return;
  }
  if (!priority_order) {
    // The keys are the numbers themselves.
    if (order_numbers_ != nullptr)
      order_numbers_->fill(std::span<float>(pass_.key).subspan(
          1, static_cast<std::size_t>(segments_.segment_count)));
    return;
  }
  for (int32_t d = 1; d <= segments_.segment_count; ++d) {
    float number = 0.0f;
    if (order_numbers_ == nullptr || !order_numbers_->next(number)) continue;  // keeps its key
    const int32_t c = condition_class(segments_[d].score, kListOffset);
    pass_.key[static_cast<std::size_t>(d)] =
        static_cast<float>(static_cast<double>(number) / static_cast<double>(in_.priority[c]));
  }
}

namespace {

// A score after one year's deterioration at the given rates, as the engine
// deteriorates a segment considered for repair.
double deteriorated(double score, const std::array<float, kClasses + 1>& rates) {
  const auto c = condition_class(static_cast<float>(score), kPolicyOffset);
  const double next = static_cast<float>(score - static_cast<double>(rates[11 - c]));
  return std::clamp(next, 1.0, 10.0);
}

}  // namespace

template <typename Money>
void BasicProjection<Money>::rank_by_cost_effectiveness() {
  const int32_t years_left = std::max(in_.year_slots - year_ + 1, 0);
  for (int32_t d = 1; d <= segments_.segment_count; ++d) {
    const Segment& seg = segments_[d];
    float& key = pass_.key[static_cast<std::size_t>(d)];
    key = 0.0f;
    const int32_t c = condition_class(seg.score, kPolicyOffset);
    const int32_t k = in_.actions.find(in_.policy[seg.pavement_type][c]);
    if (in_.policy[seg.pavement_type][c] == 0 || k == 0) continue;
    const RepairAction& action = in_.actions[k];
    const int32_t type_after =
        action.new_pavement_type > 0 && action.new_pavement_type <= kMaxPavementTypes
            ? action.new_pavement_type
            : seg.pavement_type;
    double with = std::clamp(static_cast<double>(seg.score) + action.score_gain, 1.0, 10.0);
    double without = deteriorated(seg.score, pavement_.det_rate[seg.pavement_type]);
    double area = 0.0;
    for (int32_t y = 0; y < years_left; ++y) {
      area += with - without;
      with = deteriorated(with, pavement_.det_rate[type_after]);
      without = deteriorated(without, pavement_.det_rate[seg.pavement_type]);
    }
    const double miles = seg.lane_miles;
    const double cost = miles * static_cast<double>(action.action_cost) / 2.0;
    const double benefit = miles * area;
    if (!(benefit > 0.0)) continue;
    key = cost > 0.0 ? static_cast<float>(-(benefit / cost))
                     : -std::numeric_limits<float>::infinity();
  }
}

#define PAVECAST_INSTANTIATE(Money)                         \
  template void BasicProjection<Money>::draw_order_keys(); \
  template void BasicProjection<Money>::rank_by_cost_effectiveness();
PAVECAST_INSTANTIATE(float)
PAVECAST_INSTANTIATE(double)
#undef PAVECAST_INSTANTIATE

}  // namespace pavecast
