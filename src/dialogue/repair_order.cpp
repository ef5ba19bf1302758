#include "dialogue/repair_order.h"

#include <array>
#include <string>

#include "dialogue/echo.h"
#include "dialogue/saved_answers.h"
#include "layout/layout.h"
#include "io/record_files.h"

namespace pavecast {

namespace {

using layout::Layout;

constexpr int kPriorityOrder = 2;
constexpr int kEditedClasses = 8;  // classes 9 and 10 are never repaired first

constexpr std::array<const char*, 4> kMenu = {
    "1   Random Order", "2   Repair Priority Assigned by User",
    "3   Worst Condition to Best Condition", "4   Best Condition to Worst Condition"};

const Layout& priority_record() {
  static const Layout kI3("I3");
  return kI3;
}

void show_priorities(const RunContext& ctx, Console& console) {
  static const Layout kRow("27X,6X,I1,14X,I3");
  console.directions();
  console.line(std::string(27, ' ') + " Road Score" + std::string(7, ' ') + "Priority");
  console.line(std::string(27, ' ') + " ----------" + std::string(7, ' ') + "--------");
  console.line("");
  for (int32_t s = 1; s <= kEditedClasses; ++s) console.write(kRow, {s, ctx.priority[s]});
}

// Class by class: Enter keeps the current value, but only a value in 1..999
// is accepted, so every class leaves with a usable priority.
void edit_priorities(RunContext& ctx, Console& console) {
  static const Layout kI3("I3");
  console.line(" Enter in the range of 1 to 999.   ");
  console.colour(kYellowOnBlack);
  for (int s = 1; s <= kEditedClasses; ++s) {
    for (;;) {
      int32_t value = console.read_int(kI3);
      if (value == 0) value = ctx.priority[s];
      ctx.priority[s] = value;
      if (value >= 1 && value <= 999) {
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

void ask_priorities(RunContext& ctx, Console& console) {
  read_priority_file(ctx);
  do {
    show_priorities(ctx, console);
    edit_priorities(ctx, console);
  } while (!confirm_priorities(console));

  // Replaced atomically: a stop while writing leaves the old priorities.
  auto out = OutputFile::create_replacement_or_fatal(parameter_file(ctx, "priority"));
  for (int s = 1; s <= kEditedClasses; ++s) out->write(priority_record(), {ctx.priority[s]});
  out->close();
  ctx.priority[9] = kTopClassPriority;
  ctx.priority[10] = kTopClassPriority;
}

}  // namespace

void read_priority_file(RunContext& ctx) {
  auto file = InputFile::open_or_fatal(parameter_file(ctx, "priority"), IfMissing::kCreateEmpty);
  for (int s = 1; s <= kEditedClasses; ++s)
    read_or_fatal(priority_record(), *file, {ctx.priority[s]});
}

void ask_repair_order(RunContext& ctx, Console& console) {
  static const Layout kQuestion("' In what order do you want the roads to be repaired?  ',I1");
  static const Layout kI1("I1");

  for (;;) {
    console.write(kQuestion, {ctx.saved_repair_order});
    for (std::size_t i = 0; i < kMenu.size(); ++i) {
      if (i > 0) console.line("");
      console.line(std::string(23, ' ') + kMenu[i]);
    }
    console.directions();

    int32_t order = console.read_int(kI1);
    while (order < 0 || order > 4) order = console.read_int(kI1);
    if (order == 0) order = ctx.saved_repair_order;
    // The answer given here is what the next run offers, even when it is
    // the out-of-range saved order that makes the question come again.
    ctx.repair_order = order;
    ctx.saved_repair_order = order;
    echo(ctx, kQuestion, {order});

    if (order == kPriorityOrder) ask_priorities(ctx, console);
    if (order >= 1 && order <= 4) return;
  }
}

}  // namespace pavecast
