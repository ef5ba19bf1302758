// The scenario tool's command line: a command of the table (tool_commands.h)
// and its options; usage_text() lists every command and option.
//
// Values follow their flag as the next argument or after "=". Money is in
// millions of dollars to the cent (at most two decimals), 0 to 99999.99;
// sweep levels run from --from by --step while they do not pass --to (at most
// 10,000 of them). --max-poor and --min-good are percents from 0 to 100,
// --min-mean a score from 1 to 10, --from-year a calendar year, --order 1 to
// 5 (random, priority, worst first, best first, cost-effectiveness), --by
// type or jurisdiction, --years 0 to 97, --jobs 1 to 64, --network a scores
// file's name in roads/ (at most 9 characters, no folder), --rates a file
// anywhere (relative to the working directory), --draws 0 to 100,000,
// --seed 0 to 2147483647, --rate-spread a percent not below 0 (at most
// 1,000), --rate-intervals a file as --rates, --confidence 1 to 99; --seed,
// --rate-spread, --rate-intervals and --confidence go with --draws, and
// --confidence with a --draws of at least 1. Anything else (an
// unknown command or flag, a flag given twice or not taken by the command, a
// missing or malformed value, a range that makes no sense) is a usage error.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "scenarios/funding_search.h"
#include "scenarios/scenario.h"
#include "scenarios/tool_commands.h"

namespace pavecast {

// The --csv name that means standard output (sweep only).
inline constexpr const char* kStandardOutput = "-";

struct ToolOptions {
  const ToolCommand* command = nullptr;                  // null: --help
  int64_t from_cents = 0, to_cents = 0, step_cents = 0;  // sweep, report
  Targets targets;                                       // needs, report
  std::optional<int64_t> funding_cents;                  // orders, plan
  std::optional<int32_t> order;                          // sweep, needs, plan, report
  std::optional<int32_t> years;
  GroupBy by = GroupBy::kNone;  // sweep, orders, plan
  std::string csv_file;
  std::string svg_file;
  std::string conditions_file;  // plan
  std::string html_file;        // report
  int jobs = 0;                 // 0: one thread per core
  std::string network;          // empty: the saved answers' network
  std::string rates_file;       // empty: the run's rates file
  // Draws (sweep, needs, orders, report): none without --draws.
  std::optional<int32_t> draws;       // 0..100,000
  int64_t seed = 1;                   // 0..2^31 - 1
  double rate_spread = 20.0;          // percent, not negative
  std::string rate_intervals;         // empty: the spread for every class
  std::optional<int32_t> confidence;  // needs, report: percent, 1..99
};

// A bad command line, or an output refused: status 2.
struct UsageError : std::exception {
  explicit UsageError(std::string text) : message(std::move(text)) {}
  const char* what() const noexcept override { return message.c_str(); }
  std::string message;
};

// Throws UsageError.
ToolOptions parse_tool_options(const std::vector<std::string>& args);

// The checks of the table's commands beyond their required options.
void check_sweep_levels(const ToolOptions& options);  // a range that gives levels
void check_some_target(const ToolOptions& options);   // at least one target

// The files the options name for writing, in the order of the options.
struct OutputOption {
  const char* option;  // "--csv"
  std::string file;
};
std::vector<OutputOption> output_options(const ToolOptions& options);

// The sweep's levels in cents, in order.
std::vector<int64_t> sweep_levels(const ToolOptions& options);

// The usage lines, ending with a line end.
std::string usage_text();
// --help: the usage lines, then each command with what it does.
std::string help_text();

}  // namespace pavecast
