#include "readers/forced_repairs.h"

#include <string>

#include "fatal/fatal.h"
#include "io/record_files.h"

namespace pavecast {

void read_forced_repairs(RunContext& ctx, Console& console) {
  static const layout::Layout kEntry("I2,I4");
  ForcedRepairs& list = ctx.forced;
  list = ForcedRepairs{};

  std::string name(ctx.force_fix_file.trimmed());
  if (name.empty()) {
    // No file can bear a blank name; the run goes on without forced repairs.
    console.line(" ** Warning: no forced-repair file was named; no repairs are forced");
    return;
  }
  auto file = InputFile::open_or_fatal(ctx.workdir.local(name), IfMissing::kCreateEmpty);
  for (;;) {
    int32_t year = 0;
    int32_t segment = 0;
    if (kEntry.read(*file, {year, segment}) != layout::ReadStatus::kOk) break;
    if (segment < 1 || segment > ctx.segments.capacity) {
      console.line(" ** Warning: forced-repair line " + std::to_string(file->line_number()) +
                   " of " + name + " names segment " + std::to_string(segment) +
                   ", outside 1.." + std::to_string(ctx.segments.capacity) +
                   "; the line is skipped");
      continue;
    }
    int k = list.forced_count + 1;
    if (k > kMaxForcedRepairs)
      fatal("The maximium number of forced repairs has been exceeded.");
    list.forced_year[k] = year;
    list.forced_segment[k] = segment;
    ctx.segments[segment].forced_index = k;
    list.forced_count = k;
  }
}

void ignore_forced_entries_beyond_network(RunContext& ctx, Console& console) {
  ForcedRepairs& list = ctx.forced;
  for (int k = 1; k <= list.forced_count; ++k) {
    int32_t segment = list.forced_segment[k];
    if (segment <= ctx.segments.segment_count) continue;
    console.line(" ** Warning: forced repair " + std::to_string(k) + " names segment " +
                 std::to_string(segment) + ", but the network has " +
                 std::to_string(ctx.segments.segment_count) +
                 " segments; the entry is ignored");
    list.forced_ignored[k] = 1;
    list.forced_year[k] = 0;
    ctx.segments[segment].forced_index = 0;
  }
}

int forced_entry(const RunContext& ctx, int i) {
  if (i < 1 || i > ctx.segments.capacity) return 0;
  const ForcedRepairs& list = ctx.forced;
  int k = ctx.segments[i].forced_index;
  if (k < 1 || k > list.forced_count) return 0;
  if (list.forced_segment[k] != i || list.forced_ignored[k] != 0) return 0;
  return k;
}

}  // namespace pavecast
