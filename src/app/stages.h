// The run's stages that bring the layers together, in the order the program
// takes them (run_driver.h runs them all):
//
//   dialogue   the questions, with their saved answers (dialogue/);
//   loading    the forced-repair list, the saved answers written back, the
//              scores file loaded and the run's files opened with their
//              headings;
//   projection the year loop over the loaded network, its records written
//              by the listing writer;
//   report     the projection report, then the closing (output/).
#pragma once

#include <functional>
#include <memory>

#include "app/run_context.h"
#include "dialogue/dialogue.h"
#include "engine/projection.h"
#include "io/console.h"
#include "output/listing.h"
#include "output/run_output.h"
#include "readers/random_numbers.h"

namespace pavecast {

class SegmentSelection;

// The dialogue's channels for this run: the console, the working directory
// and the record of the answers.
Dialogue dialogue_of(RunContext& ctx, Console& console);

// The run as the output stages see it.
RunOutput output_of(RunContext& ctx);

// Loading, the last stage before the year loop (readers/network_loading.h):
//   1. the forced-repair list taken (read, or emptied when not wanted);
//   2. `before_scores` (the program writes the saved answers back here), then
//      the run files of an earlier pass dropped (output_files.h);
//   3. the scores file "roads\" + scores_name opened (a missing file is
//      created empty, and reading its header then stops the run);
//   4. the run's output files named and opened (output_files.h);
//   5. "data\random.dat" opened when the scores are randomised;
//   6. the segment table loaded from a cleared table (forced_index kept);
//   7. a network without segments stops the run, naming the rates file when
//      it defines no pavement type (no group is read then);
//   8. forced entries naming a segment above segment_count warned of and
//      ignored (readers/forced_repair_file.h);
//   9. the listing headings written, then the trace files opened in entry
//      order, each with its heading.
// Returns 0 when everything is open and loaded, or the number t of the first
// trace entry whose file could not be opened (the driver then enters the
// trace-file recovery dialogue; entries 1..t-1 are open).
int open_and_load_network(RunContext& ctx, Console& console,
                          const std::function<void()>& before_scores = {});

// What the year loop needs beside the run context: "data\random.dat" opened
// for the order keys under random and priority order, "data\vmt-inc.dat"
// read when the traffic increases are wanted, the engine's inputs taken from
// the context, and the listing writer that puts the loop's records in the
// listings, the trace files and the console.
struct ProjectionSetup {
  ProjectionSetup(RunContext& ctx, Console& console);

  ProjectionInputs inputs;
  std::unique_ptr<RandomFile> numbers;
  std::unique_ptr<ListingWriter> listings;
};

// The tables of the context the loop changes.
ProjectionTables projection_tables(RunContext& ctx);

// The year loop over the loaded network. `selection` replaces the ordered
// selection (tests).
void run_projection(RunContext& ctx, Console& console, SegmentSelection* selection = nullptr);

}  // namespace pavecast
