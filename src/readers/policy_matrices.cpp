#include "readers/policy_matrices.h"

#include <string>

#include "fatal/fatal.h"
#include "io/record_files.h"
#include "layout/layout.h"

namespace pavecast {

using layout::Layout;
using layout::ReadStatus;

// One block per pavement type, in any order, each a name record and a record
// of ten action numbers (class 1 first). Exactly pavement_type_count blocks
// are read; a name the rates file did not define stops the run, and so does a
// file too short to give every type its row. Action numbers are not checked
// here: a matrix may name an action for a class that no segment reaches.
void read_policy_matrices_file(const PavementTypes& types, PolicyMatrix& policy, InputFile& file) {
  static const Layout kName("A8");
  static const Layout kValues("10(I2,1X)");

  // A way back reads the file again: start from an empty table.
  policy = PolicyMatrix{};
  for (int block = 1; block <= types.pavement_type_count; ++block) {
    Text<8> name;
    if (kName.read(file, {name}) == ReadStatus::kEndOfFile) fatal_end_of_file(file);
    int p = types.find(name);
    if (p == 0) {
      fatal_text("\n\n ** Fatal Error: An invalid pavement type was entered (" + name.str() +
                 ").\n");
    }
    auto& row = policy[p];
    read_or_fatal(
        kValues, file,
        {row[1], row[2], row[3], row[4], row[5], row[6], row[7], row[8], row[9], row[10]});
  }
}

}  // namespace pavecast
