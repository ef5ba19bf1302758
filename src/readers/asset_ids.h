// Asset ids: the agency's own id of each segment line of a scores file,
// kept beside it in "roads\" + name + ".ids" (the import writes the two
// together). The file is CSV: the header "segment,asset_id", then one row
// per segment line, numbered 1, 2, ... in the order the lines are loaded
// without subdivision, the id as the agency wrote it (quoted, its quotes
// doubled, when it holds a comma, a quote or a blank at either end).
//
// A loaded segment's line is (original_number - 1) / split_factor + 1 when
// the network was subdivided, its original_number otherwise; pieces split
// off by the year loop keep their segment's original_number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/record_files.h"

namespace pavecast {

// The ids file of the scores file `scores_name`.
FilePath asset_ids_file(const Workdir& workdir, std::string_view scores_name);

// The ids of a network of `segment_lines` segment lines, indexed by segment
// line 1..segment_lines ([0] is empty), or nullopt when the network has no
// ids file. A file that does not hold exactly one row per segment line, in
// order, is a fatal stop naming it (it belongs to another scores file), as
// is one that cannot be opened.
std::optional<std::vector<std::string>> read_asset_ids(const Workdir& workdir,
                                                       std::string_view scores_name,
                                                       int32_t segment_lines);

// One row of the ids file, ending "\n".
std::string asset_id_row(int64_t segment, std::string_view id);

}  // namespace pavecast
