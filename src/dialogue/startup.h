// Start-up and introduction: the first things a run does, before any
// question. Creates the user-inputs file, reads "data\default.dat" and
// "data\printer.def" (a missing or unreadable one is a fatal stop naming it),
// and offers the introduction with its banner.
#pragma once

#include "io/console.h"
#include "app/run_context.h"

namespace pavecast {

void start_up(RunContext& ctx, const StartTime& now);
void offer_introduction(Console& console);

}  // namespace pavecast
