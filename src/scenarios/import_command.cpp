#include "scenarios/import_command.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <ostream>
#include <set>

#include "dialogue/enter_keeps.h"
#include "dialogue/saved_answers.h"
#include "fatal/fatal.h"
#include "io/record_files.h"
#include "model/segment_table.h"
#include "readers/asset_ids.h"
#include "readers/deterioration_rates.h"
#include "scenarios/import_table.h"

namespace pavecast {

namespace {

struct ImportUsageError {
  std::string message;
};

[[noreturn]] void usage_error(std::string message) {
  throw ImportUsageError{std::move(message)};
}

struct ImportOptions {
  std::string table;
  std::string name;
  int32_t year = 0;
  std::string title;
  std::string rates;
  bool replace = false;
  ColumnMapping mapping;
};

// The flags taking a column name, and where each goes.
std::map<std::string, std::string ColumnMapping::*> column_flags() {
  return {{"--id", &ColumnMapping::id},
          {"--score", &ColumnMapping::score},
          {"--lane-miles", &ColumnMapping::lane_miles},
          {"--miles", &ColumnMapping::miles},
          {"--lanes", &ColumnMapping::lanes},
          {"--width-feet", &ColumnMapping::width_feet},
          {"--type-column", &ColumnMapping::type_column},
          {"--jurisdiction", &ColumnMapping::jurisdiction},
          {"--mcd", &ColumnMapping::mcd},
          {"--highway", &ColumnMapping::highway},
          {"--description", &ColumnMapping::description},
          {"--from", &ColumnMapping::from},
          {"--to", &ColumnMapping::to}};
}

int32_t whole_value(const std::string& flag, const std::string& value, int32_t low, int32_t high) {
  int32_t v = 0;
  std::size_t used = 0;
  try {
    v = std::stoi(value, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != value.size() || value.front() == '+' || value.front() == ' ' ||
      v < low || v > high)
    usage_error(flag + " takes a whole number from " + std::to_string(low) + " to " +
                std::to_string(high) + ", not \"" + value + "\"");
  return v;
}

// "Asphalt=ACC,Concrete=PCC": each item split at its last '='.
std::vector<std::pair<std::string, std::string>> parse_type_map(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> map;
  std::set<std::string> values;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = std::min(text.find(',', start), text.size());
    const std::string item = text.substr(start, end - start);
    const std::size_t eq = item.rfind('=');
    if (eq == std::string::npos || eq + 1 == item.size())
      usage_error("--type-map takes VALUE=TYPE items separated by commas, not \"" + item + "\"");
    std::string value = item.substr(0, eq);
    if (!values.insert(value).second) usage_error("--type-map maps \"" + value + "\" twice");
    map.emplace_back(std::move(value), item.substr(eq + 1));
    if (end == text.size()) break;
    start = end + 1;
  }
  return map;
}

void check_name(const std::string& name) {
  if (name.empty() || name.size() > 9)
    usage_error(
        "--name takes a scores file name of 1 to 9 characters (the program's field), not \"" +
        name + "\"");
  for (char c : name)
    if (c <= ' ' || c > '~' || c == '/' || c == '\\')
      usage_error("--name \"" + name +
                  "\" holds a blank, a slash or a character outside ASCII; give a plain name");
  if (name == "." || name == ".." || name.ends_with(".ids"))
    usage_error("--name \"" + name + "\" cannot name a scores file");
}

ImportOptions parse_import_options(const std::vector<std::string>& args) {
  ImportOptions options;
  ColumnMapping& m = options.mapping;
  const auto columns = column_flags();
  const std::set<std::string> values = {"--name", "--year",     "--title",        "--rates",
                                        "--type", "--type-map", "--default-lanes"};
  std::set<std::string> seen;
  std::optional<std::string> default_lanes, year, type_map;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string flag = args[i];
    std::optional<std::string> value;
    if (!flag.starts_with("--")) {
      if (!options.table.empty()) usage_error("unexpected argument \"" + flag + "\"");
      options.table = flag;
      continue;
    }
    if (const std::size_t eq = flag.find('='); eq != std::string::npos) {
      value = flag.substr(eq + 1);
      flag = flag.substr(0, eq);
    }
    if (!seen.insert(flag).second) usage_error(flag + " is given twice");
    if (flag == "--round" || flag == "--replace") {
      if (value) usage_error(flag + " takes no value");
      (flag == "--round" ? m.round : options.replace) = true;
      continue;
    }
    const auto column = columns.find(flag);
    if (column == columns.end() && !values.contains(flag))
      usage_error("unknown option " + flag + " of import");
    if (!value) {
      if (i + 1 >= args.size() || args[i + 1].starts_with("--"))
        usage_error(flag + " needs a value");
      value = args[++i];
    }
    if (column != columns.end()) {
      if (value->empty()) usage_error(flag + " needs a column name");
      m.*(column->second) = *value;
    } else if (flag == "--name") {
      options.name = *value;
    } else if (flag == "--year") {
      year = *value;
    } else if (flag == "--title") {
      options.title = *value;
    } else if (flag == "--rates") {
      options.rates = *value;
    } else if (flag == "--type") {
      m.type = *value;
    } else if (flag == "--type-map") {
      type_map = *value;
    } else {
      default_lanes = *value;
    }
  }

