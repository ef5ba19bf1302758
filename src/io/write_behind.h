// WriteBehind: the writes of some output files, and of a console, done by a
// thread of their own, so that the thread that makes the bytes (the year
// loop, formatting its listing lines) goes on while they are written.
//
// An attached file hands each full buffer to the writer thread instead of
// writing it, and takes an empty one back; console text is handed the same
// way. The writer thread writes everything in the order it was handed, all
// files and the console together, so each file's bytes and the console's
// lines come out as the caller made them. At most `buffers` buffers are in
// flight: a hand-off waits for a free one, so memory stays bounded however
// far the caller runs ahead.
//
// A write error ends the writing: nothing handed after it is written (the
// console's lines included), and the caller's next hand-off, or finish(),
// stops the run with the fatal stop naming the file, as the write on the
// caller's thread would have; the run then closes nothing, so no file takes
// its name and no earlier file is lost (record_files.h).
//
// finish() waits until everything handed is written and detaches the files,
// whose later writes are done on the caller's thread again; the destructor
// does the same without raising a write error (a stop already under way
// wins). An attached file that is closed first finishes the writing first;
// one discarded or destroyed first waits for it without raising.
//
// The writer thread blocks every signal, so signals keep reaching the
// program's own thread (temporary_files.h removes the temporary files
// there).
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace pavecast {

class Console;
class OutputFile;

class WriteBehind {
 public:
  explicit WriteBehind(std::size_t buffers = 8);
  ~WriteBehind();
  WriteBehind(const WriteBehind&) = delete;
  WriteBehind& operator=(const WriteBehind&) = delete;

  void attach(OutputFile& file);
  // Text for `console`, written in its turn.
  void write(Console& console, std::string_view text);
  void finish();

 private:
  friend class OutputFile;
  struct Work {
    OutputFile* file = nullptr;  // or
    Console* console = nullptr;
    std::string bytes;
  };

  // Swaps `buffer` (the file's, full) with a free one and queues it.
  void hand(OutputFile& file, std::string& buffer);
  // Waits until the writer thread has nothing left, and detaches the files.
  // True when a write failed.
  bool drain();
  // A free buffer, once there is one; an earlier write error is raised.
  std::string take_free(std::unique_lock<std::mutex>& lock);
  void queue(Work work);
  void writer();

  std::mutex mutex_;
  std::condition_variable work_ready_;   // the writer thread waits for work or the end
  std::condition_variable buffer_free_;  // the caller waits for a buffer or an idle writer
  // The work handed and not yet taken, in order: a ring as long as the
  // buffers (no more can be in flight), so queuing never allocates.
  std::vector<Work> ring_;
  std::size_t head_ = 0;
  std::size_t queued_ = 0;
  std::vector<std::string> free_;
  std::vector<OutputFile*> attached_;
  bool writing_ = false;  // the writer thread holds a piece of work
  bool stopping_ = false;
  bool failed_ = false;
  std::string failed_file_;
  std::thread thread_;
};

}  // namespace pavecast
