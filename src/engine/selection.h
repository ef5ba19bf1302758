// Repair order: the order keys drawn at the start of a year and the choice of
// the next segment of the year's pass.
//
// The pass takes, among the segments not yet handled this year, the one with
// the least key (the greatest under best-first order), ties going to the
// segment met first in the scan. The scan runs 1..n when no segment has been
// split this year; after segment s is split it starts at n - s + 1 and wraps
// round: n - s + 1, ..., n, 1, ..., n - s. A key of 21.0 or more (0.0 or less
// under best first) is never chosen.
//
// scan_next_segment is that scan done literally, a whole-table search per
// selection. select_next_segment gives the same sequence from an order sorted
// once per year (and again after a split, which changes n and s); it relies
// on the keys of segments not yet handled staying as they are during the
// pass, which holds because a segment's key changes only when it is handled
// (the remainder of a split keeps its key and is re-sorted with the rest).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/run_context.h"
#include "io/record_files.h"

namespace pavecast {

// data\random.dat read line by line for the order keys, from its first line
// again whenever its end or an unreadable line is met. The numbers of the
// first pass through the file are kept, so later passes replay them without
// reading the file again (up to a bound, past which the file is re-read).
struct OrderKeySource {
  std::unique_ptr<InputFile> file;
  std::vector<float> numbers;  // the file's numbers in line order, once known
  bool keeping = true;         // still gathering `numbers` on the first pass
  bool replaying = false;      // `numbers` holds the whole readable file
  std::size_t next = 0;        // replay position
};

// Opens data\random.dat from its first line (created empty when missing).
void open_order_keys(OrderKeySource& source, const Workdir& workdir);
void close_order_keys(OrderKeySource& source);

// The next number, or false at the end of the file or an unreadable line
// (the file then starts again at its first line). A number of 21.0 or more
// stops the run naming the file and line: such a key could never be chosen.
bool next_order_number(OrderKeySource& source, float& number);

// Random order: order_key(d) = the next number, for d = 1..segment_count.
// Priority order: the number divided by priority(c), c the class of the
// score at offset 0.5002. A segment whose draw fails keeps its key.
void draw_order_keys(RunContext& ctx, OrderKeySource& source);

// The literal scan: the next segment not yet handled, or 0 when none can be
// chosen.
int32_t scan_next_segment(const RunContext& ctx);

// The ordered selection: the same sequence as the literal scan.
struct SegmentOrder {
  std::vector<uint64_t> queue;  // (key rank << 32 | scan position), ascending
  std::size_t next = 0;
  std::vector<uint64_t> scratch;  // sorting space, kept from year to year
  std::vector<uint32_t> counts;
  int32_t built_count = -1;  // segment_count and split_segment the queue was
  int32_t built_split = -1;  // sorted for; a change sorts it again
};

// Forgets last year's order; the next selection sorts the table afresh.
void begin_year_order(SegmentOrder& order);
int32_t select_next_segment(const RunContext& ctx, SegmentOrder& order);

}  // namespace pavecast
