#include "app/program.h"

#include <ctime>
#include <istream>
#include <ostream>

#include "dialogue/run_options.h"
#include "dialogue/saved_answers.h"
#include "dialogue/startup.h"
#include "engine/projection.h"
#include "fatal/fatal.h"
#include "readers/forced_repairs.h"
#include "readers/loading.h"
#include "readers/deterioration_rates.h"
#include "dialogue/horizon_funding.h"
#include "dialogue/network_options.h"
#include "readers/policy_matrices.h"
#include "readers/repair_actions.h"
#include "dialogue/repair_order.h"
#include "output/closing.h"
#include "output/projection_report.h"

namespace pavecast {

namespace {

// The two ways back lead to these points of the dialogue.
enum class ReentryPoint {
  kA,  // the saved answers are read again and every question asked again
  kB,  // the trace file list is shown again, then every later question
};

// Stages 3 to 11: the questions and the loading. The only loop of the run:
// a trace file that cannot be opened sends the analyst back.
void ask_and_load(RunContext& ctx, Console& console) {
  ReentryPoint point = ReentryPoint::kA;
  for (;;) {
    if (point == ReentryPoint::kA) {
      read_saved_answers(ctx);
      ask_printout_options(ctx, console);
    }
    show_trace_files(ctx, console);
    ask_force_fix(ctx, console);
    ask_years_and_funding(ctx, console);
    if (is_yes(ctx.budget_constrained)) ask_repair_order(ctx, console);
    read_repair_actions(ctx, console);
    read_deterioration_rates(ctx, console);
    read_policy_matrices(ctx, console);
    ask_network_options(ctx, console);

    if (!is_no(ctx.force_fix_answer)) read_forced_repairs(ctx, console);
    write_back_saved_answers(ctx);
    int failed_trace = open_and_load_network(ctx, console);
    if (failed_trace == 0) return;
    point = recover_trace_files(ctx, console, failed_trace) == TraceRecovery::kKeep
                ? ReentryPoint::kB
                : ReentryPoint::kA;
  }
}

}  // namespace

int run_program(const ProgramOptions& options, std::istream& in, std::ostream& out) {
  Console console(in, out);
  auto ctx = std::make_unique<RunContext>(options.workdir, options.segment_capacity);
  ctx->printer_device_prefix = options.printer_device_prefix;
  try {
    start_up(*ctx, options.start_time);
    offer_introduction(console);
    choose_data_set(*ctx, console);
    ask_and_load(*ctx, console);
    run_projection(*ctx, console);
    write_projection_report(*ctx);
    finish_run(*ctx, console);
  } catch (const FatalStop& stop) {
    console.write(stop.console_text);
    out.flush();
    return stop.status;
  }
  out.flush();
  return 0;
}

StartTime local_start_time() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  StartTime t;
  t.year = local.tm_year + 1900;
  t.month = local.tm_mon + 1;
  t.day = local.tm_mday;
  t.hour = local.tm_hour;
  t.minute = local.tm_min;
  return t;
}

}  // namespace pavecast
