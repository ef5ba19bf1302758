#include "params/repair_order.h"

namespace pavecast {

void ask_repair_order(RunContext&, Console&) {}

}  // namespace pavecast
