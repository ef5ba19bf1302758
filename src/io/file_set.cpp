#include "io/file_set.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "io/record_files.h"
#include "io/temporary_files.h"

namespace pavecast {

namespace {

constexpr std::string_view kJournalHeader = "pavecast commit\n";
constexpr std::string_view kJournalEnd = "end";

bool is_plain_name(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

// The journal's text: the header, then each rename as two NUL-terminated
// names, then the end mark.
std::string journal_text(const std::vector<std::pair<std::string, std::string>>& renames) {
  std::string text(kJournalHeader);
  for (const auto& [from, to] : renames) {
    text += from;
    text += '\0';
    text += to;
    text += '\0';
  }
  text += kJournalEnd;
  text += '\0';
  return text;
}

// The renames of a journal's text; empty when the text is not a whole
// journal.
std::vector<std::pair<std::string, std::string>> parse_journal(std::string_view text) {
  std::vector<std::pair<std::string, std::string>> renames;
  if (text.substr(0, kJournalHeader.size()) != kJournalHeader) return {};
  text.remove_prefix(kJournalHeader.size());
  std::vector<std::string_view> names;
  while (!text.empty()) {
    std::size_t end = text.find('\0');
    if (end == std::string_view::npos) return {};
    names.push_back(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  if (names.empty() || names.back() != kJournalEnd || names.size() % 2 != 1) return {};
  for (std::size_t i = 0; i + 1 < names.size(); i += 2)
    renames.emplace_back(std::string(names[i]), std::string(names[i + 1]));
  return renames;
}

}  // namespace

FileSet::~FileSet() {
  for (const Entry& entry : entries_) remove_temporary(entry.temporary);
}

void FileSet::add(std::string temporary, std::filesystem::path target, std::string shown) {
  entries_.push_back({std::move(temporary), std::move(target), std::move(shown)});
}

void FileSet::commit(const std::filesystem::path& directory) {
  if (entries_.empty()) return;
  SignalsBlocked blocked;

  std::vector<std::pair<std::string, std::string>> renames;
  for (const Entry& entry : entries_)
    renames.emplace_back(std::filesystem::path(entry.temporary).filename().string(),
                         entry.target.filename().string());

  const std::filesystem::path journal = directory / kCommitJournal;
  std::string temporary = temporary_pattern(journal);
  int fd = create_temporary(temporary);
  if (fd < 0) fatal_cannot_write(std::string(kCommitJournal), errno);
  bool written = write_all(fd, journal_text(renames));
  int error = written ? 0 : errno;
  if (::close(fd) != 0 && written) {
    written = false;
    error = errno;
  }
  if (!written) {
    remove_temporary(temporary);
    fatal_cannot_write(std::string(kCommitJournal), error);
  }
  if (!rename_temporary(temporary, journal.string()))
    fatal_cannot_write(std::string(kCommitJournal), errno);

  // From here the set is committed: a kill leaves the journal, and the next
  // run makes the renames still missing.
  std::string failed;
  int failed_error = 0;
  for (const Entry& entry : entries_) {
    if (::rename(entry.temporary.c_str(), entry.target.c_str()) != 0) {
      if (failed.empty()) {
        failed = entry.shown;
        failed_error = errno;
      }
      ::unlink(entry.temporary.c_str());
    }
    forget_temporary(entry.temporary);
  }
  ::unlink(journal.c_str());
  entries_.clear();
  if (!failed.empty()) fatal_cannot_write(failed, failed_error);
}

int recover_interrupted_commit(const std::filesystem::path& directory) {
  const std::filesystem::path journal = directory / kCommitJournal;
  int fd = ::open(journal.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return 0;
  struct stat st {};
  std::string text;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    char buffer[1 << 14];
    for (;;) {
      ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      text.append(buffer, static_cast<std::size_t>(n));
      if (text.size() > (1u << 22)) break;  // no journal of ours is this long
    }
  }
  ::close(fd);
  if (!S_ISREG(st.st_mode)) return 0;

  SignalsBlocked blocked;
  int renamed = 0;
  for (const auto& [from, to] : parse_journal(text)) {
    if (!is_temporary_name(from) || !is_plain_name(to)) continue;
    const std::filesystem::path source = directory / from;
    struct stat entry {};
    if (::lstat(source.c_str(), &entry) != 0 || !S_ISREG(entry.st_mode)) continue;
    if (::rename(source.c_str(), (directory / to).c_str()) == 0) ++renamed;
  }
  ::unlink(journal.c_str());
  return renamed;
}

int remove_leftover_temporaries(const std::filesystem::path& directory) {
  DIR* dir = ::opendir(directory.c_str());
  if (dir == nullptr) return 0;
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir))
    if (is_temporary_name(entry->d_name)) names.emplace_back(entry->d_name);
  ::closedir(dir);
  int removed = 0;
  for (const std::string& name : names) {
    const std::filesystem::path path = directory / name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) continue;
    if (::unlink(path.c_str()) == 0) ++removed;
  }
  return removed;
}

}  // namespace pavecast
