#include "readers/network_loading.h"

#include <algorithm>
#include <memory>
#include <string>

#include "readers/forced_repair_file.h"
#include "readers/scores.h"
#include "readers/traffic_increases.h"

namespace pavecast {

namespace {

// The records of a file: an upper bound on the segments it holds.
int32_t records_of(const FilePath& path) {
  auto file = InputFile::open(path, IfMissing::kCreateEmpty);
  int32_t count = 0;
  std::string_view record;
  while (file && file->next(record) && count < kNoSegmentLimit) ++count;
  return count;
}

void take_forced_repair_list(const NetworkSources& sources, Console& console,
                             const NetworkParts& parts) {
  if (is_no(sources.settings.force_fix_answer)) {
    parts.forced = ForcedRepairs{};
  } else {
    read_forced_repairs(sources.workdir, sources.settings.force_fix_file, console, parts.forced,
                        parts.segments);
  }
}

}  // namespace

void load_network(const NetworkSources& sources, const NetworkLoading& how, Console& console,
                  const NetworkParts& parts) {
  const RunSettings& settings = sources.settings;
  if (!how.unlimited_table) take_forced_repair_list(sources, console, parts);
  if (how.before_scores) how.before_scores();

  const FilePath scores_path = sources.workdir.roads(std::string(settings.scores_name.trimmed()));
  auto scores = InputFile::open_or_fatal(scores_path, IfMissing::kCreateEmpty);
  if (how.scores_opened) how.scores_opened();
  std::unique_ptr<InputFile> random;
  if (is_yes(settings.randomize_answer))
    random = InputFile::open_or_fatal(sources.workdir.data("random.dat"), IfMissing::kCreateEmpty);

  LoadOptions options = load_options(settings, sources.action_count);
  if (how.score_keys_always) options.score_keys = true;
  options.reuse_random = how.reuse_random;
  if (how.unlimited_table) {
    parts.segments = SegmentTable(kNoSegmentLimit);
    const int64_t pieces = int64_t{records_of(scores_path)} * std::max(options.split_factor, 1);
    parts.segments.reserve(static_cast<int32_t>(std::min<int64_t>(pieces, 1 << 24)));
  }
  load_segment_table(*scores, random.get(), sources.pavement, options, parts.segments,
                     parts.network, parts.stats);
  scores.reset();
  random.reset();
  stop_if_no_segments(parts.segments, sources.pavement, sources.rates_file, scores_path);
  if (how.unlimited_table) take_forced_repair_list(sources, console, parts);
  ignore_forced_entries_beyond_network(parts.forced, parts.segments, console);
}

void load_traffic_increases(const Workdir& workdir, const RunSettings& settings,
                            PerYear<float>& increase) {
  std::unique_ptr<InputFile> traffic;
  if (!is_no(settings.vmt_answer))
    traffic = InputFile::open_or_fatal(workdir.data("vmt-inc.dat"), IfMissing::kCreateEmpty);
  read_traffic_increases(traffic.get(), settings.year_slots, increase);
}

}  // namespace pavecast