  if (options.table.empty())
    usage_error("import needs the table: import TABLE.csv --name NAME ...");
  for (const char* required : {"--name", "--year", "--id", "--score"})
    if (!seen.contains(required)) usage_error(std::string("import needs ") + required);
  check_name(options.name);
  options.year = whole_value("--year", *year, 1, 9999);
  if (options.title.size() > 21) usage_error("--title holds at most 21 characters");
  for (char c : options.title)
    if (c < ' ' || c > '~') usage_error("--title holds a character outside ASCII");
  if (options.title.empty()) options.title = options.name;

  const bool direct = !m.lane_miles.empty();
  if (direct == !m.miles.empty())
    usage_error("give --lane-miles COL, or --miles COL with --lanes COL or --width-feet COL");
  if (direct && (!m.lanes.empty() || !m.width_feet.empty() || default_lanes))
    usage_error("--lanes, --width-feet and --default-lanes go with --miles, not --lane-miles");
  if (!direct && m.lanes.empty() == m.width_feet.empty())
    usage_error("--miles needs one of --lanes COL and --width-feet COL");
  if (default_lanes) m.default_lanes = whole_value("--default-lanes", *default_lanes, 1, 99);

  if (!m.type.empty() == !m.type_column.empty())
    usage_error("give --type TYPE, or --type-column COL with --type-map VALUE=TYPE,...");
  if (m.type_column.empty() == type_map.has_value())
    usage_error("--type-column and --type-map go together");
  if (type_map) m.type_map = parse_type_map(*type_map);

  if (!m.description.empty() && (!m.from.empty() || !m.to.empty()))
    usage_error("give --description COL, or --from COL with --to COL, not both");
  if (m.from.empty() != m.to.empty()) usage_error("--from and --to go together");
  return options;
}

// The rates file: --rates wherever it is, else the run's, as data/default.dat
// and its data set name it.
FilePath rates_file(const ImportOptions& options, const std::filesystem::path& root) {
  if (!options.rates.empty()) {
    std::filesystem::path path = options.rates;
    if (path.is_relative()) path = root / path;
    return FilePath{path, options.rates, true};
  }
  const Workdir workdir{root, /*read_only=*/true};
  RunSettings settings;
  read_default_dat(settings, workdir);
  if (!is_no(settings.secondary_data_answer)) {
    read_data_sets(settings, workdir);
    settings.data_set = enter_data_set(settings);
    if (!data_set_acceptable(settings, settings.data_set))
      fatal("data set " + std::to_string(settings.data_set) +
            " of data/default.dat is not one of the " + std::to_string(settings.data_set_count) +
            " listed in data/class.dat");
  }
  return parameter_file(settings, workdir, "detrates");
}

PavementTypes read_rates(const FilePath& path) {
  auto file = InputFile::open(path, IfMissing::kFail);
  if (!file) fatal_cannot_open(path.shown);
  PavementTypes types;
  read_deterioration_rates_file(types, *file);
  if (types.pavement_type_count == 0)
    fatal("the deterioration rates define no pavement type, file " + path.shown);
  return types;
}

std::string refusal_text(const Refusal& r) {
  std::string text = "  row " + std::to_string(r.row);
  if (!r.column.empty()) text += ", column \"" + r.column + "\", value \"" + r.value + "\"";
  return text + ": " + r.reason + "\n";
}

std::string hundredths_text(int64_t h) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%lld.%02lld", static_cast<long long>(h / 100),
                static_cast<long long>(h % 100));
  return buffer;
}

