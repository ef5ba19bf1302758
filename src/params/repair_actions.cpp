#include "params/repair_actions.h"

namespace pavecast {

void read_repair_actions(RunContext&, Console&) {}

}  // namespace pavecast
