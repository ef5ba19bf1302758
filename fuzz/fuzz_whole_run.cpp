// A whole run of the program in the scratch directory: a bundle with the
// console replies and every file of the working directory, the same bundle
// fuzz/bundle.py unbundle turns into a directory for the program itself. The table
// holds 300 segments so that the longest runs (97 years) stay quick.
//
// The program takes file names as the analyst types them; a name may climb
// out of the working directory ("../x") or be absolute. Inputs whose replies
// or saved answers hold a '/' are passed over, so the fuzzer writes nowhere
// but its scratch directory.
//
// After any run, the saved answers the program wrote back must be readable
// by the next run, and no temporary file of an atomic replacement may be
// left behind.
#include <cctype>
#include <filesystem>
#include <sstream>
#include <string>

#include "app/run_driver.h"
#include "dialogue/saved_answers.h"
#include "fuzz_support.h"
#include "layout/layout.h"

using namespace pavecast;
namespace fs = std::filesystem;

namespace {

bool names_stay_inside(const fuzz::Bundle& bundle) {
  if (bundle.answers.find('/') != std::string::npos) return false;
  for (const fuzz::BundleFile& f : bundle.files)
    if (f.path.starts_with("data/default") && f.bytes.find('/') != std::string::npos) return false;
  return true;
}

// A replacement's temporary file: its target's name, a period and six
// characters from mkstemp.
bool looks_temporary(const fs::path& p, const fuzz::Bundle& bundle) {
  std::string name = p.filename().string();
  if (name.size() < 8 || name[name.size() - 7] != '.') return false;
  for (std::size_t k = name.size() - 6; k < name.size(); ++k)
    if (!std::isalnum(static_cast<unsigned char>(name[k]))) return false;
  std::string relative = fs::relative(p, fuzz::Scratch::get().root()).string();
  for (const fuzz::BundleFile& f : bundle.files)
    if (f.path == relative || f.path == relative + "/") return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Bundle bundle = fuzz::parse_bundle(data, size);
  if (!names_stay_inside(bundle)) return -1;  // not added to the corpus
  fuzz::Scratch& scratch = fuzz::Scratch::get();
  scratch.reset(bundle);

  ProgramOptions options;
  options.workdir = scratch.workdir();
  options.start_time = StartTime{2026, 12, 8, 9, 30};
  options.segment_capacity = 300;
  options.printers.device_prefix = (scratch.root() / "no-printer" / "lp").string();
  std::istringstream in(bundle.answers);
  std::ostringstream out;
  int status = run_program(options, in, out);
  fuzz::check(status == 0 || status == 1, "status 0 or 1");
  if (status == 1)
    fuzz::check(out.str().find("Fatal Error") != std::string::npos, "a stop says why");

  std::error_code ec;
  for (const auto& e : fs::recursive_directory_iterator(scratch.root(), ec))
    if (e.is_regular_file() && looks_temporary(e.path(), bundle)) {
      std::fprintf(stderr, "left behind: %s\n", e.path().c_str());
      fuzz::check(false, "no temporary file is left behind");
    }

  // The next run starts from what this one wrote back: the data set and
  // its saved answers file.
  if (status != 0) return 0;
  auto next = std::make_unique<RunContext>(scratch.workdir());
  bool started = fuzz::run_stage([&] {
    read_default_dat(next->settings, next->workdir);
    next->settings.answers_file_name = "data\\default2.dat";
    if (is_yes(next->settings.secondary_data_answer)) {
      static const layout::Layout kDataSet("A3,1X,A45");
      auto list = InputFile::open_or_fatal(next->workdir.data("class.dat"), IfMissing::kFail);
      Text<3> ext;
      Text<45> title;
      for (int k = 1; k <= next->settings.default_data_set; ++k)
        if (kDataSet.read(*list, {ext, title}) != layout::ReadStatus::kOk) return;
      next->settings.answers_file_name = "data\\default." + ext.str();
    }
    read_saved_answers(next->settings, next->workdir);
  });
  fuzz::check(started, "the next run can read the saved answers");
  return 0;
}
