#include "support/test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "fatal/fatal.h"

namespace pavecast::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "pavecast-test-XXXXXX").string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (::mkdtemp(name.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = name.data();
  std::filesystem::create_directories(path_ / "data");
  std::filesystem::create_directories(path_ / "roads");
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void TempDir::write(std::string_view relative, std::string_view content) const {
  std::filesystem::path p = path_ / std::string(relative);
  std::filesystem::create_directories(p.parent_path());
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string TempDir::read(std::string_view relative) const {
  std::ifstream f(path_ / std::string(relative), std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

bool TempDir::exists(std::string_view relative) const {
  return std::filesystem::exists(path_ / std::string(relative));
}

Files files_under(const std::filesystem::path& root) {
  Files files;
  // A run that writes nothing has no folder of files.
  if (!std::filesystem::exists(root)) return files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
    if (!e.is_regular_file()) continue;
    std::ifstream f(e.path(), std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    files[std::filesystem::relative(e.path(), root).string()] = s.str();
  }
  return files;
}

void copy_example(const TempDir& dir) {
  std::filesystem::copy(
      std::filesystem::path(PAVECAST_SOURCE_DIR) / "example", dir.path(),
      std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
}

std::unique_ptr<RunContext> make_context(const TempDir& dir) {
  auto ctx = std::make_unique<RunContext>(dir.workdir());
  ctx->files.echo = OutputFile::create_scratch_or_fatal(dir.workdir().local("userdata.tmp"));
  return ctx;
}

std::string echo_text(RunContext& ctx, const TempDir& dir) {
  if (ctx.files.echo) ctx.files.echo->flush();
  return dir.read("userdata.tmp");
}

std::string fatal_text_of(const std::function<void()>& f) {
  try {
    f();
  } catch (const FatalStop& stop) {
    return stop.console_text;
  }
  return "(no fatal stop)";
}

std::string lines(std::initializer_list<std::string_view> list) {
  std::string s;
  for (std::string_view l : list) {
    s += l;
    s += '\n';
  }
  return s;
}

}  // namespace pavecast::testing
