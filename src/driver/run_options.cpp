#include "driver/run_options.h"

namespace pavecast {

void ask_printout_options(RunContext& ctx, Console&) {
  ctx.page_lines = ctx.printout_type == 3 ? 53 : 74;
}

void show_trace_files(RunContext&, Console&) {}

void ask_force_fix(RunContext&, Console&) {}

TraceRecovery recover_trace_files(RunContext&, Console&, int) { return TraceRecovery::kKeep; }

}  // namespace pavecast
