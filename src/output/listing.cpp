#include "output/listing.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "layout/fixed_record.h"
#include "layout/layout.h"
#include "model/condition_class.h"
#include "output/output_files.h"

namespace pavecast {

namespace {

using layout::FixedRecord;
using layout::Layout;

constexpr int32_t kNoRepair = 999;
constexpr int32_t kPageEnd = 56;

// The listings' layouts, parsed once on first use; the lines written for
// every segment or repair are fixed records, laid out in place.
struct Layouts {
  FixedRecord list_line_names{"I4,3X,A23,1X,A38,1X,I4,2I5,I6,F8.1,F9.0"};
  FixedRecord list_line_short{"I4,3X,I4,2I5,I6,F9.1,F9.0"};
  FixedRecord repair_line_names{"I4,3X,A23,1X,A38,1X,I4,I4,I5,I6,I5,F9.1,F7.3,F8.3,I4,I3"};
  FixedRecord repair_line_names_forced{
      "I4,3X,A23,1X,A38,1X,I4,I4,I5,I6,I5,F9.1,F7.3,F8.3,I4,I3,4X,'Yes'"};
  FixedRecord repair_line_short{"I4,3X,I4,I4,I5,I6,I8,F7.1,F8.3,F8.3"};
  FixedRecord trace_line{"I2,I3,I5,F7.1,I4,3I5"};
  FixedRecord trace_line_forced{"I2,I3,I5,F7.1,I4,3I5,' Forced'"};
  Layout year_message{"17X,' Processing year ',I3,'.  It has ',I4,' segments.'"};
  Layout closing{"17X,'" + std::string(47, ' ') + "'"};
};

const Layouts& layouts() {
  static const Layouts kLayouts;
  return kLayouts;
}

}  // namespace

ListingWriter::ListingWriter(Console& console, RunFiles& files, OutputState& state,
                             const RunSettings& settings, int32_t names_format, RepairOrder order,
                             const RepairActions& actions, const PolicyMatrix& policy)
    : console_(console),
      files_(files),
      state_(state),
      settings_(settings),
      names_format_(names_format),
      order_(order),
      actions_(actions),
      policy_(policy),
      // A record holding only the form feed, then the column headings.
      list_page_("\f\n" + segment_list_columns(names_format)),
      repair_page_("\f\n" + improvements_columns(names_format)) {
  if (files_.segment_list) stage_ = std::make_unique<char[]>(kStageSize);
  list_line_ = names_format == 1 ? &layouts().list_line_names : &layouts().list_line_short;
  // Every segment is checked against the trace entries once a year.
  constexpr int32_t kLargestLookedUp = 1 << 20;
  for (int32_t tr = 1; tr <= settings_.trace_count; ++tr) {
    const int32_t n = settings_.trace_segment[tr];
    if (n < 0 || n > kLargestLookedUp) continue;
    if (static_cast<std::size_t>(n) >= traced_.size()) traced_.resize(static_cast<std::size_t>(n) + 1);
    traced_[static_cast<std::size_t>(n)] = 1;
  }
}

void ListingWriter::year_begins(int32_t year, int32_t segment_count) {
  if (files_.segment_list) stage(" \n", 2);
  if (files_.improvements) files_.improvements->write(" \n");
  console_.write(layouts().year_message, {year, segment_count});
}

void ListingWriter::segment_taken(int32_t year, int32_t position, int32_t i, const Segment& seg) {
  if (!files_.segment_list) return;
  if (state_.list_lines >= kPageEnd) {
    stage(list_page_.data(), list_page_.size());
    state_.list_lines = 2;
  }

  const float key = draws_order_keys(order_)
                        ? static_cast<float>(static_cast<double>(seg.order_key) * 10000.0)
                        : seg.order_key;
  const int32_t c = condition_class(seg.score, kListOffset);
  const bool names = names_format_ == 1;
  const FixedRecord& record = *list_line_;
  // The fields after the names: the segment number, then the rest in order.
  const std::size_t number = names ? 3 : 1;

  const std::size_t length = record.size();
  const auto row = static_cast<std::size_t>(i);
  if (row >= kept_.size()) {
    kept_.resize(row + 1);
    lines_.resize((row + 1) * length);
  }
  KeptFields& kept = kept_[row];
  char* line = &lines_[row * length];
  const bool fresh = !kept.made;
  if (fresh) {
    // The names and number of a row do not change once it exists (the
    // engine gives names only to a new piece).
    record.start(line);
    if (names) {
      record.put(line, 1, seg.highway_name.view());
      record.put(line, 2, seg.segment_description.view());
    }
    record.put(line, number, i);
    kept.made = true;
  }
  if (fresh || kept.pavement_type != seg.pavement_type) {
    record.put(line, number + 1, seg.pavement_type);
    kept.pavement_type = seg.pavement_type;
  }
  if (fresh || kept.year != year) {
    record.put(line, number + 2, year);
    kept.year = year;
  }
  if (fresh || kept.surface_class != c) {
    record.put(line, number + 3, c);
    kept.surface_class = c;
  }
  if (fresh ||
      std::bit_cast<uint32_t>(kept.lane_miles) != std::bit_cast<uint32_t>(seg.lane_miles)) {
    record.put(line, number + 4, seg.lane_miles);
    kept.lane_miles = seg.lane_miles;
  }
  record.put(line, 0, position);
  record.put(line, number + 5, key);
  stage(line, length);
  state_.list_lines += 1;
}

void ListingWriter::repair_made(const RepairEvent& r, const Segment& seg) {
  if (files_.improvements) {
    OutputFile& file = *files_.improvements;
    if (state_.repair_lines > kPageEnd) {
      file.write(repair_page_);
      state_.repair_lines = 2;
    }

    const int32_t c = condition_class(seg.score, kPolicyOffset);
    if (names_format_ == 1) {
      const FixedRecord& line =
          r.forced ? layouts().repair_line_names_forced : layouts().repair_line_names;
      file.write(line, [&](char* out) {
        line.put(out, 0, r.repair_number);
        line.put(out, 1, seg.highway_name.view());
        line.put(out, 2, seg.segment_description.view());
        line.put(out, 3, r.segment);
        line.put(out, 4, seg.pavement_type);
        line.put(out, 5, r.year);
        line.put(out, 6, c);
        line.put(out, 7, policy_[seg.pavement_type][c]);
        line.put(out, 8, seg.lane_miles);
        line.put(out, 9, r.cost);
        line.put(out, 10, r.spent);
        line.put(out, 11, seg.mcd);
        line.put(out, 12, seg.jurisdiction);
      });
    } else {
      const FixedRecord& line = layouts().repair_line_short;
      file.write(line, [&](char* out) {
        line.put(out, 0, r.repair_number);
        line.put(out, 1, r.segment);
        line.put(out, 2, seg.pavement_type);
        line.put(out, 3, r.year);
        line.put(out, 4, c);
        line.put(out, 5, actions_[r.action].action_number);
        line.put(out, 6, seg.lane_miles);
        line.put(out, 7, r.cost);
        line.put(out, 8, r.spent);
      });
    }
  }
  state_.repair_lines += 1;
}

void ListingWriter::segment_done(int32_t year, int32_t t, const Segment& seg, bool forced) {
  // Most segments are traced by no file: that is found from the first bytes
  // of the row, before the repetition counts are read.
  const int32_t n = seg.original_number;
  if (n >= 0 && static_cast<std::size_t>(n) < traced_.size()) {
    if (traced_[static_cast<std::size_t>(n)] == 0) return;
  } else {
    bool traced = false;
    for (int32_t tr = 1; tr <= settings_.trace_count; ++tr)
      traced = traced || settings_.trace_segment[tr] == n;
    if (!traced) return;
  }
  int32_t last_repair = 0;
  int32_t count = 0;
  if (seg.last_action != kNoRepair) {
    last_repair = actions_[seg.last_action].action_number;
    count = seg.times_applied[seg.last_action];
    if (count > 9) count = 9;
  }
  const FixedRecord& line = forced ? layouts().trace_line_forced : layouts().trace_line;
  const int32_t c = condition_class(seg.score, kPolicyOffset);
  for (int32_t tr = 1; tr <= settings_.trace_count; ++tr) {
    if (settings_.trace_segment[tr] != seg.original_number || !files_.trace[tr]) continue;
    files_.trace[tr]->write(line, [&](char* out) {
      line.put(out, 0, year);
      line.put(out, 1, seg.pavement_type);
      line.put(out, 2, c);
      line.put(out, 3, seg.lane_miles);
      line.put(out, 4, seg.original_number);
      line.put(out, 5, t);
      line.put(out, 6, last_repair);
      line.put(out, 7, count);
    });
  }
}

void ListingWriter::stage(const char* bytes, std::size_t size) {
  if (staged_ + size > kStageSize) hand_stage_over();
  char* to = stage_.get() + staged_;
  if (size >= 16) {
    std::size_t k = 0;
    for (; k + 16 <= size; k += 16) std::memcpy(to + k, bytes + k, 16);
    if (k < size) std::memcpy(to + size - 16, bytes + size - 16, 16);
  } else {
    std::memcpy(to, bytes, size);
  }
  staged_ += size;
}

void ListingWriter::hand_stage_over() {
  if (staged_ > 0) files_.segment_list->write_through(std::string_view(stage_.get(), staged_));
  staged_ = 0;
}

void ListingWriter::projection_ends() {
  if (files_.segment_list) hand_stage_over();
  console_.write(layouts().closing, {});
}

}  // namespace pavecast
