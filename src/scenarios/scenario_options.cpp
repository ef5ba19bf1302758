#include "scenarios/scenario_options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <string_view>
#include <utility>

namespace pavecast {

namespace {

constexpr int64_t kMaxCents = 9999999;  // $99,999.99M
constexpr int64_t kMaxLevels = 10000;

[[noreturn]] void usage_error(const std::string& message) {
  throw UsageError{message};
}

// A plain decimal number: digits with at most one point, an optional sign;
// no exponent, no blanks, nothing after it.
double parse_number(const std::string& flag, const std::string& text) {
  bool digit = false;
  bool point = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c == '.' && !point) {
      point = true;
    } else if (!((c == '-' || c == '+') && i == 0)) {
      usage_error(flag + " takes a number, not \"" + text + "\"");
    }
  }
  if (!digit) usage_error(flag + " takes a number, not \"" + text + "\"");
  errno = 0;
  double value = std::strtod(text.c_str(), nullptr);
  if (errno == ERANGE || !std::isfinite(value)) usage_error(flag + " is out of range: " + text);
  return value;
}

int32_t parse_whole(const std::string& flag, const std::string& text, int32_t low, int32_t high) {
  double value = parse_number(flag, text);
  if (value != std::floor(value) || value < low || value > high)
    usage_error(flag + " takes a whole number from " + std::to_string(low) + " to " +
                std::to_string(high) + ", not " + text);
  return static_cast<int32_t>(value);
}

// Millions of dollars to the cent.
int64_t parse_money(const std::string& flag, const std::string& text) {
  double value = parse_number(flag, text);
  if (value < 0.0) usage_error(flag + " cannot be negative: " + text);
  double cents = value * 100.0;
  double whole = std::round(cents);
  if (std::fabs(cents - whole) > 1e-6)
    usage_error(flag + " is in millions of dollars to the cent (two decimals at most): " + text);
  if (whole > static_cast<double>(kMaxCents))
    usage_error(flag + " is more than 99999.99 million: " + text);
  return static_cast<int64_t>(whole);
}

bool known_option(std::string_view flag) {
  for (const ToolCommand& c : tool_commands())
    for (std::string_view o : c.options)
      if (o == flag) return true;
  return false;
}

bool takes(const ToolCommand& command, std::string_view flag) {
  for (std::string_view o : command.options)
    if (o == flag) return true;
  return false;
}

// "sweep, needs and orders"; "all"; "all but plan".
std::string takers(std::string_view flag) {
  std::vector<std::string_view> yes, no;
  for (const ToolCommand& c : tool_commands()) (takes(c, flag) ? yes : no).push_back(c.name);
  if (no.empty()) return "all take";
  if (no.size() == 1 && yes.size() > 2) return "all but " + std::string(no[0]) + " take";
  std::string out;
  for (std::size_t i = 0; i < yes.size(); ++i)
    out += (i == 0 ? "" : i + 1 == yes.size() ? " and " : ", ") + std::string(yes[i]);
  return out + (yes.size() == 1 ? " takes" : " take");
}

