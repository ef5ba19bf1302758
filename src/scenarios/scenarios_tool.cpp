#include "scenarios/scenarios_tool.h"

#include <fstream>
#include <istream>
#include <sstream>
#include <stdexcept>
#include <new>
#include <ostream>
#include <system_error>
#include <thread>

#include "fatal/fatal.h"
#include "io/directory_lock.h"
#include "io/record_files.h"
#include "io/output_paths.h"
#include "scenarios/command_run.h"
#include "scenarios/scenario_options.h"
#include "scenarios/scenario_runs.h"
#include "scenarios/tool_commands.h"

namespace pavecast {

namespace {

constexpr const char* kProgram = "pavecast-scenarios: ";

// The outputs the options name, at their paths under `root`.
std::vector<NamedOutput> named_outputs(const ToolOptions& options,
                                       const std::filesystem::path& root) {
  std::vector<NamedOutput> outputs;
  for (const OutputOption& o : output_options(options)) {
    if (o.option == std::string_view("--csv") && o.file == kStandardOutput) {
      if (options.command && options.command->name == "sweep") continue;
      throw UsageError{"--csv - (standard output) is taken by sweep only"};
    }
    std::filesystem::path path = o.file;
    if (path.is_relative()) path = root / path;
    outputs.push_back({o.option, o.file, path});
  }
  return outputs;
}

// Refuses, as a usage error, an output that may not be written: checked
// before anything is loaded or projected.
void check_outputs(const std::vector<NamedOutput>& outputs, const std::filesystem::path& root,
                   const std::vector<FileIdentity>& inputs) {
  if (auto why = refuse_outputs(outputs, root, inputs)) throw UsageError{"cannot write " + *why};
}

// The base's forced-repair file is an input too, wherever it is.
std::vector<FileIdentity> inputs_with_forced_file(const BaseScenario& base,
                                                  std::vector<FileIdentity> inputs) {
  if (!base.settings.force_fix_file.blank())
    if (auto id = identity_of(base.workdir.local(base.settings.force_fix_file.trimmed()).path))
      inputs.push_back(*id);
  return inputs;
}

// --jobs above what the machine runs at once is lowered to that, and said.
void limit_jobs(ToolOptions& options, std::ostream& err) {
  const int cores = static_cast<int>(std::thread::hardware_concurrency());
  if (cores <= 0 || options.jobs <= cores) return;
  err << kProgram << "--jobs " << options.jobs << " is lowered to " << cores
      << ", as many projections as this machine runs at once\n";
  options.jobs = cores;
}

// --rates FILE, relative to the working directory.
FilePath rates_path(const ToolOptions& options, const std::filesystem::path& root) {
  std::filesystem::path path = options.rates_file;
  if (path.is_relative()) path = root / path;
  return FilePath{path, options.rates_file, true};
}

// --rate-intervals FILE, relative to the working directory.
std::filesystem::path intervals_path(const ToolOptions& options,
                                     const std::filesystem::path& root) {
  std::filesystem::path path = options.rate_intervals;
  if (path.is_relative()) path = root / path;
  return path;
}

// The draws the options ask for, the intervals file read against the rates
// the base loaded.
void set_draws(const ToolOptions& options, const std::filesystem::path& root, BaseScenario& base) {
  if (!options.draws) return;
  base.worlds.count = *options.draws;
  base.worlds.seed = static_cast<uint64_t>(options.seed);
  base.worlds.spread = options.rate_spread / 100.0;
  if (options.rate_intervals.empty()) return;
  std::ifstream file(intervals_path(options, root), std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  if (!file.good() && !file.eof())
    throw UsageError{"--rate-intervals " + options.rate_intervals + ": the file cannot be read"};
  try {
    read_rate_intervals(text.str(), options.rate_intervals, base.tables.pavement, base.worlds);
  } catch (const std::invalid_argument& e) {
    throw UsageError{e.what()};
  }
}

// The files --rates and --network name are inputs too, wherever they are
// (a scores file or its ids may be a link out of roads/).
std::vector<FileIdentity> inputs_with_named_files(const ToolOptions& options,
                                                  const std::filesystem::path& root,
                                                  std::vector<FileIdentity> inputs) {
  std::vector<std::filesystem::path> named;
  if (!options.rates_file.empty()) named.push_back(rates_path(options, root).path);
  if (!options.rate_intervals.empty()) named.push_back(intervals_path(options, root));
  if (!options.network.empty()) {
    named.push_back(root / "roads" / options.network);
    named.push_back(root / "roads" / (options.network + ".ids"));
  }
  for (const auto& path : named)
    if (auto id = identity_of(path)) inputs.push_back(*id);
  return inputs;
}

// A --network or --rates that names no file is a usage error, before
// anything is loaded (the saved network's missing file reads as empty, as
// the program reads it).
void check_named_inputs(const ToolOptions& options, const std::filesystem::path& root) {
  std::error_code ec;
  if (!options.network.empty() &&
      !std::filesystem::is_regular_file(root / "roads" / options.network, ec))
    throw UsageError{"--network " + options.network + ": there is no scores file roads/" +
                     options.network};
  if (!options.rates_file.empty() &&
      !std::filesystem::is_regular_file(rates_path(options, root).path, ec))
    throw UsageError{"--rates " + options.rates_file + ": there is no such file"};
  if (!options.rate_intervals.empty() &&
      !std::filesystem::is_regular_file(intervals_path(options, root), ec))
    throw UsageError{"--rate-intervals " + options.rate_intervals + ": there is no such file"};
}

BaseScenario load_base(const ToolOptions& options, const std::filesystem::path& root,
                       std::ostream& err) {
  BaseOptions base_options;
  base_options.scores_name = options.network;
  if (!options.rates_file.empty()) base_options.rates_file = rates_path(options, root);
  base_options.years = options.years;
  base_options.order = options.order;
  base_options.all_orders = options.command->all_orders;
  base_options.saved_budget =
      options.command->saved_budget == SavedBudget::kAlways ||
      (options.command->saved_budget == SavedBudget::kUnlessFunding && !options.funding_cents);
  std::istream no_input(nullptr);
  Console warnings(no_input, err);
  return load_base_scenario(root, base_options, warnings);
}

// The command on the loaded base, its outputs checked first.
int run_command(const ToolOptions& options, const std::filesystem::path& root, std::ostream& out,
                std::ostream& err, bool progress) {
  const std::vector<NamedOutput> outputs = named_outputs(options, root);
  check_named_inputs(options, root);
  const std::vector<FileIdentity> inputs =
      inputs_with_named_files(options, root, program_inputs(root));
  check_outputs(outputs, root, inputs);

  BaseScenario base = load_base(options, root, err);
  set_draws(options, root, base);
  check_outputs(outputs, root, inputs_with_forced_file(base, inputs));
  CommandRun run{options, base, out, err, progress};
  try {
    return options.command->handler(run);
  } catch (...) {
    run.end_progress();
    throw;
  }
}

// Everything the tool reads is under data/ and roads/: says so when `root`
// does not hold both.
bool in_program_directory(const std::filesystem::path& root, std::ostream& err) {
  std::error_code ec;
  if (std::filesystem::is_directory(root / "data", ec) &&
      std::filesystem::is_directory(root / "roads", ec))
    return true;
  err << kProgram
      << "run it in a program directory, one that holds the data/ and roads/ folders of a "
         "network (make run makes build/run); "
      << root.string() << " does not hold both\n";
  return false;
}

// The working directory's lock, shared with other runs of the tool: held
// while the tool reads and writes, so that no program run (which takes it
// alone) changes or repairs the directory meanwhile. A program run holding
// it stops the tool at once. Returns the status to stop with, or 0.
int lock_directory(const std::filesystem::path& root, std::unique_ptr<DirectoryLock>& lock,
                   std::ostream& err) {
  switch (DirectoryLock::lock(root, DirectoryLock::Mode::kShared, lock)) {
    case DirectoryLock::Outcome::kLocked:
      return 0;
    case DirectoryLock::Outcome::kBusy:
      err << kProgram << "another run is using this directory\n";
      return 1;
    case DirectoryLock::Outcome::kFailed:
      break;
  }
  err << kProgram << "the working directory cannot be locked"
      << error_cause(DirectoryLock::error()) << "\n";
  return 1;
}

}  // namespace

int run_scenarios_tool(const std::vector<std::string>& args, const std::filesystem::path& root,
                       std::ostream& out, std::ostream& err, bool progress) {
  if (const ToolCommand* own = args.empty() ? nullptr : find_command(args[0]);
      own && own->own_command_line) {
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    const bool help = !rest.empty() && (rest[0] == "--help" || rest[0] == "-h");
    if (help) return own->own_command_line(rest, root, out, err);
    if (!in_program_directory(root, err)) return 1;
    std::unique_ptr<DirectoryLock> lock;
    if (int status = lock_directory(root, lock, err)) return status;
    return own->own_command_line(rest, root, out, err);
  }
  ToolOptions options;
  try {
    options = parse_tool_options(args);
  } catch (const UsageError& e) {
    err << kProgram << e.message << "\n" << usage_text();
    return 2;
  }
  if (!options.command) {
    out << help_text();
    return 0;
  }

  if (!in_program_directory(root, err)) return 1;
  limit_jobs(options, err);
  std::unique_ptr<DirectoryLock> lock;
  if (int status = lock_directory(root, lock, err)) return status;

  try {
    return run_command(options, root, out, err, progress);
  } catch (const FatalStop& stop) {
    out.flush();
    err << stop.console_text;
    return stop.status;
  } catch (const UsageError& e) {
    err << kProgram << e.message << "\n";
    return 2;
  } catch (const std::bad_alloc&) {
  } catch (const std::system_error& e) {
    // A thread refused; any other system error is said as it is.
    if (e.code() != std::errc::resource_unavailable_try_again) {
      out.flush();
      err << kProgram << e.what() << "\n";
      return 1;
    }
  } catch (const std::exception& e) {
    out.flush();
    err << kProgram << e.what() << "\n";
    return 1;
  }
  out.flush();
  err << kProgram << "the network does not fit in memory with " << thread_count(options.jobs)
      << " projections at once: try --jobs 1\n";
  return 1;
}

}  // namespace pavecast
