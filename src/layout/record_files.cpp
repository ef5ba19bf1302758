#include "layout/record_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "layout/fatal.h"
#include "layout/temporary_files.h"

namespace pavecast {

namespace {

FilePath under(const Workdir& workdir, std::string_view dir, std::string_view name) {
  const std::filesystem::path& root = workdir.root;
  FilePath f;
  f.read_only = workdir.read_only;
  std::string n(name);
  if (dir.empty()) {
    f.path = root / n;
    f.shown = n;
  } else {
    f.path = root / std::string(dir) / n;
    f.shown = std::string(dir) + "/" + n;
  }
  return f;
}

// Writes all of `bytes`; false on an error (a short write is retried).
bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

FilePath Workdir::data(std::string_view name) const { return under(*this, "data", name); }
FilePath Workdir::roads(std::string_view name) const { return under(*this, "roads", name); }
FilePath Workdir::local(std::string_view name) const { return under(*this, "", name); }

// ---------------------------------------------------------------- input

std::unique_ptr<InputFile> InputFile::open(const FilePath& file, IfMissing if_missing) {
  std::error_code ec;
  if (std::filesystem::is_directory(file.path, ec)) return nullptr;
  std::FILE* f = std::fopen(file.path.c_str(), "rb");
  if (f == nullptr && errno == ENOENT && if_missing == IfMissing::kCreateEmpty) {
    // An empty file that is not there: reading it meets its end at once.
    if (file.read_only) return std::unique_ptr<InputFile>(new InputFile(nullptr, file.shown));
    int fd = ::open(file.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) ::close(fd);
    f = std::fopen(file.path.c_str(), "rb");
  }
  if (f == nullptr) return nullptr;
  return std::unique_ptr<InputFile>(new InputFile(f, file.shown));
}

std::unique_ptr<InputFile> InputFile::open_or_fatal(const FilePath& file, IfMissing if_missing) {
  auto f = open(file, if_missing);
  if (!f) fatal_cannot_open(file.shown);
  return f;
}

InputFile::~InputFile() {
  if (file_ != nullptr) std::fclose(file_);
}

bool InputFile::next(std::string_view& record) {
  if (at_end_ || file_ == nullptr) return false;
  record_.clear();
  int c = std::getc(file_);
  if (c == EOF || c == 26) {  // Ctrl-Z at the start of a line ends the file
    at_end_ = true;
    return false;
  }
  while (c != EOF && c != '\n') {
    if (record_.size() < kMaxRecordLength) record_.push_back(static_cast<char>(c));
    c = std::getc(file_);
  }
  if (!record_.empty() && record_.back() == '\r') record_.pop_back();
  ++line_number_;
  record = record_;
  return true;
}

void InputFile::rewind() {
  if (file_ != nullptr) std::rewind(file_);
  line_number_ = 0;
  at_end_ = false;
}

void read_or_fatal(const layout::Layout& layout, InputFile& file,
                   std::initializer_list<layout::Target> targets) {
  switch (layout.read(file, targets)) {
    case layout::ReadStatus::kOk:
      return;
    case layout::ReadStatus::kError:
      fatal_unreadable(file);
    case layout::ReadStatus::kEndOfFile:
      fatal_end_of_file(file);
  }
}

void fatal_unreadable(const InputFile& file) {
  fatal("unreadable record, file " + file.shown() + ", line " +
        std::to_string(file.line_number()));
}

void fatal_end_of_file(const InputFile& file) {
  fatal("unexpected end of file, file " + file.shown() + ", line " +
        std::to_string(file.line_number() + 1));
}

void fatal_cannot_open(const std::string& shown) {
  fatal("the file cannot be opened, file " + shown);
}

void fatal_cannot_write(const std::string& shown) {
  fatal("the file cannot be written, file " + shown);
}

// ---------------------------------------------------------------- output

OutputFile::OutputFile(int fd, std::filesystem::path path, std::string temp, std::string shown)
    : fd_(fd), path_(std::move(path)), temp_(std::move(temp)), shown_(std::move(shown)) {}

std::unique_ptr<OutputFile> OutputFile::create(const FilePath& file) {
  if (file.read_only) return nullptr;
  int fd = ::open(file.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  return std::unique_ptr<OutputFile>(new OutputFile(fd, file.path, {}, file.shown));
}

std::unique_ptr<OutputFile> OutputFile::create_or_fatal(const FilePath& file) {
  auto f = create(file);
  if (!f) fatal_cannot_open(file.shown);
  return f;
}

std::unique_ptr<OutputFile> OutputFile::create_replacement(const FilePath& file) {
  if (file.read_only) return nullptr;
  std::string name = file.path.string() + ".XXXXXX";
  int fd = create_temporary(name);
  if (fd < 0) return nullptr;
  ::fchmod(fd, 0644);
  return std::unique_ptr<OutputFile>(new OutputFile(fd, file.path, name, file.shown));
}

std::unique_ptr<OutputFile> OutputFile::create_replacement_or_fatal(const FilePath& file) {
  auto f = create_replacement(file);
  if (!f) fatal_cannot_open(file.shown);
  return f;
}

OutputFile::~OutputFile() {
  if (fd_ < 0) return;
  // Best effort: a file dropped by a fatal stop keeps what was written.
  if (temp_.empty()) write_all(fd_, buffer_);
  ::close(fd_);
  if (!temp_.empty()) remove_temporary(temp_);
}

void OutputFile::flush() {
  if (fd_ < 0) return;
  bool written = write_all(fd_, buffer_);
  buffer_.clear();
  if (!written) fatal_cannot_write(shown_);
}

void OutputFile::close() {
  if (fd_ < 0) return;
  flush();
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    if (!temp_.empty()) remove_temporary(temp_);
    temp_.clear();
    fatal_cannot_write(shown_);
  }
  if (!temp_.empty()) {
    std::string temp = std::move(temp_);
    temp_.clear();
    if (!rename_temporary(temp, path_.string())) fatal_cannot_write(shown_);
  }
}

void OutputFile::discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  buffer_.clear();
  if (temp_.empty())
    ::unlink(path_.c_str());
  else
    remove_temporary(temp_);
  temp_.clear();
}

void remove_file(const FilePath& file) {
  if (file.read_only) return;
  std::error_code ec;
  std::filesystem::remove(file.path, ec);
}

}  // namespace pavecast
