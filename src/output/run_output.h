// The run as the output stages see it: what the dialogue, the readers and the
// engine left (read only), and what the output stages own: the open files and their
// state. The run driver hands it to the stages that write the run's files.
#pragma once

#include "io/record_files.h"
#include "io/run_files.h"
#include "model/parameter_tables.h"
#include "model/segment_table.h"
#include "model/settings.h"
#include "model/statistics.h"
#include "output/output_state.h"

namespace pavecast {

struct RunOutput {
  const Workdir& workdir;
  const RunSettings& settings;
  const ParameterTables& tables;
  const SegmentTable& segments;
  const NetworkValues& network;
  const Statistics& stats;
  RunFiles& files;
  OutputState& state;
  const Printers& printers;
};

}  // namespace pavecast
