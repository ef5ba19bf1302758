// Test support: a temporary working directory and a scripted console, so
// that dialogue and file tests run like the program does, with no terminal
// and no shared state.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "io/console.h"
#include "app/run_context.h"
#include "app/stages.h"
#include "support/gcc_bugs.h"

namespace pavecast::testing {

// A fresh directory under the system's temporary directory, with data/ and
// roads/ inside, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  Workdir workdir() const { return Workdir{path_}; }

  // Writes `content` to the file at `relative` (e.g. "data/funding.dat").
  void write(std::string_view relative, std::string_view content) const;
  std::string read(std::string_view relative) const;
  bool exists(std::string_view relative) const;

 private:
  std::filesystem::path path_;
};

// The files under `root`, by path relative to it, with what they hold.
using Files = std::map<std::string, std::string>;
Files files_under(const std::filesystem::path& root);

// A copy of the bundled example (data/, roads/, the forced-repair list) in `dir`.
void copy_example(const TempDir& dir);

// A console whose replies are the lines of `replies` and whose output is
// kept for comparison.
class ScriptedConsole {
 public:
  explicit ScriptedConsole(std::string replies = "")
      : in_(std::move(replies)), console_(in_, out_) {}
  Console& console() { return console_; }
  operator Console&() { return console_; }  // NOLINT
  std::string output() const { return out_.str(); }
  void clear_output() { out_.str(""); }

 private:
  std::istringstream in_;
  std::ostringstream out_;
  Console console_;
};

// A run context over `dir` whose user-inputs file "userdata.tmp" is open.
std::unique_ptr<RunContext> make_context(const TempDir& dir);

// What the user-inputs file holds so far (flushes it first).
std::string echo_text(RunContext& ctx, const TempDir& dir);

// The footer line that comes with nearly every question, line end included.
// Inline, so that it is set before the constants of any test file using it.
inline const std::string kFooter =
    " Enter your response or hit <Enter> for default.          Hit <Ctrl C> to Abort\n";

// The console text of the fatal stop that `f` ends in, or "(no fatal stop)".
std::string fatal_text_of(const std::function<void()>& f);

// Lines joined with '\n', each line ending in '\n': lines({"a", "b"}) == "a\nb\n".
std::string lines(std::initializer_list<std::string_view> list);

}  // namespace pavecast::testing
