#include "network/loading.h"

namespace pavecast {

int open_and_load_network(RunContext&, Console&) { return 0; }

}  // namespace pavecast
