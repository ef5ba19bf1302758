#include "reports/closing.h"

namespace pavecast {

void finish_run(RunContext&, Console& console) { console.line(" The program is done running."); }

}  // namespace pavecast