void set_value(ToolOptions& options, const std::string& flag, const std::string& value) {
  if (flag == "--from") {
    options.from_cents = parse_money(flag, value);
  } else if (flag == "--to") {
    options.to_cents = parse_money(flag, value);
  } else if (flag == "--step") {
    options.step_cents = parse_money(flag, value);
  } else if (flag == "--funding") {
    options.funding_cents = parse_money(flag, value);
  } else if (flag == "--max-poor" || flag == "--min-good") {
    const double percent = parse_number(flag, value);
    if (percent < 0.0 || percent > 100.0)
      usage_error(flag + " is a percent from 0 to 100, not " + value);
    (flag == "--max-poor" ? options.targets.max_poor : options.targets.min_good) = percent;
  } else if (flag == "--min-mean") {
    options.targets.min_mean = parse_number(flag, value);
    if (*options.targets.min_mean < 1.0 || *options.targets.min_mean > 10.0)
      usage_error("--min-mean is a score from 1 to 10, not " + value);
  } else if (flag == "--from-year") {
    options.targets.from_year = parse_whole(flag, value, 1, 9999);
  } else if (flag == "--by") {
    if (value == "type")
      options.by = GroupBy::kType;
    else if (value == "jurisdiction")
      options.by = GroupBy::kJurisdiction;
    else
      usage_error("--by takes type or jurisdiction, not \"" + value + "\"");
  } else if (flag == "--order") {
    options.order = parse_whole(flag, value, 1, 5);
  } else if (flag == "--years") {
    options.years = parse_whole(flag, value, 0, 97);
  } else if (flag == "--jobs") {
    options.jobs = parse_whole(flag, value, 1, 64);
  } else if (flag == "--network") {
    if (value.empty() || value.size() > 9 || names_a_directory(value) ||
        value.find_first_of(" \t") != std::string::npos)
      usage_error("--network takes the name of a scores file in roads/ (at most 9 characters, "
                  "no blanks or folders), not \"" + value + "\"");
    options.network = value;
  } else if (flag == "--rates") {
    if (value.empty()) usage_error("--rates needs a file name");
    options.rates_file = value;
  } else if (flag == "--draws") {
    options.draws = parse_whole(flag, value, 0, 100000);
  } else if (flag == "--seed") {
    options.seed = parse_whole(flag, value, 0, 2147483647);
  } else if (flag == "--rate-spread") {
    options.rate_spread = parse_number(flag, value);
    if (options.rate_spread < 0.0) usage_error("--rate-spread cannot be negative: " + value);
    if (options.rate_spread > 1000.0)
      usage_error("--rate-spread is a percent of at most 1000, not " + value);
  } else if (flag == "--rate-intervals") {
    if (value.empty()) usage_error("--rate-intervals needs a file name");
    options.rate_intervals = value;
  } else if (flag == "--confidence") {
    options.confidence = parse_whole(flag, value, 1, 99);
  } else if (flag == "--csv" || flag == "--svg" || flag == "--conditions" || flag == "--html") {
    if (value.empty()) usage_error(flag + " needs a file name");
    (flag == "--csv"          ? options.csv_file
     : flag == "--svg"        ? options.svg_file
     : flag == "--conditions" ? options.conditions_file
                              : options.html_file) = value;
  }
}

}  // namespace

std::string usage_text() {
  const std::string program = "pavecast-scenarios ";
  std::string out;
  for (const ToolCommand& c : tool_commands()) {
    out += (out.empty() ? "usage: " : "       ") + program;
    const std::size_t cut = c.synopsis.find('\n');
    out += std::string(c.synopsis.substr(0, cut)) + "\n";
    if (cut != std::string_view::npos)
      out += std::string(7 + program.size() + c.name.size() + 1, ' ') +
             std::string(c.synopsis.substr(cut + 1)) + "\n";
  }
  out +=
      "  TARGET: --max-poor PERCENT, --min-mean SCORE, --min-good PERCENT\n"
      "  N: 1 random, 2 priority, 3 worst first, 4 best first, 5 cost-effectiveness\n"
      "  G: type or jurisdiction\n";
  // The options most commands share, said once, in lines of at most 80.
  std::string line = " ";
  for (const char* shared : {"--network NAME", "--rates FILE", "--years N", "--csv FILE",
                             "--svg FILE", "--jobs N"}) {
    const std::string flag(std::string_view(shared).substr(0, std::string_view(shared).find(' ')));
    std::string part = " ";  // appended: a literal + a temporary trips g++ 12's -Wrestrict
    part += takers(flag);
    part += " [";
    part += shared;
    part += "];";
    if (line.size() + part.size() > 80) {
      out += line + "\n";
      line.assign(1, ' ');
    }
    line += part;
  }
  out += line.substr(0, line.size() - 1) + "\n";
  out +=
      "  sweep, needs, orders and report take [--draws N] [--seed S] [--rate-spread\n"
      "  PERCENT] [--rate-intervals FILE]; needs and report [--confidence C]\n";
  return out +
         "  (M: millions of dollars a year, to the cent; run in a directory holding data/\n"
         "  and roads/, such as build/run, which make run makes)\n";
}

