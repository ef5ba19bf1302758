#include "model/segment_table.h"

#include "fatal/fatal.h"

namespace pavecast {

int32_t SegmentTable::add() {
  if (segment_count >= capacity) fatal_too_many_segments();
  row(segment_count + 1);
  return ++segment_count;
}

Segment& SegmentTable::row(int32_t i) {
  if (i > rows_made()) rows.resize(static_cast<std::size_t>(i) + 1);
  return rows[static_cast<std::size_t>(i)];
}

void clear_segment_table(SegmentTable& table) {
  table.segment_count = 0;
  for (int i = 1; i <= table.rows_made(); ++i) {
    Segment& row = table[i];
    int32_t forced_index = row.forced_index;
    row = Segment{};
    row.forced_index = forced_index;
  }
}

void fatal_too_many_segments() {
  fatal_text("\n  ** Fatal Error: You have exceeded the maximum number of segments.\n");
}

}  // namespace pavecast
