#include "engine/reconstruction.h"

#include "fatal/fatal.h"

namespace pavecast {

bool try_random_reconstruction(Projection& p, int32_t i, int32_t& k) {
  const Reconstruction& recon = p.in.reconstruction;
  Segment& seg = p.segments[i];
  if (!recon.on || !(seg.score < 6.5f)) return false;

  p.recon_cursor += 1;
  if (p.recon_cursor > kReconNumbers || p.recon_cursor < 1) p.recon_cursor = 1;
  if (recon.numbers[p.recon_cursor] > recon.probability) return false;

  for (int a = 1; a <= p.in.actions.action_count; ++a) seg.times_applied[a] = 0;
  k = p.in.actions.find(p.in.policy[seg.pavement_type][1]);
  if (k == 0) fatal_text("\n\n **  Fatal Error: No repair for score of 1\n");
  seg.chosen_rank[k] = p.in.actions[k].action_rank;
  return true;
}

}  // namespace pavecast
