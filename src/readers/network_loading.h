// Loading a network: the one routine the program and the scenario tool share
// to read the forced-repair list, the scores file (split and randomised with
// data\random.dat) and, later, data\vmt-inc.dat.
//
// load_network() takes these steps, in this order:
//   1. a table with a limit (the program's): the forced-repair list taken
//      (below), so that its entries mark rows made in advance;
//   2. the hook before_scores;
//   3. the scores file "roads\" + scores_name opened (a missing file is
//      created empty, unless the working directory is read-only; reading its
//      header then stops the run);
//   4. the hook scores_opened;
//   5. data\random.dat opened when the scores are randomised;
//   6. a table without a limit (the tool's): the table replaced by one
//      without a segment limit, its rows reserved from the scores file's
//      record count times the split factor;
//   7. the segment table loaded (scores.h), the files closed;
//   8. a network without segments stops the run, naming rates_file when it
//      defines no pavement type;
//   9. a table without a limit: the forced-repair list taken now, when the
//      rows it names exist;
//  10. forced entries naming a segment above segment_count warned of and
//      ignored (forced_repair_file.h).
// Taking the forced-repair list: answered no, the list is emptied (an earlier
// pass's list is not kept); else the force-fix file is read.
//
// load_traffic_increases() is the step the year loop's setup takes, after
// the loading: data\vmt-inc.dat read unless the traffic answer is no.
#pragma once

#include <cstdint>
#include <functional>

#include "io/console.h"
#include "io/record_files.h"
#include "model/parameter_tables.h"
#include "model/segment_table.h"
#include "model/settings.h"
#include "model/statistics.h"

namespace pavecast {

// What the loading reads: the answers, the pavement types and action count
// of the parameter tables, and the rates file the no-segment stop names.
struct NetworkSources {
  const Workdir& workdir;
  const RunSettings& settings;
  const PavementTypes& pavement;
  int32_t action_count = 0;
  FilePath rates_file;
};

// What the loading fills.
struct NetworkParts {
  SegmentTable& segments;
  NetworkValues& network;
  ForcedRepairs& forced;
  Statistics& stats;
};

// The program's loading by default; the tool sets the three flags.
struct NetworkLoading {
  // No segment limit: the table is made anew, sized from the scores file,
  // and the forced-repair list read after it.
  bool unlimited_table = false;
  // More segments than data\random.dat has numbers take them again from the
  // first, in place of stopping the run.
  bool reuse_random = false;
  // The file scores are the first keys under every order (the tool clears
  // them for the orders that draw theirs).
  bool score_keys_always = false;
  std::function<void()> before_scores;  // step 2 (may be empty)
  std::function<void()> scores_opened;  // step 4 (may be empty)
};

// The steps above; warnings go to `console`. Fatal stops are raised as
// FatalStop.
void load_network(const NetworkSources& sources, const NetworkLoading& how, Console& console,
                  const NetworkParts& parts);

// increase[y] from data\vmt-inc.dat (traffic_increases.h), all 0.0 when the
// traffic answer is no.
void load_traffic_increases(const Workdir& workdir, const RunSettings& settings,
                            PerYear<float>& increase);

}  // namespace pavecast
