// Policy matrices: per pavement type, the repair action for each condition
// class, filed under the pavement type names of the rates file.
#pragma once

#include "console/console.h"
#include "driver/run_context.h"

namespace pavecast {

void read_policy_matrices(RunContext& ctx, Console& console);

}  // namespace pavecast
