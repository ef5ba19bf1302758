// data/random.dat: the 500 reconstruction numbers read by the network
// options dialogue (a bundle with the replies and the file), then the order
// keys drawn from the same file for a small table over a few years, where
// the sorted selection must take the segments in the order of the literal
// scan.
#include <algorithm>
#include <vector>

#include "dialogue/network_options.h"
#include "engine/inputs.h"
#include "engine/selection.h"
#include "fuzz_support.h"
#include "readers/random_numbers.h"
#include "support/literal_scan.h"

using namespace pavecast;

namespace {

// The segments in the order a projection of three years takes them.
struct TakenOrder : ProjectionObserver {
  std::vector<int32_t> taken;
  bool follows_segments_done() const override { return false; }
  void segment_taken(int32_t, int32_t, int32_t i, const Segment&) override { taken.push_back(i); }
};

std::vector<int32_t> taken_order(const RunContext& ctx, SegmentSelection* selection) {
  RandomFile keys(
      InputFile::open_or_fatal(ctx.workdir.data("random.dat"), IfMissing::kCreateEmpty));
  ProjectionInputs inputs = projection_inputs(ctx.settings, ctx.tables, ctx.network);
  inputs.year_slots = 4;
  inputs.funding.fill(0.0f);  // nothing repaired: the keys alone order the pass
  SegmentTable segments = ctx.segments;
  PavementTypes pavement = ctx.tables.pavement;
  ForcedRepairs forced;
  Statistics stats;
  TakenOrder observer;
  Projection(inputs, {segments, pavement, forced, stats}, observer, &keys, selection).run();
  return observer.taken;
}

void check_order_keys(RunContext& ctx) {
  testing::LiteralScan scan;
  fuzz::check(taken_order(ctx, nullptr) == taken_order(ctx, &scan),
              "the sorted selection follows the scan");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Bundle bundle = fuzz::parse_bundle(data, size);
  fuzz::Scratch::get().reset(bundle);
  auto ctx = fuzz::make_context();
  ctx->settings.default_scores_name = "NET1";
  ctx->settings.reconstruct_answer = 'Y';
  ctx->settings.reconstruct_probability = 5.0f;
  ctx->settings.vmt_answer = 'N';
  fuzz::FuzzConsole console(bundle.answers);
  if (fuzz::run_stage(
          [&] { ask_network_options(dialogue_of(*ctx, console), ctx->settings, ctx->tables); }) &&
      ctx->settings.recon_numbers_loaded) {
    fuzz::check(ctx->settings.reconstruct_probability <= 1.0f,
                "a loaded probability is a fraction");
  }

  // Order keys for 37 segments of every class, by random and by priority order.
  ctx->segments.segment_count = 37;
  for (int d = 1; d <= 37; ++d) ctx->segments[d].score = static_cast<float>(1 + d % 10);
  for (int c = 1; c <= 10; ++c) ctx->tables.priority[c] = c <= 8 ? 10 * c : 1000;
  for (int32_t order : {1, 2}) {
    ctx->settings.repair_order = order;
    fuzz::run_stage([&] { check_order_keys(*ctx); });
  }
  return 0;
}
