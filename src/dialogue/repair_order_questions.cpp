#include "dialogue/repair_order_questions.h"

#include <array>
#include <string>

#include "dialogue/dialogue.h"
#include "dialogue/enter_keeps.h"
#include "dialogue/saved_answers.h"
#include "io/record_files.h"
#include "layout/layout.h"
#include "model/repair_order.h"
#include "readers/priorities.h"

namespace pavecast {

namespace {

using layout::Layout;

constexpr std::array<const char*, 4> kMenu = {
    "1   Random Order", "2   Repair Priority Assigned by User",
    "3   Worst Condition to Best Condition", "4   Best Condition to Worst Condition"};

void show_priorities(const Priorities& priority, Console& console) {
  static const Layout kRow("27X,6X,I1,14X,I3");
  console.directions();
  console.line(std::string(27, ' ') + " Road Score" + std::string(7, ' ') + "Priority");
  console.line(std::string(27, ' ') + " ----------" + std::string(7, ' ') + "--------");
  console.line("");
  for (int32_t s = 1; s <= kEditedClasses; ++s) console.write(kRow, {s, priority[s]});
}

// Class by class: Enter keeps the current value, but only a value in 1..999
// is accepted, so every class leaves with a usable priority.
void edit_priorities(Priorities& priority, Console& console) {
  static const Layout kI3("I3");
  console.line(" Enter in the range of 1 to 999.   ");
  console.colour(kYellowOnBlack);
  for (int s = 1; s <= kEditedClasses; ++s) {
    for (;;) {
      int32_t value = console.read_int(kI3);
      if (value == 0) value = priority[s];
      priority[s] = value;
      if (priority_acceptable(value)) {
        console.write(kI3, {value});
        break;
      }
      console.line(std::string(14, ' '));
    }
  }
}

bool confirm_priorities(Console& console) {
  std::string question = " Are these values correct (y/n)? Y";
  question.append(74 - question.size(), ' ');
  console.directions();
  console.line(question);
  std::string reply = console.reply();
  return reply.empty() || (reply[0] != 'N' && reply[0] != 'n');
}

void ask_priorities(const Dialogue& d, const RunSettings& settings, Priorities& priority) {
  Console& console = d.console;
  read_priority_file(settings, d.workdir, priority);
  do {
    show_priorities(priority, console);
    edit_priorities(priority, console);
  } while (!confirm_priorities(console));

  // Replaced atomically: a stop while writing leaves the old priorities.
  write_priorities(parameter_file(settings, d.workdir, "priority"), priority);
  priority[9] = kTopClassPriority;
  priority[10] = kTopClassPriority;
}

}  // namespace

void read_priority_file(const RunSettings& settings, const Workdir& workdir, Priorities& priority) {
  auto file = InputFile::open_or_fatal(parameter_file(settings, workdir, "priority"),
                                       IfMissing::kCreateEmpty);
  read_priorities(*file, priority);
}

void ask_repair_order(const Dialogue& d, RunSettings& settings, Priorities& priority) {
  Console& console = d.console;
  static const Layout kQuestion("' In what order do you want the roads to be repaired?  ',I1");
  static const Layout kI1("I1");

  for (;;) {
    console.write(kQuestion, {settings.saved_repair_order});
    for (std::size_t i = 0; i < kMenu.size(); ++i) {
      if (i > 0) console.line("");
      console.line(std::string(23, ' ') + kMenu[i]);
    }
    console.directions();

    int32_t order = console.read_int(kI1);
    while (order < 0 || order > 4) order = console.read_int(kI1);
    if (order == 0) order = enter_repair_order(settings);
    // The answer given here is what the next run offers, even when it is
    // the out-of-range saved order that makes the question come again.
    settings.repair_order = order;
    settings.saved_repair_order = order;
    d.echo(kQuestion, {order});

    if (order == static_cast<int32_t>(RepairOrder::kPriority))
      ask_priorities(d, settings, priority);
    if (repair_order_acceptable(order)) return;
  }
}

}  // namespace pavecast
