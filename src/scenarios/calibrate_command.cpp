#include "scenarios/calibrate_command.h"

#include "readers/asset_ids.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <ostream>

#include "dialogue/enter_keeps.h"
#include "dialogue/saved_answers.h"
#include "fatal/fatal.h"
#include "io/record_files.h"
#include "layout/layout.h"
#include "readers/deterioration_rates.h"
#include "readers/scores.h"
#include "readers/traffic_increases.h"
#include "scenarios/calibration.h"

namespace pavecast {

namespace {

namespace fs = std::filesystem;

struct Usage {
  std::string message;
};

struct CalibrateOptions {
  std::string before, after, check;
  std::string rates, rates_out, intervals_out, csv;
  int32_t noise = 1;
  int32_t min_count = 30;
};

int32_t whole(const std::string& flag, const std::string& text, int32_t low, int32_t high) {
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE || value < low || value > high ||
      text.find_first_not_of("0123456789") != std::string::npos)
    throw Usage{flag + " takes a whole number from " + std::to_string(low) + " to " +
                std::to_string(high) + ", not \"" + text + "\""};
  return static_cast<int32_t>(value);
}

CalibrateOptions parse(const std::vector<std::string>& args) {
  CalibrateOptions o;
  std::map<std::string, std::string*> names = {
      {"--before", &o.before},       {"--after", &o.after},
      {"--check", &o.check},         {"--rates", &o.rates},
      {"--rates-out", &o.rates_out}, {"--intervals-out", &o.intervals_out},
      {"--csv", &o.csv}};
  std::map<std::string, bool> seen;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string flag = args[i];
    std::optional<std::string> value;
    if (std::size_t eq = flag.find('='); flag.starts_with("--") && eq != std::string::npos) {
      value = flag.substr(eq + 1);
      flag = flag.substr(0, eq);
    }
    if (!flag.starts_with("--")) throw Usage{"unexpected argument \"" + flag + "\""};
    if (!names.contains(flag) && flag != "--noise" && flag != "--min-count")
      throw Usage{flag + " is not an option of calibrate"};
    if (seen[flag]) throw Usage{flag + " is given twice"};
    seen[flag] = true;
    if (!value) {
      if (i + 1 >= args.size() || args[i + 1].starts_with("--")) throw Usage{flag + " needs a value"};
      value = args[++i];
    }
    if (flag == "--noise") {
      o.noise = whole(flag, *value, 0, 9);
    } else if (flag == "--min-count") {
      o.min_count = whole(flag, *value, 2, 1000000000);
    } else {
      if (value->empty()) throw Usage{flag + " needs a file name"};
      *names.at(flag) = *value;
    }
  }
  if (o.before.empty()) throw Usage{"calibrate needs --before"};
  if (o.after.empty()) throw Usage{"calibrate needs --after"};
  return o;
}

// A file named on the command line, relative to the program directory.
fs::path named_path(const fs::path& root, const std::string& name) {
  fs::path path = name;
  return path.is_relative() ? root / path : path;
}

// The same file, whether or not it exists yet.
bool same_file(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  if (fs::exists(a, ec) && fs::exists(b, ec)) return fs::equivalent(a, b, ec);
  return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
}

// The asset ids of roads/NAME, from roads/NAME.ids.
// The rating's asset ids (roads/NAME.ids, written by import), ids[i - 1]
// being segment i's, or none when the rating has no ids file.
std::optional<std::vector<std::string>> asset_ids(const Workdir& workdir, const std::string& name,
                                                  int32_t segment_lines) {
  auto ids = read_asset_ids(workdir, name, segment_lines);
  if (ids && !ids->empty()) ids->erase(ids->begin());
  return ids;
}

void load_rating(const Workdir& workdir, const std::string& name, const PavementTypes& types,
                 RatedNetwork& net) {
  net.name = name;
  auto file = InputFile::open_or_fatal(workdir.roads(name), IfMissing::kFail);
  // Room for every record at once: a large network is not copied as it grows.
  int32_t records = 0;
  for (std::string_view record; file->next(record) && records < (1 << 26);) ++records;
  file->rewind();
  net.segments.reserve(records);
  Statistics stats;
  LoadOptions options;  // whole lines, file scores
  load_segment_table(*file, nullptr, types, options, net.segments, net.values, stats);
  if (net.segments.segment_count == 0)
    fatal("the scores file holds no segments, file " + workdir.roads(name).shown);
  net.ids = asset_ids(workdir, name, net.segments.segment_count);
}

// The numbers of data\random.dat, as the loader reads them (F6.5).
std::vector<float> random_numbers(const Workdir& workdir) {
  static const layout::Layout kRandom("F6.5");
  auto file = InputFile::open_or_fatal(workdir.data("random.dat"), IfMissing::kCreateEmpty);
  std::vector<float> numbers;
  for (;;) {
    float r = 0.0f;
    const layout::ReadStatus status = kRandom.read(*file, {r});
    if (status == layout::ReadStatus::kEndOfFile) break;
    if (status == layout::ReadStatus::kError) fatal_unreadable(*file);
    numbers.push_back(r);
  }
  if (numbers.empty()) fatal_end_of_file(*file);
  return numbers;
}

