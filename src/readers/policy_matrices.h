// Policy matrices: per pavement type, the repair action for each condition
// class, filed under the pavement type names of the rates file.
//
// Clears `policy` and reads exactly pavement_type_count blocks. Fatal stops: a
// name that is no pavement type (the fixed invalid-pavement-type message), a
// file that ends too soon, an unreadable values record.
#pragma once

#include "io/record_files.h"
#include "model/parameter_tables.h"

namespace pavecast {

void read_policy_matrices_file(const PavementTypes& types, PolicyMatrix& policy, InputFile& file);

}  // namespace pavecast
