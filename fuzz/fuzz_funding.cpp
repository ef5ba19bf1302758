// The funding file, through the years and funding dialogue: a bundle with
// the replies and data/funding.dat. The defaults are those of a saved answers
// file asking for variable funding, so Enter at every question reads the file.
#include "dialogue/horizon_funding.h"
#include "fuzz_support.h"

using namespace pavecast;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Bundle bundle = fuzz::parse_bundle(data, size);
  fuzz::Scratch::get().reset(bundle);
  auto ctx = fuzz::make_context();
  ctx->settings.default_years = 10;
  ctx->settings.budget_constrained = 'Y';
  ctx->settings.default_funding = -1.0f;
  fuzz::FuzzConsole console(bundle.answers);
  if (!fuzz::run_stage([&] {
        ask_years_and_funding(dialogue_of(*ctx, console), ctx->settings, ctx->tables.funding);
      }))
    return 0;

  fuzz::check(ctx->settings.years >= 0 && ctx->settings.years <= kMaxYears,
              "years within the tables");
  fuzz::check(ctx->settings.year_slots == ctx->settings.years + 1, "year_slots follows years");
  return 0;
}
