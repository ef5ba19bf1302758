// The secondary data sets: data/default.dat, the data set dialogue over
// data/class.dat, then the saved answers file of the chosen set and the names
// of its parameter files. A bundle with the replies and those files.
#include "dialogue/saved_answers.h"
#include "fuzz_support.h"

using namespace pavecast;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Bundle bundle = fuzz::parse_bundle(data, size);
  fuzz::Scratch::get().reset(bundle);
  auto ctx = fuzz::make_context();
  fuzz::FuzzConsole console(bundle.answers);
  if (!fuzz::run_stage([&] {
        read_default_dat(ctx->settings, ctx->workdir);
        choose_data_set(dialogue_of(*ctx, console), ctx->settings);
      }))
    return 0;

  fuzz::check(ctx->settings.data_set_count >= 0 && ctx->settings.data_set_count <= kMaxDataSets,
              "data_set_count 0..20");
  if (!is_no(ctx->settings.secondary_data_answer))
    fuzz::check(
        ctx->settings.data_set >= 1 && ctx->settings.data_set <= ctx->settings.data_set_count,
        "the chosen set is listed");
  for (const char* base : {"funding", "priority", "repairs", "detrates", "matrix"}) {
    FilePath p = parameter_file(ctx->settings, ctx->workdir, base);
    fuzz::check(p.shown.starts_with("data/"), "parameter files are in data/");
  }
  fuzz::run_stage([&] { read_saved_answers(ctx->settings, ctx->workdir); });
  return 0;
}
