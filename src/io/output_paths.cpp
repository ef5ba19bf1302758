#include "io/output_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

namespace pavecast {

namespace fs = std::filesystem;

namespace {

// A name a run of the program writes in its working directory.
bool is_run_product(const std::string& name) {
  if (name == "userdata.tmp" || name == "temptemp.bat" || name.starts_with("trace.")) return true;
  for (const char* ext : {".out", ".res", ".scr", ".rep"}) {
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower.size() > 4 && lower.ends_with(ext)) return true;
  }
  return false;
}

// The folder as the system resolves it, or empty when it does not exist.
fs::path resolved(const fs::path& folder) {
  std::error_code ec;
  fs::path p = fs::canonical(folder.empty() ? fs::path(".") : folder, ec);
  return ec ? fs::path() : p;
}

// Why `output` may not be written on its own, or empty.
std::string refusal(const NamedOutput& output, const fs::path& workdir,
                    const std::vector<FileIdentity>& inputs) {
  const fs::path folder = resolved(output.path.parent_path());
  if (folder.empty() || !fs::is_directory(folder)) return "its folder does not exist";
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return "its folder cannot be written";
  struct stat st {};
  if (::stat(output.path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return "it is a directory";
    if (!S_ISREG(st.st_mode)) return "it is not a regular file";
    const FileIdentity id{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    if (std::find(inputs.begin(), inputs.end(), id) != inputs.end())
      return "it is a file the command reads";
  }
  const fs::path root = resolved(workdir);
  if (!root.empty()) {
    if (folder == root / "data" || folder == root / "roads")
      return "it is in the program's " + folder.filename().string() + " folder";
    if (folder == root && is_run_product(output.path.filename().string()))
      return "it is one of the program's own output files";
  }
  return "";
}

// Whether two outputs name the same file: the same identity when both
// exist, else the same resolved folder and name.
bool same_file(const NamedOutput& a, const NamedOutput& b) {
  const auto ia = identity_of(a.path), ib = identity_of(b.path);
  if (ia && ib) return *ia == *ib;
  return resolved(a.path.parent_path()) == resolved(b.path.parent_path()) &&
         a.path.filename() == b.path.filename();
}

}  // namespace

std::optional<FileIdentity> identity_of(const fs::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

std::vector<FileIdentity> program_inputs(const fs::path& workdir) {
  std::vector<FileIdentity> ids;
  for (const char* folder : {"data", "roads"}) {
    std::error_code ec;
    for (fs::directory_iterator it(workdir / folder, ec), end; !ec && it != end; it.increment(ec)) {
      struct stat st {};
      if (::stat(it->path().c_str(), &st) == 0 && S_ISREG(st.st_mode))
        ids.push_back({static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)});
    }
  }
  return ids;
}

std::optional<std::string> refuse_outputs(const std::vector<NamedOutput>& outputs,
                                          const fs::path& workdir,
                                          const std::vector<FileIdentity>& inputs) {
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    const NamedOutput& o = outputs[i];
    std::string why = refusal(o, workdir, inputs);
    for (std::size_t j = 0; why.empty() && j < i; ++j)
      if (same_file(o, outputs[j]))
        why = "it is the same file as " + outputs[j].option + " " + outputs[j].name;
    if (!why.empty()) return o.option + " " + o.name + ": " + why;
  }
  return std::nullopt;
}

std::unique_ptr<OutputFile> create_output(const NamedOutput& output) {
  return OutputFile::create_replacement_or_fatal(FilePath{output.path, output.name});
}

}  // namespace pavecast
