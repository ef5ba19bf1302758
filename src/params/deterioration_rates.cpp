#include "params/deterioration_rates.h"

namespace pavecast {

void read_deterioration_rates(RunContext&, Console&) {}

}  // namespace pavecast
