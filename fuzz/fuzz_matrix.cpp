// The policy matrices file, after the deterioration rates that name the
// pavement types: a bundle with data/detrates.dat and data/matrix.dat.
#include "dialogue/parameter_files.h"
#include "fuzz_support.h"
#include "readers/deterioration_rates.h"
#include "readers/policy_matrices.h"

using namespace pavecast;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Bundle bundle = fuzz::parse_bundle(data, size);
  fuzz::Scratch::get().reset(bundle);
  auto ctx = fuzz::make_context();
  fuzz::FuzzConsole console(bundle.answers);
  fuzz::run_stage([&] {
    read_deterioration_rates(dialogue_of(*ctx, console), ctx->settings, ctx->tables.pavement);
    read_policy_matrices(dialogue_of(*ctx, console), ctx->settings, ctx->tables.pavement,
                         ctx->tables.policy);
  });
  return 0;
}
