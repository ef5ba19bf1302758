// The final-conditions file: the network after the last simulated year in
// the layout of a scores file, so that it can start a later run. One group
// per pavement type (every type gets its header and terminator, even with no
// segment), holding in segment order the segments whose current pavement
// type it is; each score is written as its class, INT(score + 0.5).
//
// The file is written under a temporary name and renamed when complete, so
// it holds the whole network or, after a write error (a fatal stop naming
// the file), is left as it was.
#pragma once

#include "io/console.h"
#include "output/run_output.h"

namespace pavecast {

// Announces the file on the console and writes it in the working directory
// under final_conditions_file.
void write_final_conditions(const RunOutput& run, Console& console);

}  // namespace pavecast
