#include "params/horizon_funding.h"

namespace pavecast {

void ask_years_and_funding(RunContext&, Console&) {}

}  // namespace pavecast
