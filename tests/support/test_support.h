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
#include <vector>

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
// kept. It notes what had been shown when each reply was read, so that a
// test can say "asked again", "read again with no message" or "shows the
// default" without holding the wording of the question.
class ScriptedConsole {
 public:
  explicit ScriptedConsole(std::string replies = "")
      : replies_(std::move(replies), out_, marks_), in_(&replies_), console_(in_, out_) {}
  Console& console() { return console_; }
  operator Console&() { return console_; }  // NOLINT
  std::string output() const { return out_.str(); }
  // Forgets the output and the replies read so far.
  void clear_output() {
    out_.str("");
    marks_.clear();
  }
  int replies_read() const { return static_cast<int>(marks_.size()); }
  // What was shown after reply k - 1 and before reply k (counted from 1) was
  // read; k = replies_read() + 1 gives what was shown after the last one.
  std::string shown_before(int k) const;

 private:
  // Hands the replies over one line at a time and notes the output's length
  // whenever a new one is begun.
  class Replies : public std::streambuf {
   public:
    Replies(std::string text, const std::ostringstream& out, std::vector<std::size_t>& marks)
        : text_(std::move(text)), out_(out), marks_(marks) {}

   protected:
    int_type underflow() override;

   private:
    std::string text_;
    std::size_t next_ = 0;
    std::string line_;
    const std::ostringstream& out_;
    std::vector<std::size_t>& marks_;
  };

  std::ostringstream out_;
  std::vector<std::size_t> marks_;
  Replies replies_;
  std::istream in_;
  Console console_;
};

// How many times `part` occurs in `text`.
int count_of(std::string_view text, std::string_view part);

// `text` cut at its line ends (which are not kept).
std::vector<std::string> split_lines(std::string_view text);

// The last word of `text`: the answer an echoed question ends with, or the
// default a question shows last.
std::string last_word(std::string_view text);
// The last word of the first line of `text` that is not blank: the default
// shown by a question that opens with blank lines or is followed by a menu.
std::string answer_shown(std::string_view text);

// A run context over `dir` whose user-inputs file "userdata.tmp" is open.
std::unique_ptr<RunContext> make_context(const TempDir& dir);

// What the user-inputs file holds so far (flushes it first), and the same
// as lines.
std::string echo_text(RunContext& ctx, const TempDir& dir);
std::vector<std::string> echo_lines(RunContext& ctx, const TempDir& dir);
// The answers echoed so far: the last word of every line that is not blank.
std::vector<std::string> echo_answers(RunContext& ctx, const TempDir& dir);

// The footer line that comes with nearly every question, line end included.
// Inline, so that it is set before the constants of any test file using it.
inline const std::string kFooter =
    " Enter your response or hit <Enter> for default.          Hit <Ctrl C> to Abort\n";

// The console text of the fatal stop that `f` ends in, or "(no fatal stop)".
std::string fatal_text_of(const std::function<void()>& f);

// Lines joined with '\n', each line ending in '\n': lines({"a", "b"}) == "a\nb\n".
std::string lines(std::initializer_list<std::string_view> list);

}  // namespace pavecast::testing
