// Record files: the text files a run reads and writes, one record per line,
// all inside the working directory given at start.
//
// A file is named as the program forms it ("data\funding.dat") and opened at
// its platform path under the working directory (data/funding.dat); messages
// show the platform path. Input files accept LF or CRLF line ends (one
// trailing CR is dropped), a line whose first character is Ctrl-Z ends the
// file, and only the first kMaxRecordLength characters of a line are kept
// (every layout reads far fewer), so no input can make a read unbounded.
// Only regular files are read: a FIFO, a device or a socket (a link to
// /dev/zero included) cannot be opened, and the open never blocks.
//
// A name is one entry of its directory: a name holding '/' or NUL, an empty
// name, "." or ".." never opens, creates or removes anything, so no name can
// leave the working directory or stand for a directory.
//
// Output files are written with LF line ends through a buffer; a write error
// is a fatal stop naming the file. Where the system gives the reason of a
// failure, the message ends with it in words (": permission denied",
// ": no space left on device"). A replacement file is written under a
// temporary name in the same directory and renamed over the target on
// close(), so a stop while writing never loses the file it replaces, and a
// symbolic link at the target is replaced, never written through; if it is
// destroyed without close() the temporary file is removed, and so it is when
// the program is interrupted (temporary_files.h). The replacement keeps the
// permission bits of the file it replaces. A scratch file lives under its
// own name until it is destroyed, and is removed then (only while the name
// still holds it), and is read back through its handle, never by its name.
//
// A read-only working directory (the scenario tool's) is never changed: a
// missing input file reads as empty without being created, and no output
// file can be created or removed in it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/file_set.h"
#include "layout/fixed_record.h"
#include "layout/layout.h"

namespace pavecast {

// A file as the program names it: where it is, and how messages show it.
struct FilePath {
  std::filesystem::path path;
  std::string shown;       // "data/funding.dat"
  bool read_only = false;  // in a read-only working directory
  bool escapes = false;    // the name is not one entry of its directory
};

// True when a typed file name, less its trailing blanks, holds '/' or '\' or
// is "." or "..": it could name a directory or a place outside the working
// directory, and the dialogue refuses it.
bool names_a_directory(std::string_view name);

// The working directory of a run.
struct Workdir {
  std::filesystem::path root;
  bool read_only = false;

  FilePath data(std::string_view name) const;   // "data\name"
  FilePath roads(std::string_view name) const;  // "roads\name"
  FilePath local(std::string_view name) const;  // a file in the working directory itself
};

enum class IfMissing {
  kCreateEmpty,  // the data-file convention: a missing file is created empty
                 // (in a read-only working directory: read as empty)
  kFail,         // start-up files whose absence stops the run
};

class InputFile : public layout::RecordSource {
 public:
  static constexpr std::size_t kMaxRecordLength = 1024;

  // nullptr when the file cannot be opened (or created, with kCreateEmpty).
  // Output files and remove_file refuse a read-only FilePath (nullptr; no-op).
  static std::unique_ptr<InputFile> open(const FilePath& file, IfMissing if_missing);
  // The same, but a failure is the fatal stop "the file cannot be opened".
  static std::unique_ptr<InputFile> open_or_fatal(const FilePath& file, IfMissing if_missing);

  ~InputFile() override;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool next(std::string_view& record) override;
  // Starts again from the first line.
  void rewind();

  // Line number of the record last returned by next() (0 before the first).
  int line_number() const { return line_number_; }
  const std::string& shown() const { return shown_; }

