// Start-up and introduction: the first things a run does, before any
// question. Creates the user-inputs file, reads "data\default.dat" and
// "data\printer.def" (a missing or unreadable one is a fatal stop naming it),
// and offers the introduction with its banner.
#pragma once

#include "io/console.h"
#include "io/record_files.h"
#include "io/run_files.h"
#include "model/settings.h"

namespace pavecast {

void start_up(RunSettings& settings, RunFiles& files, const Workdir& workdir, const StartTime& now);
void offer_introduction(Console& console);

}  // namespace pavecast
