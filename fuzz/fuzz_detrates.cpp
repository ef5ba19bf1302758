// The deterioration rates file: a bundle with data/detrates.dat.
#include "dialogue/parameter_files.h"
#include "fuzz_support.h"
#include "readers/deterioration_rates.h"

using namespace pavecast;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Bundle bundle = fuzz::parse_bundle(data, size);
  fuzz::Scratch::get().reset(bundle);
  auto ctx = fuzz::make_context();
  fuzz::FuzzConsole console(bundle.answers);
  if (!fuzz::run_stage([&] {
        read_deterioration_rates(dialogue_of(*ctx, console), ctx->settings, ctx->tables.pavement);
      }))
    return 0;
  const PavementTypes& types = ctx->tables.pavement;
  fuzz::check(types.pavement_type_count >= 0 && types.pavement_type_count <= kMaxPavementTypes,
              "pavement_type_count 0..5");
  for (int p = 1; p <= types.pavement_type_count; ++p)
    fuzz::check(types.find(types.pavement_type_name[p]) >= 1, "every type can be found");
  return 0;
}
