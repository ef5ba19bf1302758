// The year loop, the listings, the report and the final conditions on a run
// context built from the fuzzer's bytes, without the dialogue: every table
// holds values the readers can give (an action's gain or cost may be any
// real a file field can hold, a segment's length too), so the numbers reach
// corners that whole runs from text files rarely do. The first bytes choose
// the run's options, the rest fill the tables; data/random.dat holds the
// order keys.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <fstream>
#include <string>

#include "engine/projection.h"
#include "fuzz_support.h"
#include "output/final_conditions.h"
#include "output/output_files.h"
#include "output/projection_report.h"

using namespace pavecast;

namespace {

// A real as a file field gives it: mostly an ordinary value, sometimes a
// tiny, huge or negative one.
float real(FuzzedDataProvider& in, float low, float high) {
  switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0:
      return in.ConsumeFloatingPointInRange(-1e30f, 1e30f);
    case 1:
      return in.PickValueInArray({0.0f, -0.0f, 1e-40f, -1e-40f, 1e38f, -1e38f, 9999.99f});
    default:
      return in.ConsumeFloatingPointInRange(low, high);
  }
}

void fill(FuzzedDataProvider& in, RunContext& ctx) {
  ctx.settings.years = in.ConsumeIntegralInRange(0, kMaxYears);
  ctx.settings.year_slots = ctx.settings.years + 1;
  ctx.settings.budget_constrained = in.ConsumeBool() ? 'Y' : 'N';
  ctx.settings.repair_order =
      ctx.settings.budget_constrained == 'Y' ? in.ConsumeIntegralInRange(1, 4) : 1;
  ctx.settings.annual_funding = real(in, 0.0f, 100.0f);
  for (int y = 1; y <= ctx.settings.year_slots; ++y)
    ctx.tables.funding[y] = in.ConsumeBool() ? ctx.settings.annual_funding : real(in, 0.0f, 100.0f);
  for (int c = 1; c <= 8; ++c) ctx.tables.priority[c] = in.ConsumeIntegralInRange(1, 999);
  ctx.tables.priority[9] = ctx.tables.priority[10] = 1000;
  ctx.settings.auxiliary_answer = in.ConsumeBool() ? 'Y' : 'N';
  ctx.settings.printout_type = in.ConsumeIntegralInRange(1, 3);
  ctx.settings.page_lines = ctx.settings.printout_type == 3 ? 53 : 74;
  ctx.settings.date_time_answer = in.ConsumeBool() ? 'Y' : 'N';

  RepairActions& a = ctx.tables.actions;
  a.action_count = in.ConsumeIntegralInRange(0, kMaxActions);
  for (int k = 1; k <= a.action_count; ++k) {
    a[k].action_rank = in.ConsumeIntegralInRange(0, 9);
    a[k].action_number = in.ConsumeIntegralInRange(-9, 99);
    int32_t limit = in.ConsumeIntegralInRange(0, 9);
    a[k].max_repeats = limit == 9 && in.ConsumeBool() ? 1000 : limit;
    a[k].action_description = in.ConsumeBytesAsString(29);
    a[k].score_gain = real(in, 0.0f, 9.0f);
    a[k].action_cost = real(in, 0.0f, 3.0f);
    a[k].new_pavement_type = in.ConsumeIntegralInRange(0, kMaxPavementTypes);
  }

  PavementTypes& t = ctx.tables.pavement;
  t.pavement_type_count = in.ConsumeIntegralInRange(1, kMaxPavementTypes);
  for (int p = 1; p <= t.pavement_type_count; ++p) {
    t.pavement_type_name[p] = "TYPE" + std::to_string(p);
    for (int j = 1; j <= kClasses; ++j) t.det_rate[p][j] = real(in, 0.0f, 1.0f);
    for (int c = 1; c <= kClasses; ++c) {
      int32_t pick = in.ConsumeIntegralInRange(0, a.action_count + 1);
      ctx.tables.policy[p][c] = pick == 0                ? 0
                                : pick <= a.action_count ? a[pick].action_number
                                                         : in.ConsumeIntegralInRange(-9, 99);
    }
  }

  ctx.network.first_year = in.ConsumeIntegralInRange(-999, 9999);
  ctx.network.names_format = in.ConsumeBool() ? 1 : 0;
  ctx.network.scores_tag = ctx.network.names_format == 1 ? "NAMES" : "";
  ctx.network.network_name = in.ConsumeBytesAsString(21);
  SegmentTable& table = ctx.segments;
  const int32_t n = in.ConsumeIntegralInRange(1, 250);
  for (int i = 1; i <= n; ++i) {
    Segment& s = table[i];
    s.score = in.ConsumeBool() ? static_cast<float>(in.ConsumeIntegralInRange(1, 10))
                               : in.ConsumeFloatingPointInRange(0.5f, 10.0f);
    s.lane_miles = real(in, 0.0f, 10.0f);
    s.pavement_type = in.ConsumeIntegralInRange(1, t.pavement_type_count);
    s.original_number = i;
    s.last_action = 999;
    if (ctx.settings.repair_order >= 3) s.order_key = std::floor(s.score + 0.5f);
    if (ctx.network.names_format == 1) {
      s.highway_name = in.ConsumeBytesAsString(23);
      s.segment_description = in.ConsumeBytesAsString(38);
    }
    ctx.network.total_lane_miles =
        static_cast<float>(double(ctx.network.total_lane_miles) + s.lane_miles);
    ctx.stats.score_miles[1] =
        static_cast<float>(double(ctx.stats.score_miles[1]) + double(s.lane_miles) * s.score);
  }
  table.segment_count = n;

  ForcedRepairs& f = ctx.forced;
  f.forced_count = in.ConsumeIntegralInRange(0, 12);
  for (int k = 1; k <= f.forced_count; ++k) {
    f.forced_year[k] = in.ConsumeIntegralInRange(-9, 99);
    f.forced_segment[k] = in.ConsumeIntegralInRange(1, n);
    table[f.forced_segment[k]].forced_index = k;
  }

  ctx.settings.trace_count = in.ConsumeIntegralInRange(0, 4);
  for (int tr = 1; tr <= ctx.settings.trace_count; ++tr) {
    ctx.settings.trace_segment[tr] = in.ConsumeIntegralInRange(-1, n + 1);
    ctx.settings.trace_file_name[tr] = "trace." + std::to_string(tr);
  }

  ctx.settings.vmt_answer = in.ConsumeBool() ? 'Y' : 'N';
  ctx.settings.reconstruct_answer = in.ConsumeBool() ? 'Y' : 'N';
  if (is_yes(ctx.settings.reconstruct_answer)) {
    ctx.settings.recon_numbers_loaded = true;
    ctx.settings.reconstruct_probability = in.ConsumeFloatingPointInRange(0.0f, 1.0f);
    for (int i = 1; i <= kReconNumbers; ++i)
      ctx.tables.recon_random[i] = in.ConsumeFloatingPointInRange(0.0f, 1.0f);
  }
  ctx.settings.scores_name = "FUZZ";
  ctx.settings.final_conditions_file = "FUZZ.prd";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Scratch& scratch = fuzz::Scratch::get();
  scratch.reset({});
  FuzzedDataProvider in(data, size);
  auto ctx = fuzz::make_context(300);
  fill(in, *ctx);

  // The order keys and the traffic increases: what is left of the input.
  std::string rest = in.ConsumeRemainingBytesAsString();
  std::ofstream(scratch.root() / "data" / "random.dat", std::ios::binary) << rest;
  std::ofstream(scratch.root() / "data" / "vmt-inc.dat", std::ios::binary) << rest;

  fuzz::FuzzConsole console("");
  fuzz::run_stage([&] {
    open_run_files(output_of(*ctx));
    write_listing_headings(output_of(*ctx));
    if (open_trace_files(output_of(*ctx)) != 0) return;
    run_projection(*ctx, console);
    write_projection_report(output_of(*ctx));
    write_final_conditions(output_of(*ctx), console);
    if (ctx->files.report) write_end_record(ctx->settings.printout_type, *ctx->files.report);
  });
  fuzz::check(ctx->segments.segment_count <= ctx->segments.capacity, "the table holds its rows");
  for (int i = 1; i <= ctx->segments.segment_count; ++i) {
    float s = ctx->segments[i].score;
    fuzz::check(s >= 0.5f && s <= 10.0f, "scores stay on the scale");
  }
  return 0;
}
