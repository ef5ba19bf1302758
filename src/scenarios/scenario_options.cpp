#include "scenarios/scenario_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

#include "scenarios/calibrate_command.h"

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

// The flags each command takes.
const std::map<ToolCommand, std::set<std::string>>& command_flags() {
  static const std::map<ToolCommand, std::set<std::string>> kFlags = {
      {ToolCommand::kSweep,
       {"--from", "--to", "--step", "--order", "--years", "--csv", "--svg", "--jobs", "--by"}},
      {ToolCommand::kNeeds,
       {"--max-poor", "--min-mean", "--min-good", "--from-year", "--order", "--years", "--csv",
        "--svg", "--jobs"}},
      {ToolCommand::kOrders, {"--funding", "--years", "--csv", "--svg", "--jobs", "--by"}},
      {ToolCommand::kPlan, {"--funding", "--order", "--years", "--csv", "--conditions", "--by"}},
      {ToolCommand::kReport,
       {"--html", "--from", "--to", "--step", "--order", "--years", "--jobs", "--max-poor",
        "--min-mean", "--min-good", "--from-year"}},
  };
  return kFlags;
}

const char* command_name(ToolCommand command) {
  switch (command) {
    case ToolCommand::kSweep:
      return "sweep";
    case ToolCommand::kNeeds:
      return "needs";
    case ToolCommand::kOrders:
      return "orders";
    case ToolCommand::kPlan:
      return "plan";
    case ToolCommand::kReport:
      return "report";
    case ToolCommand::kHelp:
      break;
  }
  return "help";
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
  // Appended, not a literal plus a temporary string: g++ 12 at -O3 reports a
  // false -Wrestrict on that (GCC bug 105651).
  std::string text =
         "usage: pavecast-scenarios sweep --from M --to M --step M [--order N] [--by G]\n"
         "       pavecast-scenarios needs TARGET... [--from-year YEAR] [--order N]\n"
         "       pavecast-scenarios orders [--funding M] [--by G]\n"
         "       pavecast-scenarios plan [--funding M] [--order N] [--conditions FILE] [--by G]\n"
         "       pavecast-scenarios report --html FILE --from M --to M --step M [--order N]\n"
         "                                 [TARGET... [--from-year YEAR]]\n";
  text += calibrate_usage();
  return text +
         "  TARGET: --max-poor PERCENT, --min-mean SCORE, --min-good PERCENT\n"
         "  N: 1 random, 2 priority, 3 worst first, 4 best first, 5 cost-effectiveness\n"
         "  G: type or jurisdiction\n"
         "  all but calibrate take [--years N]; sweep, needs, orders and plan [--csv FILE];\n"
         "  sweep, needs and orders [--svg FILE]; all but plan and calibrate [--jobs N]\n"
         "  (M: millions of dollars a year, to the cent; run in a directory holding data/\n"
         "  and roads/, such as build/run, which make run makes)\n";
}

ToolOptions parse_tool_options(const std::vector<std::string>& args) {
  ToolOptions options;
  if (args.empty()) usage_error("no command given");
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    if (args.size() > 1) usage_error("--help takes nothing after it");
    options.command = ToolCommand::kHelp;
    return options;
  }
  if (command == "sweep") {
    options.command = ToolCommand::kSweep;
  } else if (command == "needs") {
    options.command = ToolCommand::kNeeds;
  } else if (command == "orders") {
    options.command = ToolCommand::kOrders;
  } else if (command == "plan") {
    options.command = ToolCommand::kPlan;
  } else if (command == "report") {
    options.command = ToolCommand::kReport;
  } else {
    usage_error("unknown command \"" + command + "\"");
  }

  const std::set<std::string>& flags = command_flags().at(options.command);
  std::set<std::string> seen;
  for (std::size_t i = 1; i < args.size(); ++i) {
    std::string flag = args[i];
    std::optional<std::string> value;
    if (std::size_t eq = flag.find('='); flag.starts_with("--") && eq != std::string::npos) {
      value = flag.substr(eq + 1);
      flag = flag.substr(0, eq);
    }
    if (!flag.starts_with("--")) usage_error("unexpected argument \"" + flag + "\"");
    bool known = false;
    for (const auto& [cmd, names] : command_flags()) known = known || names.contains(flag);
    if (!known) usage_error("unknown option " + flag);
    if (!flags.contains(flag))
      usage_error(flag + " is not an option of " + command_name(options.command));
    if (!seen.insert(flag).second) usage_error(flag + " is given twice");
    if (!value) {
      if (i + 1 >= args.size() || args[i + 1].starts_with("--"))
        usage_error(flag + " needs a value");
      value = args[++i];
    }
    set_value(options, flag, *value);
  }

  auto require = [&](const char* flag) {
    if (!seen.contains(flag))
      usage_error(std::string(command_name(options.command)) + " needs " + flag);
  };
  if (options.command == ToolCommand::kSweep || options.command == ToolCommand::kReport) {
    require("--from");
    require("--to");
    require("--step");
    if (options.to_cents < options.from_cents)
      usage_error("--to is below --from: the sweep has no level");
    if (options.step_cents <= 0) usage_error("--step must be at least 0.01");
    if ((options.to_cents - options.from_cents) / options.step_cents + 1 > kMaxLevels)
      usage_error("the sweep would run more than " + std::to_string(kMaxLevels) + " levels");
  }
  if (options.command == ToolCommand::kReport) require("--html");
  if (options.command == ToolCommand::kNeeds && !options.targets.any())
    usage_error("needs takes at least one target: --max-poor, --min-mean or --min-good");
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
