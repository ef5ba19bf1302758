// Fuzzing support: every target takes one input holding the console replies
// and the files of a working directory, written as a bundle of text files:
//
//   %%answers            the console replies, one per line
//   N
//   %%data/default.dat   a file of the working directory and its bytes
//   ...
//
// A line that begins with "%%" starts the next file; everything up to it
// belongs to the file before (line ends included); a path ending in "/" is
// an empty directory (one that stands where the run wants a file). Paths stay
// inside the scratch directory: a path that is absolute, climbs with "..", or
// holds characters other than letters, digits, blanks and "._-" is dropped
// with its bytes.
// The seeds in fuzz/corpus/ are bundles made from the bundled example and the
// reference runs; `python3 fuzz/bundle.py unbundle FILE DIR` turns any bundle
// into a working directory to replay against the program itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/stages.h"
#include "io/console.h"
#include "app/run_context.h"

namespace pavecast::fuzz {

struct BundleFile {
  std::string path;  // relative, '/'-separated
  std::string bytes;
};

struct Bundle {
  std::string answers;
  std::vector<BundleFile> files;
};

Bundle parse_bundle(const uint8_t* data, std::size_t size);

// One working directory per process, emptied before every input: each
// input starts from the same state, so a crash replays from its input alone.
class Scratch {
 public:
  static Scratch& get();
  const std::filesystem::path& root() const { return root_; }
  Workdir workdir() const { return Workdir{root_}; }

  // Empties the directory, creates data/ and roads/, and writes the bundle's
  // files.
  void reset(const Bundle& bundle);

 private:
  Scratch();
  std::filesystem::path root_;
};

// A console over the bundle's replies; its output is thrown away.
class FuzzConsole {
 public:
  explicit FuzzConsole(const std::string& replies) : in_(replies), console_(in_, out_) {}
  Console& console() { return console_; }
  operator Console&() { return console_; }  // NOLINT

 private:
  std::istringstream in_;
  std::ostringstream out_;
  Console console_;
};

// A run context over the scratch directory, with userdata.tmp open and the
// defaults a fresh run holds before its saved answers are read.
std::unique_ptr<RunContext> make_context(int32_t segment_capacity = kProgramSegmentCapacity);

// Runs `stage`; a fatal stop is an expected way for a reader to end and is
// absorbed. Returns false after a fatal stop. Anything else thrown (a layout
// used with the wrong target, a file-system error) escapes and is reported
// by the fuzzer as a crash.
bool run_stage(const std::function<void()>& stage);

// Aborts with a message when `condition` is false: a broken invariant is a
// finding like a crash.
void check(bool condition, const char* what);

}  // namespace pavecast::fuzz
