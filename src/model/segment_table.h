// The segment table: the road network the run works on, one row per segment,
// numbered 1..segment_count in the order of creation. The program's table has
// a capacity of 2,500 rows, all made at once; loading and splitting stop the
// run with fatal_too_many_segments() when a new segment would exceed it. A
// table without a limit (kNoSegmentLimit, the scenario tool's) makes its rows
// as segments are added, so it holds a network of any size. Also the network
// values set by the loader and the forced-repair list.
//
// Rows above segment_count hold the values of a cleared row (blank names,
// last_action 999, zeros) except forced_index, which only start-up clears.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "layout/text.h"
#include "model/parameter_tables.h"

namespace pavecast {

inline constexpr int kProgramSegmentCapacity = 2500;
inline constexpr int32_t kNoSegmentLimit = 2147483646;
inline constexpr int kMaxForcedRepairs = 100;

// The fields are grouped by use. The year's pass reads and writes the first
// group (32 bytes) for every segment every year; a row starts on a 32-byte
// boundary so that the group lies within one cache line, and visiting a
// large table in key order costs one line a segment. A repair adds the
// second group; the listings read the third. Whether the year's pass has
// taken a segment is the engine's own state (engine/projection.h), not a
// field of the row.
struct alignas(32) Segment {
  float score = 0.0f;  // condition, 1.0 (worst) to 10.0 (best)
  float lane_miles = 0.0f;
  float order_key = 0.0f;
  int32_t pavement_type = 0;
  int32_t forced_index = 0;    // entry of the forced-repair list naming it, or 0
  int32_t last_action = 999;   // index of the last action applied; 999 = none
  int32_t original_number = 0;  // number at loading; split pieces inherit it
  int32_t repair_count = 0;

  int32_t reset_pending = 0;
  std::array<int32_t, kMaxActions + 1> times_applied{};
  std::array<int32_t, kMaxActions + 1> chosen_rank{};

  int32_t mcd = 0;
  int32_t jurisdiction = 0;
  Text<23> highway_name;
  Text<38> segment_description;
};

struct SegmentTable {
  int32_t capacity = kProgramSegmentCapacity;
  int32_t segment_count = 0;
  std::vector<Segment> rows;  // rows[1..rows_made()]; rows[0] unused

  explicit SegmentTable(int32_t cap = kProgramSegmentCapacity)
      : capacity(cap), rows(cap == kNoSegmentLimit ? 1 : static_cast<std::size_t>(cap) + 1) {}

  Segment& operator[](int i) { return rows[static_cast<std::size_t>(i)]; }
  const Segment& operator[](int i) const { return rows[static_cast<std::size_t>(i)]; }

  int32_t rows_made() const { return static_cast<int32_t>(rows.size()) - 1; }
  // A new segment: segment_count + 1, its row as a cleared row leaves it.
  // Beyond the capacity: fatal_too_many_segments(). References to rows are
  // not kept across it (a table without a limit may move its rows).
  int32_t add();
  // Row i (1..capacity), made cleared if a table without a limit has not
  // made it yet.
  Segment& row(int32_t i);
  // Room for `count` rows without moving them.
  void reserve(int32_t count) { rows.reserve(static_cast<std::size_t>(count) + 1); }
};

// Values the loader reads from the scores file's first lines and sums.
struct NetworkValues {
  int32_t first_year = 0;
  Text<5> scores_tag;
  int32_t names_format = 0;  // 1 when scores_tag is exactly "NAMES"
  Text<21> network_name;
  float total_lane_miles = 0.0f;
};

// The forced-repair list (read by read_forced_repairs, readers/forced_repair_file.h).
// An entry naming a segment above the loaded segment_count takes no part in
// the run: loading sets forced_ignored(k) = 1 and forced_year(k) = 0, a year
// index the year loop never reaches, so every pass looking for this year's
// entries passes it by.
struct ForcedRepairs {
  int32_t forced_count = 0;
  std::array<int32_t, kMaxForcedRepairs + 1> forced_year{};     // a year index
  std::array<int32_t, kMaxForcedRepairs + 1> forced_segment{};  // a segment number
  std::array<int32_t, kMaxForcedRepairs + 1> forced_ignored{};  // 1: names no loaded segment
};

// The entry k (1..forced_count) that forced_index names for segment i, or 0
// when there is none that applies: an index left by an earlier pass through
// the dialogue that no entry of this list backs (a forced_index is cleared
// only at start-up) or an ignored entry counts as none.
// Inline: the year's pass asks it of every segment it takes.
inline int forced_entry(const ForcedRepairs& list, const SegmentTable& segments, int i) {
  if (i < 1 || i > segments.rows_made()) return 0;
  const int k = segments[i].forced_index;
  if (k < 1 || k > list.forced_count) return 0;
  if (list.forced_segment[k] != i || list.forced_ignored[k] != 0) return 0;
  return k;
}

// Clears every row for a new loading: segment_count 0 and each row as a new
// Segment, except forced_index, which keeps its value.
void clear_segment_table(SegmentTable& table);

// The stop when a new segment would exceed the table's capacity: one empty
// line, then "  ** Fatal Error: You have exceeded the maximum number of
// segments." (loading, subdivision and the engine's splits alike).
[[noreturn]] void fatal_too_many_segments();

}  // namespace pavecast
