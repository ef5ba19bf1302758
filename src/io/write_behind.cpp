#include "io/write_behind.h"

#include <pthread.h>
#include <signal.h>

#include <algorithm>

#include "io/console.h"
#include "io/record_files.h"

namespace pavecast {

WriteBehind::WriteBehind(std::size_t buffers) {
  const std::size_t count = std::max<std::size_t>(buffers, 1);
  ring_.resize(count);
  free_.resize(count);
  // A full buffer holds kFlushAt bytes and the record that reached it.
  for (std::string& buffer : free_) buffer.reserve(OutputFile::kFlushAt + 4096);
  thread_ = std::thread([this] { writer(); });
}

WriteBehind::~WriteBehind() {
  drain();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  work_ready_.notify_all();
  thread_.join();
}

void WriteBehind::attach(OutputFile& file) {
  std::lock_guard<std::mutex> lock(mutex_);
  file.behind_ = this;
  attached_.push_back(&file);
}

std::string WriteBehind::take_free(std::unique_lock<std::mutex>& lock) {
  buffer_free_.wait(lock, [&] { return !free_.empty() || failed_; });
  if (failed_) {
    const std::string shown = failed_file_;
    lock.unlock();
    fatal_cannot_write(shown);
  }
  std::string buffer = std::move(free_.back());
  free_.pop_back();
  return buffer;
}

void WriteBehind::queue(Work work) {
  ring_[(head_ + queued_) % ring_.size()] = std::move(work);
  ++queued_;
  work_ready_.notify_one();
}

void WriteBehind::hand(OutputFile& file, std::string& buffer) {
  std::unique_lock<std::mutex> lock(mutex_);
  std::string spare = take_free(lock);
  Work work{&file, nullptr, {}};
  work.bytes.swap(buffer);
  buffer.swap(spare);
  queue(std::move(work));
}

void WriteBehind::write(Console& console, std::string_view text) {
  std::unique_lock<std::mutex> lock(mutex_);
  Work work{nullptr, &console, take_free(lock)};
  work.bytes.assign(text);
  queue(std::move(work));
}

bool WriteBehind::drain() {
  std::unique_lock<std::mutex> lock(mutex_);
  buffer_free_.wait(lock, [&] { return queued_ == 0 && !writing_; });
  for (OutputFile* file : attached_) file->behind_ = nullptr;
  attached_.clear();
  return failed_;
}

void WriteBehind::finish() {
  if (!drain()) return;
  std::string shown;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    shown = failed_file_;
  }
  fatal_cannot_write(shown);
}

void WriteBehind::writer() {
  sigset_t all;
  ::sigfillset(&all);
  ::pthread_sigmask(SIG_BLOCK, &all, nullptr);
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    work_ready_.wait(lock, [&] { return queued_ > 0 || stopping_; });
    if (queued_ == 0) return;
    Work work = std::move(ring_[head_]);
    head_ = (head_ + 1) % ring_.size();
    --queued_;
    writing_ = true;
    if (!failed_) {
      lock.unlock();
      bool written = true;
      if (work.file != nullptr) {
        written = work.file->write_out(work.bytes);
      } else {
        work.console->write(work.bytes);
      }
      lock.lock();
      if (!written) {
        failed_ = true;
        failed_file_ = work.file->shown();
      }
    }
    writing_ = false;
    work.bytes.clear();
    free_.push_back(std::move(work.bytes));
    buffer_free_.notify_all();
  }
}

}  // namespace pavecast