 private:
  InputFile(std::FILE* f, std::string shown) : file_(f), shown_(std::move(shown)) {}
  std::FILE* file_;
  std::string shown_;
  std::string record_;
  int line_number_ = 0;
  bool at_end_ = false;
};

// Reads the next record of `file` with `layout`. An unreadable record or the
// end of the file is a fatal stop naming the file and the line.
void read_or_fatal(const layout::Layout& layout, InputFile& file,
                   std::initializer_list<layout::Target> targets);

// The fatal stops of the readers, worded alike everywhere.
[[noreturn]] void fatal_unreadable(const InputFile& file);   // at file.line_number()
[[noreturn]] void fatal_end_of_file(const InputFile& file);  // at the line after the last
// `error` (an errno value, 0 for none) adds its cause to the message.
[[noreturn]] void fatal_cannot_open(const std::string& shown, int error = 0);
[[noreturn]] void fatal_cannot_write(const std::string& shown, int error = 0);

// ": " and the cause of `error` in lower-case words, or "" for 0.
std::string error_cause(int error);

// Writes all of `bytes` to the descriptor, again after an interrupted or
// short write; false on an error (errno says which).
bool write_all(int fd, std::string_view bytes);

// True when a typed file name holds a control character (NUL included).
bool holds_control_character(std::string_view name);

class OutputFile {
 public:
  // A replacement file: written to a temporary name, renamed on close().
  // nullptr when a directory or another file that is neither a regular file
  // nor a symbolic link holds the target's name, or the temporary file
  // cannot be created.
  static std::unique_ptr<OutputFile> create_replacement(const FilePath& file);
  static std::unique_ptr<OutputFile> create_replacement_or_fatal(const FilePath& file);
  // A scratch file, created afresh under its own name (temporary_files.h)
  // and removed when the OutputFile is destroyed, closed or not.
  static std::unique_ptr<OutputFile> create_scratch_or_fatal(const FilePath& file);

  ~OutputFile();  // closes; an uncommitted replacement or a scratch file is removed
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void write(std::string_view bytes) {
    buffer_.append(bytes);
    if (buffer_.size() >= kFlushAt) flush();
  }
  void write(const layout::Layout& layout, std::initializer_list<layout::Item> items) {
    layout.write(buffer_, items);
    if (buffer_.size() >= kFlushAt) flush();
  }
  void write(const layout::Layout& layout, std::span<const layout::Item> items) {
    layout.write(buffer_, items);
    if (buffer_.size() >= kFlushAt) flush();
  }
  // A fixed record (layout/fixed_record.h): its image, then fill(char*
  // record) puts the fields into it.
  template <typename Fill>
  void write(const layout::FixedRecord& record, Fill fill) {
    const std::size_t at = buffer_.size();
    buffer_.append(record.image());
    fill(buffer_.data() + at);
    if (buffer_.size() >= kFlushAt) flush();
  }

  // Bytes the caller gathered itself, written from its memory after what
  // the buffer holds; a failure is a fatal stop naming the file.
  void write_through(std::string_view bytes);
  // Writes the buffer out; a failure is a fatal stop naming the file.
  void flush();
  // Flushes, closes and, for a replacement, renames over the target.
  void close();
  // A replacement: flushes and closes, and hands the temporary file to `set`,
  // which gives it the target's name when the set is committed.
  void close_into(FileSet& set);
  // A scratch file: everything written to it, read back through its handle.
  // A failure is a fatal stop naming the file.
  std::string contents();
  // Closes and drops the file: a replacement's temporary file is removed and
  // its target left as it was (a trace file given up by the analyst).
  void discard();

  bool is_open() const { return fd_ >= 0; }
  const std::string& shown() const { return shown_; }
  const std::filesystem::path& path() const { return path_; }

 private:
  static constexpr std::size_t kFlushAt = 1 << 16;
  enum class Kind { kReplacement, kScratch };
  OutputFile(int fd, Kind kind, std::filesystem::path path, std::string temp, std::string shown);

  int fd_;
  int scratch_fd_ = -1;  // a scratch file's descriptor, kept until it is removed
  Kind kind_;
  std::filesystem::path path_;  // the target
  // The registered temporary file: a replacement's until renamed or
  // removed, a scratch file's (its own path) until removed.
  std::string temp_;
  std::string shown_;
  std::string buffer_;
};

// Removes a file if it exists; errors are ignored (like the platform's delete).
void remove_file(const FilePath& file);

}  // namespace pavecast
