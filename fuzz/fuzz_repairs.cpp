// The repair actions file, with the repetition-policy dialogue: a bundle
// with the replies and data/repairs.dat.
#include "dialogue/parameter_files.h"
#include "fuzz_support.h"
#include "readers/repair_actions.h"

using namespace pavecast;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Bundle bundle = fuzz::parse_bundle(data, size);
  fuzz::Scratch::get().reset(bundle);
  auto ctx = fuzz::make_context();
  ctx->settings.change_repeat_policy = 'N';
  fuzz::FuzzConsole console(bundle.answers);
  if (!fuzz::run_stage([&] {
        read_repair_actions(dialogue_of(*ctx, console), ctx->settings, ctx->tables.actions);
      }))
    return 0;

  const RepairActions& a = ctx->tables.actions;
  fuzz::check(a.action_count >= 0 && a.action_count <= kMaxActions, "action_count 0..11");
  for (int k = 1; k <= a.action_count; ++k) {
    fuzz::check(a.find(a[k].action_number) >= 1, "every action can be found by its number");
    fuzz::check(a[k].max_repeats != 9 || is_yes(ctx->settings.change_repeat_policy),
                "a limit of 9 in the file means no limit");
  }
  return 0;
}
