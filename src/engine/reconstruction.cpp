#include "engine/reconstruction.h"

#include "fatal/fatal.h"

namespace pavecast {

template <typename Money>
bool BasicProjection<Money>::try_random_reconstruction(int32_t i, int32_t& k) {
  const Reconstruction& recon = in_.reconstruction;
  Segment& seg = segments_[i];
  if (!recon.on || !(seg.score < 6.5f)) return false;

  recon_cursor_ += 1;
  if (recon_cursor_ > kReconNumbers || recon_cursor_ < 1) recon_cursor_ = 1;
  const float number =
      recon.keyed != nullptr ? recon.keyed->at(i, year_) : recon.numbers[recon_cursor_];
  if (number > recon.probability) return false;

  for (int a = 1; a <= in_.actions.action_count; ++a) seg.times_applied[a] = 0;
  k = in_.actions.find(in_.policy[seg.pavement_type][1]);
  if (k == 0) fatal_text("\n\n **  Fatal Error: No repair for score of 1\n");
  seg.chosen_rank[k] = in_.actions[k].action_rank;
  return true;
}

template bool BasicProjection<float>::try_random_reconstruction(int32_t, int32_t&);
template bool BasicProjection<double>::try_random_reconstruction(int32_t, int32_t&);

}  // namespace pavecast
