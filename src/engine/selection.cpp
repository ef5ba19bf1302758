#include "engine/selection.h"

#include <bit>
#include <string>

#include "model/condition_class.h"
#include "fatal/fatal.h"

namespace pavecast {

namespace {

// Numbers kept for replay; a larger file is read again on every pass.
constexpr std::size_t kMaxKeptNumbers = std::size_t{1} << 22;

bool best_first(const RunContext& ctx) {
  return ctx.repair_order == 4;
}

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

// Sorts the queue ascending, least significant digit first, 11 bits at a
// time; digits on which every value agrees (most of the key's high bits in a
// year) take no pass.
void radix_sort(SegmentOrder& order) {
  constexpr int kDigitBits = 11;
  constexpr int kDigits = 6;  // 66 bits cover 64
  constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
  std::vector<uint64_t>& values = order.queue;
  const std::size_t n = values.size();
  if (n == 0) return;
  order.counts.assign(kDigits * kBuckets, 0);
  for (uint64_t v : values)
    for (int d = 0; d < kDigits; ++d)
      ++order.counts[d * kBuckets + ((v >> (d * kDigitBits)) & (kBuckets - 1))];
  order.scratch.resize(n);
  for (int d = 0; d < kDigits; ++d) {
    uint32_t* count = &order.counts[d * kBuckets];
    if (count[(values[0] >> (d * kDigitBits)) & (kBuckets - 1)] == n) continue;
    uint32_t start = 0;
    for (std::size_t b = 0; b < kBuckets; ++b) {
      const uint32_t c = count[b];
      count[b] = start;
      start += c;
    }
    for (uint64_t v : values) order.scratch[count[(v >> (d * kDigitBits)) & (kBuckets - 1)]++] = v;
    values.swap(order.scratch);
  }
}

void build_order(const RunContext& ctx, SegmentOrder& order) {
  const int32_t n = ctx.segments.segment_count;
  const int32_t s = ctx.split_segment;
  const bool best = best_first(ctx);
  order.queue.clear();
  for (int32_t d = 1; d <= n; ++d) {
    const Segment& seg = ctx.segments[d];
    if (seg.handled_this_year == 1 || !selectable(seg.order_key, best)) continue;
    order.queue.push_back(uint64_t{key_rank(seg.order_key, best)} << 32 | scan_position(d, n, s));
  }
  radix_sort(order);
  order.next = 0;
  order.built_count = n;
  order.built_split = s;
}

}  // namespace

void open_order_keys(OrderKeySource& source, const Workdir& workdir) {
  source = OrderKeySource{};
  source.file = InputFile::open_or_fatal(workdir.data("random.dat"), IfMissing::kCreateEmpty);
}

void close_order_keys(OrderKeySource& source) {
  source = OrderKeySource{};
}

bool next_order_number(OrderKeySource& source, float& number) {
  if (source.replaying) {
    if (source.next < source.numbers.size()) {
      number = source.numbers[source.next++];
      return true;
    }
    source.next = 0;
    return false;
  }
  if (!source.file) return false;

  static const layout::Layout kNumber("F6.5");
  float value = 0.0f;
  if (kNumber.read(*source.file, {value}) != layout::ReadStatus::kOk) {
    if (source.keeping) {
      source.replaying = true;
      source.next = 0;
      source.file.reset();
    } else {
      source.file->rewind();
    }
    return false;
  }
  if (value >= 21.0f)
    fatal("a number of 21.0 or more, file " + source.file->shown() + ", line " +
          std::to_string(source.file->line_number()));
  if (source.keeping) {
    if (source.numbers.size() < kMaxKeptNumbers) {
      source.numbers.push_back(value);
    } else {
      source.keeping = false;
      source.numbers = {};
    }
  }
  number = value;
  return true;
}

void draw_order_keys(RunContext& ctx, OrderKeySource& source) {
  const bool priority_order = ctx.repair_order == 2;
  for (int32_t d = 1; d <= ctx.segments.segment_count; ++d) {
    float number = 0.0f;
    if (!next_order_number(source, number)) continue;  // d keeps its key
    Segment& seg = ctx.segments[d];
    if (priority_order) {
      const int32_t c = condition_class(seg.score, kListOffset);
      seg.order_key =
          static_cast<float>(static_cast<double>(number) / static_cast<double>(ctx.priority[c]));
    } else {
      seg.order_key = number;
    }
  }
}

int32_t scan_next_segment(const RunContext& ctx) {
  const int32_t n = ctx.segments.segment_count;
  const int32_t s = ctx.split_segment;
  const bool best = best_first(ctx);
  float best_value = best ? 0.0f : 21.0f;
  int32_t choice = 0;
  for (int32_t p = 1; p <= n; ++p) {
    const int32_t d = p > s ? p - s : n + p - s;
    const Segment& seg = ctx.segments[d];
    if (seg.handled_this_year == 1) continue;
    if (best ? seg.order_key > best_value : seg.order_key < best_value) {
      choice = d;
      best_value = seg.order_key;
    }
  }
  return choice;
}

void begin_year_order(SegmentOrder& order) {
  order.queue.clear();
  order.next = 0;
  order.built_count = -1;
  order.built_split = -1;
}

int32_t select_next_segment(const RunContext& ctx, SegmentOrder& order) {
  if (ctx.segments.segment_count != order.built_count || ctx.split_segment != order.built_split)
    build_order(ctx, order);
  const int32_t n = order.built_count;
  const int32_t s = order.built_split;
  while (order.next < order.queue.size()) {
    const auto p = static_cast<uint32_t>(order.queue[order.next++] & 0xffffffffu);
    const int32_t d = segment_at(p, n, s);
    if (ctx.segments[d].handled_this_year != 1) return d;
  }
  return 0;
}

}  // namespace pavecast
