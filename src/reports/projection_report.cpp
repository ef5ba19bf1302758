#include "reports/projection_report.h"

namespace pavecast {

void write_projection_report(RunContext&) {}

}  // namespace pavecast
