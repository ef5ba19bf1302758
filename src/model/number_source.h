// A source of numbers drawn one at a time: the random numbers of the order
// keys. The projection draws from it; a reader of data\random.dat supplies it.
#pragma once

namespace pavecast {

class NumberSource {
 public:
  virtual ~NumberSource() = default;
  // The next number, or false at the end of the numbers or at one that
  // cannot be read; the source then starts again from its first number.
  virtual bool next(float& number) = 0;
};

}  // namespace pavecast