// A file the user named, written beside its name and replacing it whole when
// closed; only a regular file (or a link to one) is replaced.
std::unique_ptr<OutputFile> open_output(const fs::path& root, const std::string& name) {
  fs::path path = named_path(root, name);
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (fs::exists(status) && !fs::is_regular_file(status))
    fatal("the file is not a regular file, file " + name);
  if (fs::is_regular_file(status) && fs::is_symlink(fs::symlink_status(path, ec)))
    path = fs::canonical(path, ec);
  return OutputFile::create_replacement_or_fatal(FilePath{path, name});
}

int calibrate(const CalibrateOptions& o, const fs::path& root, std::ostream& out) {
  Workdir workdir{root, /*read_only=*/true};
  RunSettings settings;
  ParameterTables tables;
  resolve_enter_answers(workdir, EnterOptions{}, settings, tables);

  // The rates: the run's, or --rates.
  FilePath rates_path = parameter_file(settings, workdir, "detrates");
  if (!o.rates.empty()) {
    rates_path = FilePath{named_path(root, o.rates), o.rates};
    auto file = InputFile::open_or_fatal(rates_path, IfMissing::kFail);
    read_deterioration_rates_file(tables.pavement, *file);
  }
  if (tables.pavement.pavement_type_count == 0)
    fatal("the deterioration rates define no pavement type, file " + rates_path.shown);

  // No output over a file read, nor over another output.
  std::vector<std::pair<std::string, fs::path>> read = {{rates_path.shown, rates_path.path}};
  for (const std::string* name : {&o.before, &o.after, &o.check})
    if (!name->empty()) read.push_back({workdir.roads(*name).shown, workdir.roads(*name).path});
  std::vector<std::pair<std::string, std::string>> outputs;
  for (auto [flag, name] : {std::pair{"--rates-out", &o.rates_out},
                            std::pair{"--intervals-out", &o.intervals_out},
                            std::pair{"--csv", &o.csv}}) {
    if (name->empty()) continue;
    const fs::path path = named_path(root, *name);
    for (const auto& [shown, input] : read)
      if (same_file(path, input))
        throw Usage{std::string(flag) + " names " + shown +
                    ", which calibrate reads: write the fitted rates to another file and give "
                    "it with --rates (or copy it over the rates file yourself)"};
    for (const auto& [other_flag, other] : outputs)
      if (same_file(path, named_path(root, other)))
        throw Usage{std::string(flag) + " and " + other_flag + " name the same file"};
    outputs.push_back({flag, *name});
  }

  RatedNetwork before, after, check;
  load_rating(workdir, o.before, tables.pavement, before);
  load_rating(workdir, o.after, tables.pavement, after);
  if (!o.check.empty()) load_rating(workdir, o.check, tables.pavement, check);

  CalibrationOptions options;
  options.noise = o.noise;
  options.min_count = o.min_count;
  options.traffic_used = !is_no(settings.vmt_answer);
  if (options.traffic_used) {
    auto traffic = InputFile::open_or_fatal(workdir.data("vmt-inc.dat"), IfMissing::kCreateEmpty);
    read_traffic_increases(traffic.get(), kMaxYearSlots, options.vmt_increase);
  }
  if (is_yes(settings.randomize_answer)) options.random_numbers = random_numbers(workdir);

  const Calibration c = calibrate(before, after, o.check.empty() ? nullptr : &check,
                                  tables.pavement, rates_path.shown, options);

  // Every file complete before any replaces its target.
  std::vector<std::unique_ptr<OutputFile>> files;
  if (!o.rates_out.empty()) {
    files.push_back(open_output(root, o.rates_out));
    files.back()->write(rates_file_text(c.fit.rates));
  }
  if (!o.intervals_out.empty()) {
    files.push_back(open_output(root, o.intervals_out));
    files.back()->write(intervals_csv(c));
  }
  if (!o.csv.empty()) {
    files.push_back(open_output(root, o.csv));
    files.back()->write(treated_csv(c));
  }
  for (auto& file : files) file->flush();
  for (auto& file : files) file->close();
  out << calibration_report(c);
  return 0;
}

}  // namespace

std::string calibrate_usage() {
  return "       pavecast-scenarios calibrate --before NAME --after NAME [--check NAME]\n"
         "                 [--rates FILE] [--rates-out FILE] [--intervals-out FILE]\n"
         "                 [--noise N] [--min-count N] [--csv FILE]\n";
}

int run_calibrate(const std::vector<std::string>& args, const fs::path& root, std::ostream& out,
                  std::ostream& err) {
  CalibrateOptions options;
  try {
    options = parse(args);
  } catch (const Usage& e) {
    err << "pavecast-scenarios: " << e.message << "\nusage:" << calibrate_usage().substr(6);
    return 2;
  }
  try {
    return calibrate(options, root, out);
  } catch (const Usage& e) {
    err << "pavecast-scenarios: " << e.message << "\n";
    return 2;
  } catch (const CalibrationError& e) {
    err << "pavecast-scenarios: " << e.message << "\n";
    return e.usage ? 2 : 1;
  } catch (const FatalStop& stop) {
    out.flush();
    err << stop.console_text;
    return stop.status;
  }
}

}  // namespace pavecast
