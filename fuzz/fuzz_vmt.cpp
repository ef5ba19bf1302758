// The traffic increases: a bundle with data/vmt-inc.dat, read for a number
// of years taken from the replies' first line.
#include "fuzz_support.h"
#include "readers/traffic_increases.h"

using namespace pavecast;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Bundle bundle = fuzz::parse_bundle(data, size);
  fuzz::Scratch::get().reset(bundle);
  auto ctx = fuzz::make_context();
  int32_t years = 0;
  for (char c : bundle.answers.substr(0, 2))
    if (c >= '0' && c <= '9') years = years * 10 + (c - '0');
  ctx->settings.years = std::min(years, kMaxYears);
  ctx->settings.year_slots = ctx->settings.years + 1;
  ctx->settings.vmt_answer = 'Y';
  fuzz::run_stage([&] {
    auto file = InputFile::open_or_fatal(ctx->workdir.data("vmt-inc.dat"), IfMissing::kCreateEmpty);
    read_traffic_increases(file.get(), ctx->settings.year_slots, ctx->tables.vmt_increase);
  });
  for (int y = ctx->settings.year_slots + 1; y <= kMaxYearSlots; ++y)
    fuzz::check(ctx->tables.vmt_increase[y] == 0.0f, "no increase beyond the run's years");
  return 0;
}
