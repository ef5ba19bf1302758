// The scenario tool's command line:
//
//   pavecast-scenarios sweep --from M --to M --step M [common options]
//   pavecast-scenarios needs --max-poor P [common options]
//   pavecast-scenarios orders [--funding M] [common options]
//   common: [--order N] (sweep, needs) [--years N] [--csv FILE] [--svg FILE] [--jobs N]
//
// Values follow their flag as the next argument or after "=". Money is in
// millions of dollars to the cent (at most two decimals), 0 to 99999.99;
// sweep levels run from --from by --step while they do not pass --to (at most
// 10,000 of them). --max-poor is a percent from 0 to 100, --order 1 to 4
// (random, priority, worst first, best first), --years 0 to 97, --jobs 1 to 64.
// Anything else (an unknown command or flag, a flag given twice or not taken
// by the command, a missing or malformed value, a range that makes no sense)
// is a usage error.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pavecast {

enum class ToolCommand { kSweep, kNeeds, kOrders, kHelp };

struct ToolOptions {
  ToolCommand command = ToolCommand::kHelp;
  int64_t from_cents = 0, to_cents = 0, step_cents = 0;  // sweep
  double max_poor = 0.0;                                 // needs
  std::optional<int64_t> funding_cents;                  // orders
  std::optional<int32_t> order;                          // sweep, needs
  std::optional<int32_t> years;
  std::string csv_file;
  std::string svg_file;
  int jobs = 0;  // 0: one thread per core
};

struct UsageError {
  std::string message;
};

// Throws UsageError.
ToolOptions parse_tool_options(const std::vector<std::string>& args);

// The sweep's levels in cents, in order.
std::vector<int64_t> sweep_levels(const ToolOptions& options);

// The usage lines, ending with a line end.
std::string usage_text();

}  // namespace pavecast
