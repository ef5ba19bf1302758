#include "readers/repair_actions.h"

#include "io/record_files.h"
#include "layout/layout.h"

namespace pavecast {

namespace {

using layout::Layout;
using layout::ReadStatus;

constexpr int32_t kFileNoLimit = 9;  // a limit of 9 in the file means none
constexpr int32_t kNoLimit = 1000;   // more repeats than any run can make
constexpr char kChangeableMark = '*';

}  // namespace

void read_repair_actions_file(RepairActions& actions, InputFile& file,
                              const LimitQuestion& new_limit) {
  static const Layout kRecord("I1,1X,I2,1X,I1,A1,A29,F4.1,4X,F5.3,1X,I1");

  // A way back reads the file again: start from an empty table.
  actions = RepairActions{};
  for (int a = 1; a <= kMaxActions; ++a) {
    RepairAction& action = actions[a];
    char mark = ' ';
    ReadStatus status =
        kRecord.read(file, {action.action_rank, action.action_number, action.max_repeats, mark,
                            action.action_description, action.score_gain, action.action_cost,
                            action.new_pavement_type});
    if (status == ReadStatus::kEndOfFile) return;
    if (status == ReadStatus::kError) fatal_unreadable(file);
    actions.action_count = a;
    // The limit is shown as the run takes it: a 9 from the file as no limit.
    if (action.max_repeats == kFileNoLimit) action.max_repeats = kNoLimit;
    if (new_limit && mark == kChangeableMark) action.max_repeats = new_limit(action);
  }
}

}  // namespace pavecast
