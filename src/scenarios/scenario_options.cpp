#include "scenarios/scenario_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

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
       {"--from", "--to", "--step", "--order", "--years", "--csv", "--svg", "--jobs"}},
      {ToolCommand::kNeeds, {"--max-poor", "--order", "--years", "--csv", "--svg", "--jobs"}},
      {ToolCommand::kOrders, {"--funding", "--years", "--csv", "--svg", "--jobs"}},
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
  } else if (flag == "--max-poor") {
    options.max_poor = parse_number(flag, value);
    if (options.max_poor < 0.0 || options.max_poor > 100.0)
      usage_error("--max-poor is a percent from 0 to 100, not " + value);
  } else if (flag == "--order") {
    options.order = parse_whole(flag, value, 1, 4);
  } else if (flag == "--years") {
    options.years = parse_whole(flag, value, 0, 97);
  } else if (flag == "--jobs") {
    options.jobs = parse_whole(flag, value, 1, 64);
  } else if (flag == "--csv" || flag == "--svg") {
    if (value.empty()) usage_error(flag + " needs a file name");
    (flag == "--csv" ? options.csv_file : options.svg_file) = value;
  }
}

}  // namespace

std::string usage_text() {
  return "usage: pavecast-scenarios sweep --from M --to M --step M [--order N]\n"
         "       pavecast-scenarios needs --max-poor PERCENT [--order N]\n"
         "       pavecast-scenarios orders [--funding M]\n"
         "  each also takes [--years N] [--csv FILE] [--svg FILE] [--jobs N]\n"
         "  (M: millions of dollars a year, to the cent; run in the program's directory)\n";
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
  if (options.command == ToolCommand::kSweep) {
    require("--from");
    require("--to");
    require("--step");
    if (options.to_cents < options.from_cents)
      usage_error("--to is below --from: the sweep has no level");
    if (options.step_cents <= 0) usage_error("--step must be at least 0.01");
    if ((options.to_cents - options.from_cents) / options.step_cents + 1 > kMaxLevels)
      usage_error("the sweep would run more than " + std::to_string(kMaxLevels) + " levels");
  } else if (options.command == ToolCommand::kNeeds) {
    require("--max-poor");
  }
  return options;
}

std::vector<int64_t> sweep_levels(const ToolOptions& options) {
  std::vector<int64_t> levels;
  for (int64_t c = options.from_cents; c <= options.to_cents; c += options.step_cents)
    levels.push_back(c);
  return levels;
}

}  // namespace pavecast
