#include "dialogue/parameter_files.h"

#include "dialogue/saved_answers.h"
#include "layout/layout.h"
#include "readers/deterioration_rates.h"
#include "readers/policy_matrices.h"
#include "readers/repair_actions.h"

namespace pavecast {

namespace {

using layout::Layout;

void show_limit_heading(Console& console) {
  static const Layout kHeading(
      "/,' Repair',/,' Number Description',19X,'Current Max',9X,'New Maximum',/,"
      "1X,6('-'),1X,11('-'),19X,11('-'),9X,11('-')");
  console.line("Enter the maximum number of times each action should be performed");
  console.line(" before going to the next greatest action.");
  console.write(kHeading, {});
}

// The analyst's new limit for one changeable action. Enter gives 0, which
// takes the action out of the run; a typed 9 stays 9.
int32_t ask_limit(const RepairAction& action, Console& console) {
  static const Layout kLine("1X,I2,4X,A29,' currently is ',I1");
  static const Layout kI1("I1");
  console.write(kLine, {action.action_number, action.action_description, action.max_repeats});
  console.dir2();
  return console.read_int(kI1);
}

std::unique_ptr<InputFile> open_parameter_file(const Dialogue& d, const RunSettings& settings,
                                               std::string_view base) {
  return InputFile::open_or_fatal(parameter_file(settings, d.workdir, base),
                                  IfMissing::kCreateEmpty);
}

}  // namespace

void read_repair_actions(const Dialogue& d, RunSettings& settings, RepairActions& actions) {
  static const Layout kQuestion("' Do you want to change the frequency of repair policy? ',A1");
  Console& console = d.console;

  auto file = open_parameter_file(d, settings, "repairs");

  console.line("");
  console.directions();
  console.write(kQuestion, {settings.change_repeat_policy});
  settings.change_repeat_policy =
      console.readinput(settings.change_repeat_policy, settings.keep_default_char);
  d.echo(kQuestion, {settings.change_repeat_policy});
  LimitQuestion new_limit;
  if (is_yes(settings.change_repeat_policy)) {
    show_limit_heading(console);
    // Each changeable action is asked for as soon as its record is read.
    new_limit = [&console](const RepairAction& action) { return ask_limit(action, console); };
  } else {
    console.progress("Reading Repair Data");
  }
  read_repair_actions_file(actions, *file, new_limit);
}

void read_deterioration_rates(const Dialogue& d, const RunSettings& settings,
                              PavementTypes& types) {
  d.console.progress("Reading Deterioration Rates");
  read_deterioration_rates_file(types, *open_parameter_file(d, settings, "detrates"));
}

void read_policy_matrices(const Dialogue& d, const RunSettings& settings,
                          const PavementTypes& types, PolicyMatrix& policy) {
  d.console.progress("Reading Policy Matrices");
  read_policy_matrices_file(types, policy, *open_parameter_file(d, settings, "matrix"));
}

}  // namespace pavecast
