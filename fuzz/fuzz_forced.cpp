// The forced-repair list: a bundle with the file force.txt, read into the
// list and then checked against a loaded network of a size taken from the
// replies' first line.
#include <string>

#include "fuzz_support.h"
#include "readers/forced_repair_file.h"

using namespace pavecast;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Bundle bundle = fuzz::parse_bundle(data, size);
  fuzz::Scratch::get().reset(bundle);
  auto ctx = fuzz::make_context();
  ctx->settings.force_fix_file = "force.txt";
  fuzz::FuzzConsole console(bundle.answers);
  if (!fuzz::run_stage([&] {
        read_forced_repairs(ctx->workdir, ctx->settings.force_fix_file, console, ctx->forced,
                            ctx->segments);
      }))
    return 0;

  const ForcedRepairs& list = ctx->forced;
  fuzz::check(list.forced_count >= 0 && list.forced_count <= kMaxForcedRepairs,
              "forced_count 0..100");
  int32_t loaded = 0;
  for (char c : bundle.answers.substr(0, 4))
    if (c >= '0' && c <= '9') loaded = loaded * 10 + (c - '0');
  ctx->segments.segment_count = std::min(loaded, ctx->segments.capacity);
  ignore_forced_entries_beyond_network(ctx->forced, ctx->segments, console);
  for (int i = 1; i <= ctx->segments.capacity; ++i) {
    int k = forced_entry(ctx->forced, ctx->segments, i);
    if (k == 0) continue;
    fuzz::check(list.forced_segment[k] == i, "the entry names its segment");
    fuzz::check(i <= ctx->segments.segment_count, "only loaded segments are forced");
  }
  return 0;
}
