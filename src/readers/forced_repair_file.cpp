#include "readers/forced_repair_file.h"

#include <string>

#include "fatal/fatal.h"
#include "io/record_files.h"

namespace pavecast {

void read_forced_repairs(const Workdir& workdir, const Text<12>& file_name, Console& console,
                         ForcedRepairs& list, SegmentTable& segments) {
  static const layout::Layout kEntry("I2,I4");
  list = ForcedRepairs{};

  std::string name(file_name.trimmed());
  if (name.empty()) {
    // No file can bear a blank name; the run goes on without forced repairs.
    console.line(" ** Warning: no forced-repair file was named; no repairs are forced");
    return;
  }
  auto file = InputFile::open_or_fatal(workdir.local(name), IfMissing::kCreateEmpty);
  for (;;) {
    int32_t year = 0;
    int32_t segment = 0;
    if (kEntry.read(*file, {year, segment}) != layout::ReadStatus::kOk) break;
    if (segment < 1 || segment > segments.capacity) {
      console.line(" ** Warning: forced-repair line " + std::to_string(file->line_number()) +
                   " of " + name + " names segment " + std::to_string(segment) + ", outside 1.." +
                   std::to_string(segments.capacity) + "; the line is skipped");
      continue;
    }
    int k = list.forced_count + 1;
    if (k > kMaxForcedRepairs) fatal("The maximium number of forced repairs has been exceeded.");
    list.forced_year[k] = year;
    list.forced_segment[k] = segment;
    // A table without a limit has rows only for the loaded network (it is
    // read after loading); an entry beyond it is ignored once loaded.
    if (segment <= segments.rows_made()) segments[segment].forced_index = k;
    list.forced_count = k;
  }
}

void ignore_forced_entries_beyond_network(ForcedRepairs& list, SegmentTable& segments,
                                          Console& console) {
  for (int k = 1; k <= list.forced_count; ++k) {
    int32_t segment = list.forced_segment[k];
    if (segment <= segments.segment_count) continue;
    console.line(" ** Warning: forced repair " + std::to_string(k) + " names segment " +
                 std::to_string(segment) + ", but the network has " +
                 std::to_string(segments.segment_count) + " segments; the entry is ignored");
    list.forced_ignored[k] = 1;
    list.forced_year[k] = 0;
    if (segment <= segments.rows_made()) segments[segment].forced_index = 0;
  }
}

}  // namespace pavecast
