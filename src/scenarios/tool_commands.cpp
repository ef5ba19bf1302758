#include "scenarios/tool_commands.h"

#include "scenarios/calibrate_command.h"
#include "scenarios/import_command.h"
#include "scenarios/scenario_options.h"

namespace pavecast {

// The handlers, one file each.
int sweep_command(CommandRun& run);
int needs_command(CommandRun& run);
int orders_command(CommandRun& run);
int plan_command(CommandRun& run);
int report_command(CommandRun& run);

const std::vector<ToolCommand>& tool_commands() {
  static const std::vector<ToolCommand> kCommands = {
      {"sweep",
       "sweep --from M --to M --step M [--order N] [--by G]",
       "each fixed funding level from --from by --step up to --to",
       {"--from", "--to", "--step", "--order", "--years", "--csv", "--svg", "--jobs", "--by",
        "--network", "--rates", "--draws", "--seed", "--rate-spread", "--rate-intervals"},
       {"--from", "--to", "--step"},
       SavedBudget::kNever,
       false,
       check_sweep_levels,
       sweep_command},
      {"needs",
       "needs TARGET... [--from-year YEAR] [--order N]",
       "the smallest fixed funding, to $0.01M, that meets every target",
       {"--max-poor", "--min-mean", "--min-good", "--from-year", "--order", "--years", "--csv",
        "--svg", "--jobs", "--network", "--rates", "--draws", "--seed", "--rate-spread",
        "--rate-intervals", "--confidence"},
       {},
       SavedBudget::kNever,
       false,
       check_some_target,
       needs_command},
      {"orders",
       "orders [--funding M] [--by G]",
       "the five repair orders on one budget (--funding, else the saved one)",
       {"--funding", "--years", "--csv", "--svg", "--jobs", "--by", "--network", "--rates",
        "--draws", "--seed", "--rate-spread", "--rate-intervals"},
       {},
       SavedBudget::kUnlessFunding,
       true,
       nullptr,
       orders_command},
      {"plan",
       "plan [--funding M] [--order N] [--conditions FILE] [--by G]",
       "the work plan of one budget (--funding, else the saved one)",
       {"--funding", "--order", "--years", "--csv", "--conditions", "--by", "--network",
        "--rates"},
       {},
       SavedBudget::kUnlessFunding,
       false,
       nullptr,
       plan_command},
      {"report",
       "report --html FILE --from M --to M --step M [--order N]\n[TARGET... [--from-year YEAR]]",
       "one HTML page of the network, the saved budget, a sweep and targets",
       {"--html", "--from", "--to", "--step", "--order", "--years", "--jobs", "--max-poor",
        "--min-mean", "--min-good", "--from-year", "--network", "--rates", "--draws", "--seed",
        "--rate-spread", "--rate-intervals", "--confidence"},
       {"--html", "--from", "--to", "--step"},
       SavedBudget::kAlways,
       false,
       check_sweep_levels,
       report_command},
      {"import",
       "import TABLE.csv --name NAME --year YEAR --id COL --score COL ... (import --help)",
       "an agency's ratings table (CSV) into roads/NAME and its ids",
       {},
       {},
       SavedBudget::kNever,
       false,
       nullptr,
       nullptr,
       run_import},
      {"calibrate",
       "calibrate --before NAME --after NAME [--check NAME] [--rates FILE]\n"
       "[--rates-out FILE] [--intervals-out FILE] [--noise N] [--min-count N] [--csv FILE]",
       "deterioration rates fitted to two ratings, checked on a third",
       {},
       {},
       SavedBudget::kNever,
       false,
       nullptr,
       nullptr,
       run_calibrate},
  };
  return kCommands;
}

const ToolCommand* find_command(std::string_view name) {
  for (const ToolCommand& c : tool_commands())
    if (c.name == name) return &c;
  return nullptr;
}

}  // namespace pavecast
