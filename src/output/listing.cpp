#include "output/listing.h"

#include "model/condition_class.h"
#include "layout/layout.h"
#include "output/output_files.h"

namespace pavecast {

namespace {

using layout::Layout;

constexpr int32_t kNoRepair = 999;
constexpr int32_t kPageEnd = 56;

// The listings' layouts, parsed once on first use.
struct Layouts {
  Layout list_line_names{"I4,3X,A23,1X,A38,1X,I4,2I5,I6,F8.1,F9.0"};
  Layout list_line_short{"I4,3X,I4,2I5,I6,F9.1,F9.0"};
  Layout repair_line_names{"I4,3X,A23,1X,A38,1X,I4,I4,I5,I6,I5,F9.1,F7.3,F8.3,I4,I3"};
  Layout repair_line_names_forced{
      "I4,3X,A23,1X,A38,1X,I4,I4,I5,I6,I5,F9.1,F7.3,F8.3,I4,I3,4X,'Yes'"};
  Layout repair_line_short{"I4,3X,I4,I4,I5,I6,I8,F7.1,F8.3,F8.3"};
  Layout trace_line{"I2,I3,I5,F7.1,I4,3I5"};
  Layout trace_line_forced{"I2,I3,I5,F7.1,I4,3I5,' Forced'"};
};

const Layouts& layouts() {
  static const Layouts kLayouts;
  return kLayouts;
}

// A record holding only the form feed: a new page, whose column headings
// follow.
void write_form_feed(OutputFile& file) {
  file.write("\f\n");
}

}  // namespace

void write_year_records(RunContext& ctx) {
  if (ctx.files.segment_list) ctx.files.segment_list->write(" \n");
  if (ctx.files.improvements) ctx.files.improvements->write(" \n");
}

void write_segment_list_line(RunContext& ctx, int32_t i) {
  if (!ctx.files.segment_list) return;
  OutputFile& file = *ctx.files.segment_list;
  const bool names = ctx.network.names_format == 1;
  if (ctx.list_lines >= kPageEnd) {
    write_form_feed(file);
    write_segment_list_columns(file, ctx.network.names_format);
    ctx.list_lines = 2;
  }

  const Segment& seg = ctx.segments[i];
  const bool drawn_keys = ctx.repair_order == 1 || ctx.repair_order == 2;
  const float key =
      drawn_keys ? static_cast<float>(static_cast<double>(seg.order_key) * 10000.0) : seg.order_key;
  const int32_t c = condition_class(seg.score, kListOffset);
  if (names) {
    file.write(layouts().list_line_names,
               {ctx.list_position, seg.highway_name.view(), seg.segment_description.view(), i,
                seg.pavement_type, ctx.year, c, seg.lane_miles, key});
  } else {
    file.write(layouts().list_line_short,
               {ctx.list_position, i, seg.pavement_type, ctx.year, c, seg.lane_miles, key});
  }
  ctx.list_lines += 1;
}

void write_repair_line(RunContext& ctx, int32_t t, int32_t k, float cost) {
  if (ctx.files.improvements) {
    OutputFile& file = *ctx.files.improvements;
    const bool names = ctx.network.names_format == 1;
    if (ctx.repair_lines > kPageEnd) {
      write_form_feed(file);
      write_improvements_columns(file, ctx.network.names_format);
      ctx.repair_lines = 2;
    }

    const Segment& seg = ctx.segments[t];
    const int32_t c = condition_class(seg.score, kPolicyOffset);
    const float spent = ctx.stats.spent[ctx.year];
    if (names) {
      const Layout& line =
          ctx.forced_pass == 1 ? layouts().repair_line_names_forced : layouts().repair_line_names;
      file.write(line, {ctx.repair_number, seg.highway_name.view(), seg.segment_description.view(),
                        t, seg.pavement_type, ctx.year, c, ctx.policy[seg.pavement_type][c],
                        seg.lane_miles, cost, spent, seg.mcd, seg.jurisdiction});
    } else {
      file.write(layouts().repair_line_short,
                 {ctx.repair_number, t, seg.pavement_type, ctx.year, c,
                  ctx.actions[k].action_number, seg.lane_miles, cost, spent});
    }
  }
  ctx.repair_lines += 1;
}

void write_trace_lines(RunContext& ctx, int32_t t) {
  const Segment& seg = ctx.segments[t];
  int32_t last_repair = 0;
  int32_t count = 0;
  if (seg.last_action != kNoRepair) {
    last_repair = ctx.actions[seg.last_action].action_number;
    count = seg.times_applied[seg.last_action];
    if (count > 9) count = 9;
  }
  const Layout& line = ctx.forced_pass == 1 ? layouts().trace_line_forced : layouts().trace_line;
  const int32_t c = condition_class(seg.score, kPolicyOffset);
  for (int32_t tr = 1; tr <= ctx.trace_count; ++tr) {
    if (ctx.trace_segment[tr] != seg.original_number || !ctx.files.trace[tr]) continue;
    ctx.files.trace[tr]->write(line, {ctx.year, seg.pavement_type, c, seg.lane_miles,
                                      seg.original_number, t, last_repair, count});
  }
}

}  // namespace pavecast
