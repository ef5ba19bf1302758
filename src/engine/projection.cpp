#include "engine/projection.h"

namespace pavecast {

void run_projection(RunContext&, Console&) {}

}  // namespace pavecast
