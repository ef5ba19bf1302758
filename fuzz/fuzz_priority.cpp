// The priority file, through the repair order dialogue with priority order:
// a bundle with the replies and data/priority.dat. The file is rewritten
// atomically from the confirmed priorities, so after the dialogue it must
// read back to them.
#include <string>

#include "dialogue/repair_order_questions.h"
#include "fuzz_support.h"
#include "io/record_files.h"
#include "layout/layout.h"

using namespace pavecast;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Bundle bundle = fuzz::parse_bundle(data, size);
  fuzz::Scratch::get().reset(bundle);
  auto ctx = fuzz::make_context();
  ctx->settings.budget_constrained = 'Y';
  ctx->settings.saved_repair_order = 2;
  fuzz::FuzzConsole console(bundle.answers);
  if (!fuzz::run_stage([&] {
        ask_repair_order(dialogue_of(*ctx, console), ctx->settings, ctx->tables.priority);
      }))
    return 0;

  fuzz::check(ctx->settings.repair_order >= 1 && ctx->settings.repair_order <= 4, "an order 1..4");
  if (ctx->settings.repair_order != 2) return 0;
  for (int c = 1; c <= 8; ++c)
    fuzz::check(ctx->tables.priority[c] >= 1 && ctx->tables.priority[c] <= 999,
                "priorities 1..999");
  fuzz::check(ctx->tables.priority[9] == 1000 && ctx->tables.priority[10] == 1000,
              "classes 9 and 10");

  static const layout::Layout kI3("I3");
  auto file = InputFile::open(ctx->workdir.data("priority.dat"), IfMissing::kFail);
  fuzz::check(file != nullptr, "the rewritten priority file exists");
  for (int c = 1; c <= 8; ++c) {
    int32_t p = 0;
    fuzz::check(kI3.read(*file, {p}) == layout::ReadStatus::kOk, "a rewritten priority reads");
    fuzz::check(p == ctx->tables.priority[c], "the rewritten priority is the confirmed one");
  }
  return 0;
}
