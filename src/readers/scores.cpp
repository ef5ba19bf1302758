#include "readers/scores.h"

#include <algorithm>
#include <string>

#include "fatal/fatal.h"
#include "io/record_files.h"
#include "layout/layout.h"
#include "model/repair_order.h"

namespace pavecast {

namespace {

// The fields of one segment line, kept while its pieces are created.
struct SegmentLine {
  int32_t score = 0;
  float lane_miles = 0.0f;
  int32_t mcd = 0;
  int32_t jurisdiction = 0;
  Text<23> highway_name;
  Text<38> segment_description;
};

enum class LineKind { kTerminator, kSkipped, kSegment };

LineKind read_segment_line(InputFile& scores, int32_t names_format, SegmentLine& line) {
  static const layout::Layout kShort("I2,F7.2");
  static const layout::Layout kNames("I2,F7.2,I4,I2,1X,A23,1X,A38");
  std::string_view record;
  if (!scores.next(record)) fatal_end_of_file(scores);
  line = SegmentLine{};
  layout::ReadStatus status =
      names_format == 1
          ? kNames.read(record, {line.score, line.lane_miles, line.mcd, line.jurisdiction,
                                 line.highway_name, line.segment_description})
          : kShort.read(record, {line.score, line.lane_miles});
  if (status != layout::ReadStatus::kOk) fatal_unreadable(scores);

  std::string_view first23 = record.substr(0, std::min<std::size_t>(record.size(), 23));
  if (first23.find_first_not_of(' ') == std::string_view::npos) return LineKind::kTerminator;
  if (line.score == 0) return LineKind::kSkipped;
  if (line.score < 0 || line.score > 10)
    fatal("a score of " + std::to_string(line.score) + " is outside 0..10, file " + scores.shown() +
          ", line " + std::to_string(scores.line_number()));
  return LineKind::kSegment;
}

float add(float sum, float value) {
  return static_cast<float>(static_cast<double>(sum) + static_cast<double>(value));
}

// What the segment loops fill, and how.
struct Loading {
  const LoadOptions& options;
  InputFile& scores;
  InputFile* random;
  SegmentTable& table;
  NetworkValues& network;
  Statistics& stats;
  int32_t factor = 1;       // pieces per line
  int32_t copies_made = 1;  // pieces made of the kept line
};

// Creates segment segment_count + 1 from `line` in pavement type group `p`.
void create_segment(Loading& load, const SegmentLine& line, int32_t p) {
  static const layout::Layout kRandom("F6.5");
  SegmentTable& table = load.table;
  const int32_t factor = load.factor;
  InputFile* random = load.random;
  const int i = table.add();
  Segment& seg = table[i];

  seg.lane_miles =
      static_cast<float>(static_cast<double>(line.lane_miles) / static_cast<double>(factor));
  seg.mcd = line.mcd;
  seg.jurisdiction = line.jurisdiction;
  seg.highway_name = line.highway_name;
  seg.segment_description = line.segment_description;
  seg.last_action = 999;
  seg.original_number = i;
  seg.pavement_type = p;

  const int32_t s = line.score;
  if (load.options.score_keys) seg.order_key = static_cast<float>(s);

  if (random != nullptr) {
    float r = 0.0f;
    layout::ReadStatus status = kRandom.read(*random, {r});
    // A network larger than the file (the scenario tool's) takes its
    // numbers again from the first; the program's table is full first.
    if (status == layout::ReadStatus::kEndOfFile && load.options.reuse_random &&
        random->line_number() > 0) {
      random->rewind();
      status = kRandom.read(*random, {r});
    }
    if (status == layout::ReadStatus::kError) fatal_unreadable(*random);
    if (status == layout::ReadStatus::kEndOfFile) fatal_end_of_file(*random);
    seg.score = static_cast<float>((static_cast<double>(s) - 0.5) + static_cast<double>(r));
    // A file score of 10 would otherwise reach class 11, beyond every table.
    // The numbers of random.dat are fractions, so a file score of 1 gives at
    // least 0.5, still class 1; a negative number must not go below that, or
    // the class would index before the tables.
    seg.score = std::clamp(seg.score, 0.5f, 10.0f);
  } else {
    seg.score = static_cast<float>(s);
  }

  // The classes of the loaded year come from the file score, even when the
  // score itself is randomised.
  Statistics& stats = load.stats;
  if (s <= 6) stats.fair_poor_miles[1] = add(stats.fair_poor_miles[1], seg.lane_miles);
  if (s < 6) stats.poor_miles[1] = add(stats.poor_miles[1], seg.lane_miles);
  stats.score_miles[1] =
      static_cast<float>(static_cast<double>(stats.score_miles[1]) +
                         static_cast<double>(seg.lane_miles) * static_cast<double>(seg.score));
  load.network.total_lane_miles = add(load.network.total_lane_miles, seg.lane_miles);

  seg.reset_pending = 0;
  seg.repair_count = 0;
}

void plain_segment_loop(Loading& load, int32_t p) {
  SegmentLine line;
  for (;;) {
    switch (read_segment_line(load.scores, load.network.names_format, line)) {
      case LineKind::kTerminator:
        return;
      case LineKind::kSkipped:
        continue;
      case LineKind::kSegment:
        create_segment(load, line, p);
        break;
    }
  }
}

// Each line read gives `factor` pieces; copies_made counts the pieces made
// of the kept line and equals the factor between lines and between groups.
void subdivided_segment_loop(Loading& load, int32_t p) {
  SegmentLine kept;
  for (;;) {
    if (load.copies_made == load.factor) {
      LineKind kind;
      do {
        kind = read_segment_line(load.scores, load.network.names_format, kept);
      } while (kind == LineKind::kSkipped);
      if (kind == LineKind::kTerminator) return;
      load.copies_made = 0;
    }
    ++load.copies_made;
    create_segment(load, kept, p);
  }
}

}  // namespace

LoadOptions load_options(const RunSettings& settings, int32_t action_count) {
  LoadOptions options;
  options.subdividing = !is_no(settings.split_answer);
  options.split_factor = settings.split_factor;
  options.score_keys = !draws_order_keys(repair_order_of(settings.repair_order));
  options.action_count = action_count;
  return options;
}

void stop_if_no_segments(const SegmentTable& table, const PavementTypes& types,
                         const FilePath& rates_file, const FilePath& scores_file) {
  if (table.segment_count > 0) return;
  if (types.pavement_type_count == 0)
    fatal("the deterioration rates define no pavement type, file " + rates_file.shown);
  fatal("the scores file holds no segments, file " + scores_file.shown);
}

void load_segment_table(InputFile& scores, InputFile* random, const PavementTypes& types,
                        const LoadOptions& options, SegmentTable& table, NetworkValues& network,
                        Statistics& stats) {
  static const layout::Layout kHeader("I4,1X,A5");
  static const layout::Layout kNetworkName("A21");
  static const layout::Layout kGroupHeader("A8");

  clear_segment_table(table);
  stats.fair_poor_miles[1] = 0.0f;
  stats.poor_miles[1] = 0.0f;
  stats.score_miles[1] = 0.0f;
  network.total_lane_miles = 0.0f;

  read_or_fatal(kHeader, scores, {network.first_year, network.scores_tag});
  network.names_format = network.scores_tag.view() == "NAMES" ? 1 : 0;
  read_or_fatal(kNetworkName, scores, {network.network_name});

  Loading load{options, scores, random, table, network, stats};
  // The dialogue refuses a factor below 1; a smaller saved one gives whole lines.
  load.factor = options.subdividing ? std::max<int32_t>(options.split_factor, 1) : 1;
  load.copies_made = load.factor;

  // Groups come in any order; those beyond pavement_type_count are not read.
  for (int group = 1; group <= types.pavement_type_count; ++group) {
    Text<8> type_name;
    if (kGroupHeader.read(scores, {type_name}) != layout::ReadStatus::kOk) break;
    const int p = types.find(type_name);
    if (p == 0)
      fatal_text("\n\n ** Fatal Error: An invalid pavement type was entered (" + type_name.str() +
                 ").\n");
    if (options.subdividing)
      subdivided_segment_loop(load, p);
    else
      plain_segment_loop(load, p);
  }

  for (int i = 1; i <= table.rows_made(); ++i)
    for (int a = 1; a <= options.action_count; ++a) table[i].times_applied[a] = 0;
}

}  // namespace pavecast