std::string column(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

void write_files(const ImportOptions& options, const std::filesystem::path& root,
                 const ImportedTable& table, const PavementTypes& types) {
  const Workdir workdir{root};
  const FilePath scores_path = workdir.roads(options.name);
  const FilePath ids_path = asset_ids_file(workdir, options.name);
  auto ids = OutputFile::create_replacement_or_fatal(ids_path);
  auto scores = OutputFile::create_replacement_or_fatal(scores_path);

  ids->write("segment,asset_id\n");
  std::string head = column(std::to_string(options.year), 4) + " NAMES\n" + options.title;
  head.append(21 - options.title.size(), ' ');
  scores->write(head + "\n");
  int64_t segment = 0;
  for (int p = 1; p <= types.pavement_type_count; ++p) {
    const auto k = static_cast<std::size_t>(p);
    if (table.ids[k].empty()) continue;
    scores->write(types.pavement_type_name[k].str() + "\n");
    scores->write(table.lines[k]);
    scores->write("\n");
    for (const std::string& id : table.ids[k]) ids->write(asset_id_row(++segment, id));
  }
  ids->close();
  try {
    scores->close();
  } catch (const FatalStop&) {
    remove_file(ids_path);
    throw;
  }
}

void print_summary(std::ostream& out, const ImportOptions& options, const ImportedTable& t,
                   const PavementTypes& types) {
  const std::string name = options.name;
  out << "Imported " << options.table << " to roads/" << name << " (its ids: roads/" << name
      << ".ids)\nNetwork \"" << options.title << "\", conditions of " << options.year << "\n\n";
  const int64_t unrated = t.blank_scores + t.zero_scores;
  out << "  rows read          " << column(std::to_string(t.rows_read), 9) << "\n"
      << "  imported           " << column(std::to_string(t.imported), 9) << " segments\n"
      << "  skipped, unrated   " << column(std::to_string(unrated), 9) << " (" << t.blank_scores
      << " blank scores, " << t.zero_scores << " scores of 0)\n";
  if (t.empty_rows > 0)
    out << "  skipped, empty     " << column(std::to_string(t.empty_rows), 9) << " rows\n";
  out << "  texts cut          " << column(std::to_string(t.highways_cut + t.descriptions_cut), 9)
      << " (" << t.highways_cut << " highway names, " << t.descriptions_cut << " descriptions)\n"
      << "  made plain ASCII   " << column(std::to_string(t.text.plain_letters), 9)
      << " characters as plain letters, " << t.text.question_marks << " as ?\n\n";

  out << " Lane-miles by score and pavement type\n Score";
  for (int p = 1; p <= types.pavement_type_count; ++p)
    out << column(std::string(types.pavement_type_name[static_cast<std::size_t>(p)].trimmed()), 11);
  out << column("Total", 11) << "\n";
  std::array<int64_t, kMaxPavementTypes + 1> by_type{};
  for (int s = 1; s <= kClasses; ++s) {
    out << column(std::to_string(s), 6);
    int64_t total = 0;
    for (int p = 1; p <= types.pavement_type_count; ++p) {
      const int64_t h = t.hundredths[static_cast<std::size_t>(p)][static_cast<std::size_t>(s)];
      out << column(hundredths_text(h), 11);
      total += h;
      by_type[static_cast<std::size_t>(p)] += h;
    }
    out << column(hundredths_text(total), 11) << "\n";
  }
  out << " Total";
  int64_t total = 0;
  for (int p = 1; p <= types.pavement_type_count; ++p) {
    out << column(hundredths_text(by_type[static_cast<std::size_t>(p)]), 11);
    total += by_type[static_cast<std::size_t>(p)];
  }
  out << column(hundredths_text(total), 11) << "\n";
  if (t.imported > kProgramSegmentCapacity)
    out << "\nThe program (pavecast) takes at most 2,500 segments; the " << t.imported
        << " segments of\n"
        << name << " can be projected by pavecast-scenarios only, which takes any number.\n";
}

bool exists(const FilePath& path) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::symlink_status(path.path, ec));
}

}  // namespace

