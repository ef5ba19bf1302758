#include "params/network_options.h"

namespace pavecast {

void ask_network_options(RunContext&, Console& console) { console.progress("Reading Data"); }

}  // namespace pavecast
