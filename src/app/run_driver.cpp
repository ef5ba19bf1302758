#include "app/run_driver.h"

#include <ctime>
#include <istream>
#include <ostream>

#include "app/stages.h"
#include "dialogue/horizon_funding.h"
#include "dialogue/network_options.h"
#include "dialogue/parameter_files.h"
#include "dialogue/repair_order_questions.h"
#include "dialogue/run_options.h"
#include "dialogue/saved_answers.h"
#include "dialogue/startup.h"
#include "fatal/fatal.h"
#include "io/directory_lock.h"
#include "io/file_set.h"
#include "io/record_files.h"
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
  const Dialogue d = dialogue_of(ctx, console);
  ReentryPoint point = ReentryPoint::kA;
  for (;;) {
    if (point == ReentryPoint::kA) {
      read_saved_answers(ctx.settings, ctx.workdir);
      ask_printout_options(d, ctx.settings);
    }
    show_trace_files(d, ctx.settings);
    ask_force_fix(d, ctx.settings);
    ask_years_and_funding(d, ctx.settings, ctx.tables.funding);
    if (is_yes(ctx.settings.budget_constrained))
      ask_repair_order(d, ctx.settings, ctx.tables.priority);
    read_repair_actions(d, ctx.settings, ctx.tables.actions);
    read_deterioration_rates(d, ctx.settings, ctx.tables.pavement);
    read_policy_matrices(d, ctx.settings, ctx.tables.pavement, ctx.tables.policy);
    ask_network_options(d, ctx.settings, ctx.tables);

    int failed_trace = open_and_load_network(
        ctx, console, [&] { write_back_saved_answers(ctx.settings, ctx.workdir); });
    if (failed_trace == 0) return;
    point = recover_trace_files(d, ctx.settings, ctx.files, failed_trace) == TraceRecovery::kKeep
                ? ReentryPoint::kB
                : ReentryPoint::kA;
  }
}

}  // namespace

// One run per directory: the exclusive lock, held until the program ends,
// then the repairs of what a killed run left: its interrupted commit
// completed, its temporary files removed.
std::unique_ptr<DirectoryLock> lock_and_recover(const Workdir& workdir) {
  std::unique_ptr<DirectoryLock> lock;
  switch (DirectoryLock::lock(workdir.root, DirectoryLock::Mode::kExclusive, lock)) {
    case DirectoryLock::Outcome::kLocked:
      break;
    case DirectoryLock::Outcome::kBusy:
      fatal("another run is using this directory");
    case DirectoryLock::Outcome::kFailed:
      fatal("the working directory cannot be locked" + error_cause(DirectoryLock::error()));
  }
  recover_interrupted_commit(workdir.root);
  remove_leftover_temporaries(workdir.root);
  remove_leftover_temporaries(workdir.root / "data");
  return lock;
}

int run_program(const ProgramOptions& options, std::istream& in, std::ostream& out) {
  Console console(in, out);
  // Released last, after the run's files are closed and its scratch files
  // removed.
  std::unique_ptr<DirectoryLock> lock;
  auto ctx = std::make_unique<RunContext>(options.workdir, options.segment_capacity);
  ctx->printers = options.printers;
  try {
    lock = lock_and_recover(ctx->workdir);
    start_up(ctx->settings, ctx->files, ctx->workdir, options.start_time);
    offer_introduction(console);
    choose_data_set(dialogue_of(*ctx, console), ctx->settings);
    ask_and_load(*ctx, console);
    run_projection(*ctx, console);
    RunOutput run = output_of(*ctx);
    write_projection_report(run);
    finish_run(run, console);
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
