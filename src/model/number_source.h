// A source of numbers drawn one at a time: the random numbers of the order
// keys. The projection draws from it; a reader of data\random.dat supplies it.
//
// KeyedNumbers: numbers chosen by the segment and year they are for rather
// than drawn in turn, so that a segment's number in a year is the same
// however many numbers were taken before it (the scenario tool's draws).
#pragma once

#include <cstdint>
#include <span>

namespace pavecast {

class NumberSource {
 public:
  virtual ~NumberSource() = default;
  // The next number, or false at the end of the numbers or at one that
  // cannot be read; the source then starts again from its first number.
  virtual bool next(float& number) = 0;
  // What next() would do for each of `keys` in turn: a key takes the next
  // number, or keeps its value where next() would fail. A source that holds
  // its numbers may copy them in runs.
  virtual void fill(std::span<float> keys) {
    for (float& key : keys) {
      float number = 0.0f;
      if (next(number)) key = number;
    }
  }
};

class KeyedNumbers {
 public:
  virtual ~KeyedNumbers() = default;
  // The number of segment `segment` in year index `year`, in [0, 1).
  virtual float at(int32_t segment, int32_t year) const = 0;
  // at(first, year), at(first + 1, year), ... into `out`.
  virtual void fill(int32_t first, int32_t year, std::span<float> out) const {
    for (std::size_t k = 0; k < out.size(); ++k)
      out[k] = at(first + static_cast<int32_t>(k), year);
  }
};

}  // namespace pavecast
