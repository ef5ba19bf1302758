#include "params/policy_matrices.h"

namespace pavecast {

void read_policy_matrices(RunContext&, Console&) {}

}  // namespace pavecast
