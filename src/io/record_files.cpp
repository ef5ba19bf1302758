#include "io/record_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "fatal/fatal.h"
#include "io/temporary_files.h"

namespace pavecast {

namespace {

// Joining a name that is not a single entry ("/etc/passwd", "../x", "..")
// would let it replace or leave its directory; such a path is marked and
// never opened.
bool is_one_entry(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

FilePath under(const Workdir& workdir, std::string_view dir, std::string_view name) {
  const std::filesystem::path& root = workdir.root;
  FilePath f;
  f.read_only = workdir.read_only;
  f.escapes = !is_one_entry(name);
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


// The mode a new file gets from a plain create: 0666 less the umask, read
// once (umask can only be read by setting it).
mode_t new_file_mode() {
  static const mode_t mode = [] {
    mode_t mask = ::umask(022);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  return mode;
}

// A read-only descriptor of the regular file at `path`, or -1. The open does
// not block on a FIFO, and anything but a regular file is closed again.
int open_regular(const std::filesystem::path& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    // A directory says so; a FIFO or a device is just a file that cannot be
    // opened.
    errno = S_ISDIR(st.st_mode) ? EISDIR : 0;
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

}  // namespace

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

bool names_a_directory(std::string_view name) {
  std::size_t end = name.find_last_not_of(' ');
  name = end == std::string_view::npos ? std::string_view() : name.substr(0, end + 1);
  return name == "." || name == ".." || name.find_first_of("/\\") != std::string_view::npos;
}

FilePath Workdir::data(std::string_view name) const {
  return under(*this, "data", name);
}
FilePath Workdir::roads(std::string_view name) const {
  return under(*this, "roads", name);
}
FilePath Workdir::local(std::string_view name) const {
  return under(*this, "", name);
}

// ---------------------------------------------------------------- input

std::unique_ptr<InputFile> InputFile::open(const FilePath& file, IfMissing if_missing) {
  if (file.escapes) return nullptr;
  int fd = open_regular(file.path);
  if (fd < 0 && errno == ENOENT && if_missing == IfMissing::kCreateEmpty) {
    // An empty file that is not there: reading it meets its end at once.
    if (file.read_only) return std::unique_ptr<InputFile>(new InputFile(nullptr, file.shown));
    int created = ::open(file.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (created >= 0) ::close(created);
    fd = open_regular(file.path);
  }
  if (fd < 0) return nullptr;
  std::FILE* f = ::fdopen(fd, "rb");
  if (f == nullptr) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return nullptr;
  }
  return std::unique_ptr<InputFile>(new InputFile(f, file.shown));
}

std::unique_ptr<InputFile> InputFile::open_or_fatal(const FilePath& file, IfMissing if_missing) {
  errno = 0;
  auto f = open(file, if_missing);
  if (!f) fatal_cannot_open(file.shown, file.escapes ? 0 : errno);
  return f;
}

InputFile::~InputFile() {
  if (file_ != nullptr) std::fclose(file_);
}

// The file is read by one thread only, so without stdio's locking.
bool InputFile::next(std::string_view& record) {
  if (at_end_ || file_ == nullptr) return false;
  record_.clear();
  int c = getc_unlocked(file_);
  if (c == EOF || c == 26) {  // Ctrl-Z at the start of a line ends the file
    at_end_ = true;
    return false;
  }
  while (c != EOF && c != '\n') {
    if (record_.size() < kMaxRecordLength) record_.push_back(static_cast<char>(c));
    c = getc_unlocked(file_);
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
  fatal("unreadable record, file " + file.shown() + ", line " + std::to_string(file.line_number()));
}

void fatal_end_of_file(const InputFile& file) {
  fatal("unexpected end of file, file " + file.shown() + ", line " +
        std::to_string(file.line_number() + 1));
}

std::string error_cause(int error) {
  if (error == 0) return "";
  std::string words = std::strerror(error);
  if (!words.empty()) words[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(words[0])));
  return ": " + words;
}

bool holds_control_character(std::string_view name) {
  for (char c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return true;
  return false;
}

void fatal_cannot_open(const std::string& shown, int error) {
  fatal("the file cannot be opened, file " + shown + error_cause(error));
}

void fatal_cannot_write(const std::string& shown, int error) {
  fatal("the file cannot be written, file " + shown + error_cause(error));
}

// ---------------------------------------------------------------- output

OutputFile::OutputFile(int fd, Kind kind, std::filesystem::path path, std::string temp,
                       std::string shown)
    : fd_(fd),
      kind_(kind),
      path_(std::move(path)),
      temp_(std::move(temp)),
      shown_(std::move(shown)) {
  // Room for a full buffer and the record that fills it, so that it is not
  // grown (and copied) while a listing is written; pages not written to
  // take no memory.
  buffer_.reserve(kFlushAt + 4096);
}

std::unique_ptr<OutputFile> OutputFile::create_replacement(const FilePath& file) {
  if (file.read_only || file.escapes) return nullptr;
  // A directory (or a FIFO, device or socket) holding the name cannot be
  // replaced; a link can, and the replacement takes the place of the link.
  mode_t mode = new_file_mode();
  struct stat st {};
  if (::lstat(file.path.c_str(), &st) == 0) {
    if (S_ISREG(st.st_mode)) {
      mode = st.st_mode & 07777;
    } else if (!S_ISLNK(st.st_mode)) {
      errno = S_ISDIR(st.st_mode) ? EISDIR : 0;
      return nullptr;
    }
  }
  std::string name = temporary_pattern(file.path);
  int fd = create_temporary(name);
  if (fd < 0) return nullptr;
  ::fchmod(fd, mode);
  return std::unique_ptr<OutputFile>(
      new OutputFile(fd, Kind::kReplacement, file.path, name, file.shown));
}

std::unique_ptr<OutputFile> OutputFile::create_scratch_or_fatal(const FilePath& file) {
  errno = 0;
  int fd =
      file.read_only || file.escapes ? -1 : create_scratch(file.path.string(), new_file_mode());
  if (fd < 0) fatal_cannot_open(file.shown, file.read_only || file.escapes ? 0 : errno);
  return std::unique_ptr<OutputFile>(
      new OutputFile(fd, Kind::kScratch, file.path, file.path.string(), file.shown));
}

std::unique_ptr<OutputFile> OutputFile::create_replacement_or_fatal(const FilePath& file) {
  errno = 0;
  auto f = create_replacement(file);
  if (!f) fatal_cannot_open(file.shown, file.read_only || file.escapes ? 0 : errno);
  return f;
}

OutputFile::~OutputFile() {
  if (kind_ == Kind::kScratch) {
    const int fd = fd_ >= 0 ? fd_ : scratch_fd_;
    if (!temp_.empty() && fd >= 0) remove_scratch(temp_, fd);
    if (fd >= 0) ::close(fd);
    return;
  }
  if (fd_ >= 0) ::close(fd_);
  if (!temp_.empty()) remove_temporary(temp_);
}

void OutputFile::flush() {
  if (fd_ < 0) return;
  bool written = write_all(fd_, buffer_);
  const int error = errno;
  buffer_.clear();
  if (!written) fatal_cannot_write(shown_, error);
}

void OutputFile::write_through(std::string_view bytes) {
  if (fd_ < 0) return;
  flush();
  if (!write_all(fd_, bytes)) fatal_cannot_write(shown_, errno);
}

void OutputFile::close() {
  if (fd_ < 0) return;
  flush();
  if (kind_ == Kind::kScratch) {
    // Kept open, so that the file is removed only while the name holds it.
    scratch_fd_ = fd_;
    fd_ = -1;
    return;
  }
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    const int error = errno;
    remove_temporary(temp_);
    temp_.clear();
    fatal_cannot_write(shown_, error);
  }
  if (!temp_.empty()) {
    std::string temp = std::move(temp_);
    temp_.clear();
    if (!rename_temporary(temp, path_.string())) fatal_cannot_write(shown_, errno);
  }
}

void OutputFile::close_into(FileSet& set) {
  if (fd_ < 0 || kind_ != Kind::kReplacement) {
    close();
    return;
  }
  flush();
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    const int error = errno;
    remove_temporary(temp_);
    temp_.clear();
    fatal_cannot_write(shown_, error);
  }
  // Still registered, so an interrupt before the commit removes it.
  set.add(std::move(temp_), path_, shown_);
  temp_.clear();
}

std::string OutputFile::contents() {
  flush();
  const int fd = fd_ >= 0 ? fd_ : scratch_fd_;
  std::string bytes;
  if (fd < 0) return bytes;
  char buffer[1 << 15];
  off_t at = 0;
  for (;;) {
    ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) fatal_cannot_open(shown_, errno);
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
    at += n;
  }
  return bytes;
}

void OutputFile::discard() {
  if (kind_ == Kind::kScratch) {
    const int fd = fd_ >= 0 ? fd_ : scratch_fd_;
    if (!temp_.empty() && fd >= 0) remove_scratch(temp_, fd);
    if (fd >= 0) ::close(fd);
    fd_ = scratch_fd_ = -1;
    temp_.clear();
    buffer_.clear();
    return;
  }
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  buffer_.clear();
  if (!temp_.empty()) remove_temporary(temp_);
  temp_.clear();
}

void remove_file(const FilePath& file) {
  if (file.read_only || file.escapes) return;
  std::error_code ec;
  std::filesystem::remove(file.path, ec);
}

}  // namespace pavecast
