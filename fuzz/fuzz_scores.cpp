// The scores file, in both forms (short, and with names when the header's
// tag is NAMES): a bundle with the replies, the pavement types in
// data/detrates.dat, the scores file roads/NET1 and data/random.dat. The
// replies' first line sets the loading: a split factor (I4), then Y to
// randomise the scores. The same file is then summarised as the "help"
// reply shows it.
#include <string>

#include "dialogue/datahelp.h"
#include "dialogue/parameter_files.h"
#include "fuzz_support.h"
#include "layout/layout.h"
#include "readers/deterioration_rates.h"
#include "readers/scores.h"

using namespace pavecast;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Bundle bundle = fuzz::parse_bundle(data, size);
  fuzz::Scratch::get().reset(bundle);
  auto ctx = fuzz::make_context();
  fuzz::FuzzConsole console(bundle.answers);

  std::string first = bundle.answers.substr(0, bundle.answers.find('\n'));
  static const layout::Layout kOptions("I4,A1");
  int32_t factor = 0;
  char randomize = 'N';
  kOptions.read(first, {factor, randomize});
  ctx->settings.split_answer = factor > 1 ? 'Y' : 'N';
  ctx->settings.split_factor = factor;
  ctx->settings.randomize_answer = randomize == 'Y' ? 'Y' : 'N';
  ctx->settings.repair_order = 3;

  fuzz::run_stage([&] {
    read_deterioration_rates(dialogue_of(*ctx, console), ctx->settings, ctx->tables.pavement);
    auto scores = InputFile::open_or_fatal(ctx->workdir.roads("NET1"), IfMissing::kCreateEmpty);
    std::unique_ptr<InputFile> random;
    if (is_yes(ctx->settings.randomize_answer))
      random = InputFile::open_or_fatal(ctx->workdir.data("random.dat"), IfMissing::kCreateEmpty);
    LoadOptions options;
    options.subdividing = !is_no(ctx->settings.split_answer);
    options.split_factor = ctx->settings.split_factor;
    options.score_keys = true;
    options.action_count = ctx->tables.actions.action_count;
    load_segment_table(*scores, random.get(), ctx->tables.pavement, options, ctx->segments,
                       ctx->network, ctx->stats);
  });

  const SegmentTable& table = ctx->segments;
  fuzz::check(table.segment_count >= 0 && table.segment_count <= table.capacity,
              "segment_count within the table");
  for (int i = 1; i <= table.segment_count; ++i) {
    const Segment& seg = table[i];
    fuzz::check(
        seg.pavement_type >= 1 && seg.pavement_type <= ctx->tables.pavement.pavement_type_count,
        "every segment has a known pavement type");
    fuzz::check(!(seg.score > 10.0f), "no score above 10");
  }

  fuzz::FuzzConsole help("\n");
  fuzz::run_stage([&] { datahelp(help, ctx->workdir.roads("NET1")); });
  return 0;
}
