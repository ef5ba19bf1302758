// pavecast-scenarios import: an agency's ratings table (CSV) into a scores
// file of the names form, roads/NAME, and its ids file, roads/NAME.ids
// (readers/asset_ids.h), in the program directory `root`.
//
//   import TABLE.csv --name NAME --year YEAR --id COL --score COL
//          (--lane-miles COL | --miles COL (--lanes COL | --width-feet COL)
//           [--default-lanes N])
//          (--type-column COL --type-map VALUE=TYPE,... | --type TYPE)
//          [--jurisdiction COL] [--mcd COL] [--highway COL]
//          [--description COL | --from COL --to COL] [--title TEXT]
//          [--round] [--replace] [--rates FILE]
//
// The rows are read and mapped by import_table() (import_table.h) against
// the pavement types of the rates file (--rates, else the run's rates file,
// as data/default.dat's data set names it). The segment lines are grouped
// by pavement type in the order of the rates file, rows in table order
// within a group. The two files are written beside their names and take
// them together, the ids file first; when the scores file cannot take its
// name the new ids file is removed, so a scores file never meets ids that
// are not its own. Nothing is written when any row is refused (the first
// refusals are listed with their count), when the table holds no rated row,
// or when roads/NAME or roads/NAME.ids exists and --replace is not given.
//
// The summary on `out`: rows read, imported, skipped by reason, texts cut
// and characters made ASCII, lane-miles by score and pavement type, and,
// above the program's 2,500 segments, that only the scenario tool takes
// the network. Status: 0 done, 1 a bad table or file (the message on
// `err`), 2 a bad command line (the message and the usage).
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace pavecast {

// `args` are the arguments after "import".
int run_import(const std::vector<std::string>& args, const std::filesystem::path& root,
               std::ostream& out, std::ostream& err);

// The import's usage lines, ending with a line end.
std::string import_usage_text();

}  // namespace pavecast
