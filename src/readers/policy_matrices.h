// Policy matrices: per pavement type, the repair action for each condition
// class, filed under the pavement type names of the rates file.
//
// Clears `policy` and reads exactly pavement_type_count blocks. Fatal stops: a
// name that is no pavement type (the fixed invalid-pavement-type message), a
// file that ends too soon, an unreadable values record.
#pragma once

#include "io/console.h"
#include "app/run_context.h"

namespace pavecast {

void read_policy_matrices(RunContext& ctx, Console& console);

// The file alone, from an open file, without the progress message.
void read_policy_matrices_file(RunContext& ctx, InputFile& file);

}  // namespace pavecast
