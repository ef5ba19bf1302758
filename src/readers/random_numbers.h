// data\random.dat, one number per line (F6.5), read three ways: the 500
// numbers of random reconstruction, loaded at set-up; the randomised scores
// of the loader (readers/loading.h); and the order keys of random and
// priority order, drawn by the projection year after year.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "io/record_files.h"
#include "model/number_source.h"
#include "model/parameter_tables.h"

namespace pavecast {

// Records 1..500 into numbers[1..500]; a short file or an unreadable record
// is a fatal stop naming the file and the line.
void read_reconstruction_numbers(InputFile& file, std::array<float, kReconNumbers + 1>& numbers);

// The order keys' numbers: the file line by line, from its first line again
// whenever its end or an unreadable line is met. The numbers of the first
// pass through the file are kept, so later passes replay them without
// reading the file again (up to a bound, past which the file is re-read). A
// number of 21.0 or more stops the run naming the file and line when it is
// drawn: such a key could never be chosen.
class RandomFile : public NumberSource {
 public:
  explicit RandomFile(std::unique_ptr<InputFile> file) : file_(std::move(file)) {}
  bool next(float& number) override;
  // Replaying, the kept numbers are copied a run at a time.
  void fill(std::span<float> keys) override;

 private:
  std::unique_ptr<InputFile> file_;
  std::vector<float> numbers_;  // the file's numbers in line order, once known
  bool keeping_ = true;         // still gathering numbers_ on the first pass
  bool replaying_ = false;      // numbers_ holds the whole readable file
  std::size_t next_ = 0;        // replay position
};

}  // namespace pavecast
