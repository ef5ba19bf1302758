#include "readers/repair_actions.h"

#include "dialogue/echo.h"
#include "dialogue/saved_answers.h"
#include "layout/layout.h"
#include "io/record_files.h"

namespace pavecast {

namespace {

using layout::Layout;
using layout::ReadStatus;

constexpr int32_t kFileNoLimit = 9;  // a limit of 9 in the file means none
constexpr int32_t kNoLimit = 1000;   // more repeats than any run can make
constexpr char kChangeableMark = '*';

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

}  // namespace

void read_repair_actions_file(RunContext& ctx, InputFile& file, const LimitQuestion& new_limit) {
  static const Layout kRecord("I1,1X,I2,1X,I1,A1,A29,F4.1,4X,F5.3,1X,I1");

  // A way back reads the file again: start from an empty table.
  ctx.actions = RepairActions{};
  for (int a = 1; a <= kMaxActions; ++a) {
    RepairAction& action = ctx.actions[a];
    char mark = ' ';
    ReadStatus status =
        kRecord.read(file, {action.action_rank, action.action_number, action.max_repeats, mark,
                            action.action_description, action.score_gain, action.action_cost,
                            action.new_pavement_type});
    if (status == ReadStatus::kEndOfFile) return;
    if (status == ReadStatus::kError) fatal_unreadable(file);
    ctx.actions.action_count = a;
    // The limit is shown as the run takes it: a 9 from the file as no limit.
    if (action.max_repeats == kFileNoLimit) action.max_repeats = kNoLimit;
    if (new_limit && mark == kChangeableMark) action.max_repeats = new_limit(action);
  }
}

void read_repair_actions(RunContext& ctx, Console& console) {
  static const Layout kQuestion("' Do you want to change the frequency of repair policy? ',A1");

  auto file = InputFile::open_or_fatal(parameter_file(ctx, "repairs"), IfMissing::kCreateEmpty);

  console.line("");
  console.directions();
  console.write(kQuestion, {ctx.change_repeat_policy});
  ctx.change_repeat_policy = console.readinput(ctx.change_repeat_policy, ctx.keep_default_char);
  echo(ctx, kQuestion, {ctx.change_repeat_policy});
  LimitQuestion new_limit;
  if (is_yes(ctx.change_repeat_policy)) {
    show_limit_heading(console);
    // Each changeable action is asked for as soon as its record is read.
    new_limit = [&console](const RepairAction& action) { return ask_limit(action, console); };
  } else {
    console.progress("Reading Repair Data");
  }
  read_repair_actions_file(ctx, *file, new_limit);
}

}  // namespace pavecast
