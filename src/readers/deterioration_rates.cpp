#include "readers/deterioration_rates.h"

#include "io/record_files.h"
#include "layout/layout.h"

namespace pavecast {

using layout::Layout;
using layout::ReadStatus;

// Blocks of a name record and ten rate records (class 10 first). The end of
// the file anywhere ends the reading; a type counts once one of its rates has
// been read, so a name at the very end defines nothing.
void read_deterioration_rates_file(PavementTypes& types, InputFile& file) {
  static const Layout kName("A8");
  static const Layout kRate("F4.2");

  // A way back reads the file again: start from an empty table.
  types = PavementTypes{};
  for (int p = 1; p <= kMaxPavementTypes; ++p) {
    if (kName.read(file, {types.pavement_type_name[p]}) == ReadStatus::kEndOfFile) return;
    for (int k = 1; k <= kClasses; ++k) {
      ReadStatus status = kRate.read(file, {types.det_rate[p][k]});
      if (status == ReadStatus::kEndOfFile) return;
      if (status == ReadStatus::kError) fatal_unreadable(file);
      types.pavement_type_count = p;
    }
  }
}

}  // namespace pavecast
