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

// Position p of segment d in the scan of n segments rotated by split segment s.
uint32_t scan_position(int32_t d, int32_t n, int32_t s) {
  return static_cast<uint32_t>(d > n - s ? d - (n - s) : d + s);
}

int32_t segment_at(uint32_t p, int32_t n, int32_t s) {
  const auto pos = static_cast<int32_t>(p);
  return pos > s ? pos - s : n + pos - s;
}

}  // namespace

// Sorts the queue ascending, least significant digit first, 11 bits at a
// time; digits on which every value agrees (most of the key's high bits in a
// year) take no pass.
void OrderedSelection::radix_sort() {
  constexpr int kDigitBits = 11;
  constexpr int kDigits = 6;  // 66 bits cover 64
  constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
  std::vector<uint64_t>& values = queue_;
  const std::size_t n = values.size();
  if (n == 0) return;
  counts_.assign(kDigits * kBuckets, 0);
  for (uint64_t v : values)
    for (int d = 0; d < kDigits; ++d)
      ++counts_[d * kBuckets + ((v >> (d * kDigitBits)) & (kBuckets - 1))];
  scratch_.resize(n);
  for (int d = 0; d < kDigits; ++d) {
    uint32_t* count = &counts_[d * kBuckets];
    if (count[(values[0] >> (d * kDigitBits)) & (kBuckets - 1)] == n) continue;
    uint32_t start = 0;
    for (std::size_t b = 0; b < kBuckets; ++b) {
      const uint32_t c = count[b];
      count[b] = start;
      start += c;
    }
    for (uint64_t v : values) scratch_[count[(v >> (d * kDigitBits)) & (kBuckets - 1)]++] = v;
    values.swap(scratch_);
  }
}

void OrderedSelection::build(const SegmentTable& segments, int32_t split_segment, bool best) {
  const int32_t n = segments.segment_count;
  const int32_t s = split_segment;
  queue_.clear();
  for (int32_t d = 1; d <= n; ++d) {
    const Segment& seg = segments[d];
    if (seg.handled_this_year == 1 || !selectable(seg.order_key, best)) continue;
    queue_.push_back(uint64_t{key_rank(seg.order_key, best)} << 32 | scan_position(d, n, s));
  }
  radix_sort();
  next_ = 0;
  built_count_ = n;
  built_split_ = s;
}

void OrderedSelection::begin_year() {
  queue_.clear();
  next_ = 0;
  built_count_ = -1;
  built_split_ = -1;
}

int32_t OrderedSelection::next(const SegmentTable& segments, int32_t split_segment,
                               bool best_first) {
  if (segments.segment_count != built_count_ || split_segment != built_split_)
    build(segments, split_segment, best_first);
  const int32_t n = built_count_;
  const int32_t s = built_split_;
  while (next_ < queue_.size()) {
    const auto p = static_cast<uint32_t>(queue_[next_++] & 0xffffffffu);
    const int32_t d = segment_at(p, n, s);
    if (segments[d].handled_this_year != 1) return d;
  }
  return 0;
}

void draw_order_keys(Projection& p) {
  const bool priority_order = p.in.order == RepairOrder::kPriority;
  for (int32_t d = 1; d <= p.segments.segment_count; ++d) {
    float number = 0.0f;
    if (p.order_numbers == nullptr || !p.order_numbers->next(number)) continue;  // keeps its key
    Segment& seg = p.segments[d];
    if (priority_order) {
      const int32_t c = condition_class(seg.score, kListOffset);
      seg.order_key =
          static_cast<float>(static_cast<double>(number) / static_cast<double>(p.in.priority[c]));
    } else {
      seg.order_key = number;
    }
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

void rank_by_cost_effectiveness(Projection& p) {
  const int32_t years_left = std::max(p.in.year_slots - p.year + 1, 0);
  for (int32_t d = 1; d <= p.segments.segment_count; ++d) {
    Segment& seg = p.segments[d];
    seg.order_key = 0.0f;
    const int32_t c = condition_class(seg.score, kPolicyOffset);
    const int32_t k = p.in.actions.find(p.in.policy[seg.pavement_type][c]);
    if (p.in.policy[seg.pavement_type][c] == 0 || k == 0) continue;
    const RepairAction& action = p.in.actions[k];
    const int32_t type_after =
        action.new_pavement_type > 0 && action.new_pavement_type <= kMaxPavementTypes
            ? action.new_pavement_type
            : seg.pavement_type;
    double with = std::clamp(static_cast<double>(seg.score) + action.score_gain, 1.0, 10.0);
    double without = deteriorated(seg.score, p.pavement.det_rate[seg.pavement_type]);
    double area = 0.0;
    for (int32_t y = 0; y < years_left; ++y) {
      area += with - without;
      with = deteriorated(with, p.pavement.det_rate[type_after]);
      without = deteriorated(without, p.pavement.det_rate[seg.pavement_type]);
    }
    const double miles = seg.lane_miles;
    const double cost = miles * static_cast<double>(action.action_cost) / 2.0;
    const double benefit = miles * area;
    if (!(benefit > 0.0)) continue;
    seg.order_key = cost > 0.0 ? static_cast<float>(-(benefit / cost))
                               : -std::numeric_limits<float>::infinity();
  }
}

}  // namespace pavecast
