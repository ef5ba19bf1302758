#include "network/forced_repairs.h"

namespace pavecast {

void read_forced_repairs(RunContext&, Console&) {}

}  // namespace pavecast
