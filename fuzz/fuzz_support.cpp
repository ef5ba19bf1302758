#include "fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "fatal/fatal.h"

namespace pavecast::fuzz {

namespace fs = std::filesystem;

namespace {

bool safe_path(std::string_view path) {
  if (path.empty() || path.front() == '/') return false;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = path.find('/', start);
    std::string_view part = path.substr(start, end == std::string_view::npos ? end : end - start);
    if (part == "." || part == "..") return false;
    if (part.empty() && end != std::string_view::npos) return false;  // "a//b"
    for (char c : part) {
      bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                c == '.' || c == '_' || c == '-' || c == ' ';
      if (!ok) return false;
    }
    if (end == std::string_view::npos) return true;
    start = end + 1;
  }
}

}  // namespace

Bundle parse_bundle(const uint8_t* data, std::size_t size) {
  Bundle bundle;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string* current = nullptr;  // bytes before the first header are ignored
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    std::string_view line = text.substr(pos, next - pos);
    if (line.starts_with("%%")) {
      std::string_view name = line.substr(2);
      if (name.ends_with('\n')) name.remove_suffix(1);
      if (name == "answers") {
        current = &bundle.answers;
        current->clear();
      } else if (safe_path(name.ends_with('/') ? name.substr(0, name.size() - 1) : name)) {
        bundle.files.push_back({std::string(name), {}});
        current = &bundle.files.back().bytes;
      } else {
        current = nullptr;
      }
    } else if (current != nullptr) {
      current->append(line);
    }
    pos = next;
  }
  return bundle;
}

Scratch& Scratch::get() {
  static Scratch scratch;
  return scratch;
}

Scratch::Scratch() {
  // A memory file system when there is one: every input rewrites the files.
  std::error_code ec;
  fs::path base =
      fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
  std::string pattern = (base / "pavecast-fuzz-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    std::abort();
  }
  root_ = pattern;
  // The directory goes when the fuzzer ends normally; a crash leaves it for
  // inspection.
  static fs::path* to_remove = &root_;
  std::atexit([] {
    std::error_code e;
    fs::remove_all(*to_remove, e);
  });
}

void Scratch::reset(const Bundle& bundle) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(root_, ec)) fs::remove_all(entry.path(), ec);
  fs::create_directories(root_ / "data");
  fs::create_directories(root_ / "roads");
  for (const BundleFile& file : bundle.files) {
    fs::path p = root_ / file.path;
    if (file.path.ends_with('/')) {
      fs::create_directories(p, ec);
      continue;
    }
    fs::create_directories(p.parent_path(), ec);
    if (fs::is_directory(p, ec)) continue;  // named twice, once as a directory
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(file.bytes.data(), static_cast<std::streamsize>(file.bytes.size()));
  }
}

std::unique_ptr<RunContext> make_context(int32_t segment_capacity) {
  auto ctx = std::make_unique<RunContext>(Scratch::get().workdir(), segment_capacity);
  ctx->files.echo = OutputFile::create_scratch_or_fatal(ctx->workdir.local("userdata.tmp"));
  return ctx;
}

bool run_stage(const std::function<void()>& stage) {
  try {
    stage();
    return true;
  } catch (const FatalStop& stop) {
    check(stop.console_text.find("Fatal Error") != std::string::npos,
          "a fatal stop without its message");
    return false;
  }
}

void check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "broken invariant: %s\n", what);
  std::abort();
}

}  // namespace pavecast::fuzz
