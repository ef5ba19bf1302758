// The scenario tool's commands, one entry each: its name, its usage line, what
// it does, the options it takes and needs, whether it projects the saved
// budget, and its handler (one file each, command_NAME.cpp). The usage text,
// --help and the option checks are made from this table, so adding a command
// is one entry here and one handler file.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace pavecast {

struct ToolOptions;
struct CommandRun;

// Whether a command projects the saved answers' budget (which reads the
// funding file when the budget is variable).
enum class SavedBudget { kNever, kUnlessFunding, kAlways };

struct ToolCommand {
  std::string_view name;
  // The usage line after the program's name; a second line, after '\n', is
  // aligned under the options.
  std::string_view synopsis;
  std::string_view summary;  // what it does, for --help
  std::vector<std::string_view> options;   // every option it takes
  std::vector<std::string_view> required;  // those it cannot go without
  SavedBudget saved_budget = SavedBudget::kNever;
  bool all_orders = false;  // projects every repair order (the priority file is read)
  // Checks beyond the required options; throws UsageError. May be null.
  void (*check)(const ToolOptions&) = nullptr;
  int (*handler)(CommandRun&) = nullptr;
  // A command that loads no base scenario (import, calibrate) reads its own
  // command line, the arguments after its name, and says its own usage
  // errors; it stands in for `handler`, and `options` is then empty.
  int (*own_command_line)(const std::vector<std::string>& args, const std::filesystem::path& root,
                          std::ostream& out, std::ostream& err) = nullptr;
};

const std::vector<ToolCommand>& tool_commands();

// The command of that name, or null.
const ToolCommand* find_command(std::string_view name);

}  // namespace pavecast
