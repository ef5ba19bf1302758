// A source of numbers drawn one at a time: the random numbers of the order
// keys. The projection draws from it; a reader of data\random.dat supplies it.
#pragma once

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

}  // namespace pavecast
