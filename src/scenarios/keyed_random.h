// The numbers of the draws: a counter-based generator, each number a pure
// function of (seed, draw, segment, year, purpose), so that a number does not
// depend on how many others were drawn before it, on which thread, or at
// which funding level. Every step is written out here (no library
// distribution, whose results differ between implementations), so the same
// seed gives the same bits everywhere.
//
// The bits are SplitMix64's finaliser applied in turn to the seed, the draw,
// the purpose and year, and the segment, each folded in by XOR. A uniform
// takes the top 24 bits (a float in [0, 1) with every value exact); a normal
// is the inverse of the normal distribution function at a uniform of 53 bits
// in (0, 1), by a written-out rational approximation (relative error below
// 1.2e-9).
#pragma once

#include <cstdint>
#include <span>

namespace pavecast {

// What a number is for: each purpose has numbers of its own.
enum class DrawPurpose : uint32_t {
  kRate = 1,            // a rate's normal deviate: segment = pavement type, year = class
  kScore = 2,           // a randomised score: year 0
  kOrderKey = 3,        // random and priority order keys
  kReconstruction = 4,  // random reconstruction
};

// SplitMix64's finaliser.
constexpr uint64_t mix64(uint64_t z) {
  z += 0x9e3779b97f4a7c15ull;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
  return z ^ (z >> 31);
}

// The stream of one (seed, draw, purpose, year): its numbers by segment.
class KeyedStream {
 public:
  KeyedStream(uint64_t seed, int32_t draw, DrawPurpose purpose, int32_t year)
      : key_(mix64(mix64(mix64(seed) ^ static_cast<uint32_t>(draw)) ^
                   (static_cast<uint64_t>(purpose) << 32 | static_cast<uint32_t>(year)))) {}

  uint64_t bits(int32_t segment) const { return mix64(key_ ^ static_cast<uint32_t>(segment)); }
  // In [0, 1), a multiple of 2^-24.
  float uniform(int32_t segment) const {
    return static_cast<float>(static_cast<double>(bits(segment) >> 40) * 0x1p-24);
  }
  // uniform(first), uniform(first + 1), ... into `out`.
  void uniforms(int32_t first, std::span<float> out) const {
    for (std::size_t k = 0; k < out.size(); ++k)
      out[k] = uniform(first + static_cast<int32_t>(k));
  }
  // A standard normal deviate.
  double normal(int32_t segment) const;

 private:
  uint64_t key_;
};

// The standard normal quantile of p in (0, 1).
double normal_quantile(double p);

}  // namespace pavecast
