// Listing test networks (the engine's own tests build their inputs in
// projection_fixture.h): a run context built directly, without the dialogue,
// with a small parameter set (two pavement types, three repair actions, a
// policy matrix), and helpers to add segments, open the listings and trace
// files, and run the year loop as the program's projection stage sets it up
// (app/stages.h). The engine of the last run stays for its end state (money
// left, split).
#pragma once

#include <memory>
#include <string>

#include "app/stages.h"
#include "engine/projection.h"
#include "engine/selection.h"
#include "support/test_support.h"

namespace pavecast::testing {

// The repair actions of the test set, by index: seal (rank 1, number 28),
// overlay (rank 3, number 47), rebuild (rank 9, number 84).
enum : int32_t { kSeal = 1, kOverlay = 2, kRebuild = 3 };

struct EngineRun {
  TempDir dir;
  std::unique_ptr<RunContext> holder;
  RunContext& ctx;
  ScriptedConsole console;

  explicit EngineRun(int32_t years = 1, int32_t capacity = kProgramSegmentCapacity)
      : holder(std::make_unique<RunContext>(dir.workdir(), capacity)), ctx(*holder) {
    ctx.settings.years = years;
    ctx.settings.year_slots = years + 1;
    ctx.settings.budget_constrained = 'Y';
    ctx.settings.repair_order = 3;
    ctx.settings.auxiliary_answer = 'N';
    ctx.settings.vmt_answer = 'N';
    ctx.settings.reconstruct_answer = 'N';
    set_funding(1000.0f);
    for (int c = 1; c <= kClasses; ++c) ctx.tables.priority[c] = c <= 8 ? 1 : 1000;

    ctx.tables.pavement.pavement_type_count = 2;
    ctx.tables.pavement.pavement_type_name[1] = "ASPHALT";
    ctx.tables.pavement.pavement_type_name[2] = "CONCRETE";
    for (int j = 1; j <= kClasses; ++j) {
      ctx.tables.pavement.det_rate[1][j] = 0.5f;
      ctx.tables.pavement.det_rate[2][j] = 0.25f;
    }

    RepairActions& a = ctx.tables.actions;
    a.action_count = 3;
    a[kSeal] = {1, 28, 1000, "Seal", 1.0f, 0.1f, 0};
    a[kOverlay] = {3, 47, 1000, "Overlay", 3.0f, 0.4f, 0};
    a[kRebuild] = {9, 84, 1000, "Rebuild", 9.0f, 2.0f, 0};
    for (int p = 1; p <= 2; ++p)
      for (int c = 1; c <= kClasses; ++c)
        ctx.tables.policy[p][c] = c <= 2 ? 84 : c <= 5 ? 47 : c <= 8 ? 28 : 0;
  }

  void set_funding(float amount) {
    ctx.settings.annual_funding = amount;
    for (int y = 1; y <= kMaxYearSlots; ++y) ctx.tables.funding[y] = amount;
  }

  // Adds a segment as the loader would (worst/best-first key: the score).
  int32_t add_segment(float score, float miles, int32_t type = 1) {
    const int32_t i = ++ctx.segments.segment_count;
    Segment& s = ctx.segments[i];
    s.score = score;
    s.lane_miles = miles;
    s.pavement_type = type;
    s.original_number = i;
    s.order_key = score;
    s.last_action = 999;
    ctx.network.total_lane_miles += miles;
    return i;
  }

  void force(int32_t year, int32_t segment) {
    const int32_t k = ++ctx.forced.forced_count;
    ctx.forced.forced_year[k] = year;
    ctx.forced.forced_segment[k] = segment;
    if (segment >= 1 && segment <= ctx.segments.capacity) ctx.segments[segment].forced_index = k;
    ctx.settings.force_fix_answer = 'Y';
  }

  // Opens the segment list and improvements file as if their headings had
  // just been written (the files start empty here).
  void open_listings(bool names = false) {
    ctx.settings.auxiliary_answer = 'Y';
    ctx.network.names_format = names ? 1 : 0;
    ctx.files.segment_list = OutputFile::create_replacement(dir.workdir().local("t.scr"));
    ctx.files.improvements = OutputFile::create_replacement(dir.workdir().local("t.rep"));
    ctx.output.list_lines = 3;
    ctx.output.repair_lines = 3;
  }

  void trace(int32_t segment) {
    const int32_t t = ++ctx.settings.trace_count;
    ctx.settings.trace_answer = 'Y';
    ctx.settings.trace_segment[t] = segment;
    ctx.files.trace[t] =
        OutputFile::create_replacement(dir.workdir().local("trace." + std::to_string(t)));
  }

  // The engine over the context as the program's projection stage sets it
  // up, not yet run.
  Projection& prepare(SegmentSelection* selection = nullptr) {
    engine.reset();
    setup = std::make_unique<ProjectionSetup>(ctx, console);
    engine = std::make_unique<Projection>(setup->inputs, projection_tables(ctx), *setup->listings,
                                          setup->numbers.get(), selection);
    return *engine;
  }

  void run(SegmentSelection* selection = nullptr) { prepare(selection).run(); }

  // The engine of the last run, as it ended.
  const Projection& end() const { return *engine; }

  std::unique_ptr<ProjectionSetup> setup;
  std::unique_ptr<Projection> engine;

  std::string file(const std::unique_ptr<OutputFile>& f, std::string_view name) {
    if (f) f->close();
    return dir.read(name);
  }
  std::string segment_list() { return file(ctx.files.segment_list, "t.scr"); }
  std::string improvements() { return file(ctx.files.improvements, "t.rep"); }
  std::string trace_file(int32_t t) {
    return file(ctx.files.trace[t], "trace." + std::to_string(t));
  }
};

}  // namespace pavecast::testing
