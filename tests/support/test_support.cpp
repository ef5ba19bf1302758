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

std::vector<std::string> echo_lines(RunContext& ctx, const TempDir& dir) {
  return split_lines(echo_text(ctx, dir));
}

std::string ScriptedConsole::shown_before(int k) const {
  std::string out = out_.str();
  std::size_t begin = k <= 1 ? 0 : marks_.at(static_cast<std::size_t>(k) - 2);
  std::size_t end = k <= replies_read() ? marks_.at(static_cast<std::size_t>(k) - 1) : out.size();
  return out.substr(begin, end - begin);
}

ScriptedConsole::Replies::int_type ScriptedConsole::Replies::underflow() {
  if (next_ >= text_.size()) return traits_type::eof();
  std::size_t end = text_.find('\n', next_);
  end = end == std::string::npos ? text_.size() : end + 1;
  line_ = text_.substr(next_, end - next_);
  next_ = end;
  marks_.push_back(out_.str().size());
  setg(line_.data(), line_.data(), line_.data() + line_.size());
  return traits_type::to_int_type(line_[0]);
}

int count_of(std::string_view text, std::string_view part) {
  int n = 0;
  for (auto pos = text.find(part); pos != std::string_view::npos; pos = text.find(part, pos + 1))
    ++n;
  return n;
}

std::vector<std::string> split_lines(std::string_view text) {
  std::vector<std::string> result;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    result.emplace_back(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return result;
}

std::string last_word(std::string_view text) {
  std::size_t end = text.find_last_not_of(" \n");
  if (end == std::string_view::npos) return "";
  std::size_t begin = text.find_last_of(" \n", end);
  begin = begin == std::string_view::npos ? 0 : begin + 1;
  return std::string(text.substr(begin, end + 1 - begin));
}

std::string answer_shown(std::string_view text) {
  for (const std::string& line : split_lines(text)) {
    if (line.find_first_not_of(' ') != std::string::npos) return last_word(line);
  }
  return "";
}

std::vector<std::string> echo_answers(RunContext& ctx, const TempDir& dir) {
  std::vector<std::string> answers;
  for (const std::string& line : echo_lines(ctx, dir)) {
    if (line.find_first_not_of(' ') != std::string::npos) answers.push_back(last_word(line));
  }
  return answers;
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
