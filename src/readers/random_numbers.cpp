#include "readers/random_numbers.h"

#include <algorithm>
#include <string>

#include "fatal/fatal.h"
#include "layout/layout.h"

namespace pavecast {

namespace {

// Numbers kept for replay; a larger file is read again on every pass.
constexpr std::size_t kMaxKeptNumbers = std::size_t{1} << 22;

const layout::Layout& number_layout() {
  static const layout::Layout kNumber("F6.5");
  return kNumber;
}

}  // namespace

void read_reconstruction_numbers(InputFile& file, std::array<float, kReconNumbers + 1>& numbers) {
  for (int i = 1; i <= kReconNumbers; ++i) read_or_fatal(number_layout(), file, {numbers[i]});
}

bool RandomFile::next(float& number) {
  if (replaying_) {
    if (next_ < numbers_.size()) {
      number = numbers_[next_++];
      return true;
    }
    next_ = 0;
    return false;
  }
  if (!file_) return false;

  float value = 0.0f;
  if (number_layout().read(*file_, {value}) != layout::ReadStatus::kOk) {
    if (keeping_) {
      replaying_ = true;
      next_ = 0;
      file_.reset();
    } else {
      file_->rewind();
    }
    return false;
  }
  if (value >= 21.0f)
    fatal("a number of 21.0 or more, file " + file_->shown() + ", line " +
          std::to_string(file_->line_number()));
  if (keeping_) {
    if (numbers_.size() < kMaxKeptNumbers) {
      numbers_.push_back(value);
    } else {
      keeping_ = false;
      numbers_ = {};
    }
  }
  number = value;
  return true;
}

void RandomFile::fill(std::span<float> keys) {
  while (!keys.empty()) {
    if (!replaying_) {
      float number = 0.0f;
      if (next(number)) keys.front() = number;
      keys = keys.subspan(1);
      continue;
    }
    if (next_ == numbers_.size()) {
      // The end: this key keeps its value, and the next one takes the first
      // number again.
      next_ = 0;
      keys = keys.subspan(1);
      continue;
    }
    const std::size_t run = std::min(keys.size(), numbers_.size() - next_);
    std::copy_n(numbers_.begin() + static_cast<std::ptrdiff_t>(next_), run, keys.begin());
    next_ += run;
    keys = keys.subspan(run);
  }
}

}  // namespace pavecast