std::string import_usage_text() {
  return "usage: pavecast-scenarios import TABLE.csv --name NAME --year YEAR --id COL --score COL\n"
         "         (--lane-miles COL | --miles COL (--lanes COL | --width-feet COL)\n"
         "          [--default-lanes N])\n"
         "         (--type-column COL --type-map VALUE=TYPE,... | --type TYPE)\n"
         "         [--jurisdiction COL] [--mcd COL] [--highway COL]\n"
         "         [--description COL | --from COL --to COL] [--title TEXT]\n"
         "         [--round] [--replace] [--rates FILE]\n"
         "  COL: a column's header text; NAME: the scores file roads/NAME, 1 to 9 characters\n"
         "  (its asset ids go to roads/NAME.ids); lanes from a width: width / 12, half up\n";
}

int run_import(const std::vector<std::string>& args, const std::filesystem::path& root,
               std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    out << import_usage_text();
    return 0;
  }
  ImportOptions options;
  try {
    options = parse_import_options(args);
  } catch (const ImportUsageError& e) {
    err << "pavecast-scenarios: " << e.message << "\n" << import_usage_text();
    return 2;
  }
  std::error_code ec;
  if (!std::filesystem::is_directory(root / "roads", ec)) {
    err << "pavecast-scenarios: run import in a program directory, one that holds the data/ and "
           "roads/ folders (make run makes build/run); "
        << root.string() << " has no roads/\n";
    return 1;
  }

  try {
    const Workdir workdir{root};
    for (const FilePath& path :
         {workdir.roads(options.name), asset_ids_file(workdir, options.name)})
      if (exists(path) && !options.replace)
        fatal(path.shown +
              " exists: give --replace to replace it (and its ids), or another --name");
    const FilePath rates = rates_file(options, root);
    const PavementTypes types = read_rates(rates);
    const std::string& type = options.mapping.type;
    if (!type.empty() && (type.size() > 8 || types.find(Text<8>(type)) == 0)) {
      std::string names;
      for (int p = 1; p <= types.pavement_type_count; ++p)
        names += (p == 1 ? "" : ", ") +
                 std::string(types.pavement_type_name[static_cast<std::size_t>(p)].trimmed());
      fatal("--type " + type + " is not a pavement type of " + rates.shown + " (" + names + ")");
    }

    std::filesystem::path table_path = options.table;
    if (table_path.is_relative()) table_path = root / table_path;
    if (!std::filesystem::is_regular_file(table_path, ec))
      fatal("the table " + options.table + " is not a file that can be read");
    std::ifstream in(table_path, std::ios::binary);
    if (!in) fatal_cannot_open(options.table);
    const ImportedTable table = import_table(in, options.table, options.mapping, types);

    if (table.refusal_count > 0) {
      err << "pavecast-scenarios: " << options.table << ": " << table.refusal_count
          << (table.refusal_count == 1 ? " value refused" : " values refused")
          << "; nothing written\n";
      for (const Refusal& r : table.refusals) err << refusal_text(r);
      if (table.refusal_count > static_cast<int64_t>(table.refusals.size()))
        err << "  and " << table.refusal_count - static_cast<int64_t>(table.refusals.size())
            << " more\n";
      return 1;
    }
    if (table.imported == 0)
      fatal("the table " + options.table + " holds no rated row: nothing written");
    write_files(options, root, table, types);
    print_summary(out, options, table, types);
    return 0;
  } catch (const TableError& e) {
    err << "pavecast-scenarios: " << e.message << "; nothing written\n";
    return 1;
  } catch (const FatalStop& stop) {
    out.flush();
    err << stop.console_text;
    return stop.status;
  }
}

}  // namespace pavecast
