#include "engine/reconstruction.h"

#include "fatal/fatal.h"

namespace pavecast {

bool reconstruction_on(const RunContext& ctx) {
  return !is_no(ctx.reconstruct_answer) && ctx.recon_numbers_loaded;
}

bool try_random_reconstruction(RunContext& ctx, int32_t i, int32_t& k) {
  Segment& seg = ctx.segments[i];
  if (!reconstruction_on(ctx) || !(seg.score < 6.5f)) return false;

  ctx.recon_cursor += 1;
  if (ctx.recon_cursor > kReconNumbers || ctx.recon_cursor < 1) ctx.recon_cursor = 1;
  if (ctx.recon_random[ctx.recon_cursor] > ctx.reconstruct_probability) return false;

  for (int a = 1; a <= ctx.actions.action_count; ++a) seg.times_applied[a] = 0;
  k = ctx.actions.find(ctx.policy[seg.pavement_type][1]);
  if (k == 0) fatal_text("\n\n **  Fatal Error: No repair for score of 1\n");
  seg.chosen_rank[k] = ctx.actions[k].action_rank;
  return true;
}

}  // namespace pavecast