std::string help_text() {
  std::string out = usage_text() + "commands:\n";
  for (const ToolCommand& c : tool_commands()) {
    std::string name(c.name);
    name.resize(std::max<std::size_t>(name.size() + 1, 8), ' ');
    out += "  " + name + std::string(c.summary) + "\n";
  }
  return out;
}

void check_sweep_levels(const ToolOptions& options) {
  if (options.to_cents < options.from_cents)
    usage_error("--to is below --from: the sweep has no level");
  if (options.step_cents <= 0) usage_error("--step must be at least 0.01");
  if ((options.to_cents - options.from_cents) / options.step_cents + 1 > kMaxLevels)
    usage_error("the sweep would run more than " + std::to_string(kMaxLevels) + " levels");
}

void check_some_target(const ToolOptions& options) {
  if (!options.targets.any())
    usage_error("needs takes at least one target: --max-poor, --min-mean or --min-good");
}

std::vector<OutputOption> output_options(const ToolOptions& options) {
  std::vector<OutputOption> out;
  for (const auto& [flag, file] : {std::pair{"--csv", &options.csv_file},
                                   std::pair{"--svg", &options.svg_file},
                                   std::pair{"--conditions", &options.conditions_file},
                                   std::pair{"--html", &options.html_file}})
    if (!file->empty()) out.push_back({flag, *file});
  return out;
}

ToolOptions parse_tool_options(const std::vector<std::string>& args) {
  ToolOptions options;
  if (args.empty()) usage_error("no command given");
  const std::string& name = args[0];
  if (name == "--help" || name == "-h" || name == "help") {
    if (args.size() > 1) usage_error("--help takes nothing after it");
    return options;
  }
  options.command = find_command(name);
  if (!options.command) usage_error("unknown command \"" + name + "\"");
  const ToolCommand& command = *options.command;

  std::set<std::string> seen;
  for (std::size_t i = 1; i < args.size(); ++i) {
    std::string flag = args[i];
    std::optional<std::string> value;
    if (std::size_t eq = flag.find('='); flag.starts_with("--") && eq != std::string::npos) {
      value = flag.substr(eq + 1);
      flag = flag.substr(0, eq);
    }
    if (!flag.starts_with("--")) usage_error("unexpected argument \"" + flag + "\"");
    if (!known_option(flag)) usage_error("unknown option " + flag);
    if (!takes(command, flag)) usage_error(flag + " is not an option of " + name);
    if (!seen.insert(flag).second) usage_error(flag + " is given twice");
    if (!value) {
      if (i + 1 >= args.size() || args[i + 1].starts_with("--"))
        usage_error(flag + " needs a value");
      value = args[++i];
    }
    set_value(options, flag, *value);
  }
  for (std::string_view flag : command.required)
    if (!seen.contains(std::string(flag))) usage_error(name + " needs " + std::string(flag));
  if (command.check) command.check(options);
  for (const char* flag : {"--seed", "--rate-spread", "--rate-intervals", "--confidence"})
    if (seen.contains(flag) && !options.draws)
      usage_error(std::string(flag) + " goes with --draws N");
  if (options.confidence && *options.draws == 0)
    usage_error("--confidence needs --draws of at least 1");
  if (options.confidence && !options.targets.any())
    usage_error("--confidence goes with a target: --max-poor, --min-mean or --min-good");
  if (seen.contains("--from-year") && !options.targets.any())
    usage_error("--from-year goes with a target: --max-poor, --min-mean or --min-good");
  return options;
}

std::vector<int64_t> sweep_levels(const ToolOptions& options) {
  std::vector<int64_t> levels;
  for (int64_t c = options.from_cents; c <= options.to_cents; c += options.step_cents)
    levels.push_back(c);
  return levels;
}

}  // namespace pavecast
