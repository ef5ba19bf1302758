// The run context: one run's state, held in its parts by lifetime. The
// settings are the dialogue's answers; the parameter tables, the network and
// the statistics are read by the readers and carried forward by the engine;
// the open files and the output state belong to the stages that write the
// run's files. Each stage is handed only the parts it uses.
#pragma once

#include <cstdint>

#include "io/record_files.h"
#include "io/run_files.h"
#include "model/parameter_tables.h"
#include "model/segment_table.h"
#include "model/settings.h"
#include "model/statistics.h"
#include "output/output_state.h"

namespace pavecast {

struct RunContext {
  explicit RunContext(Workdir dir, int32_t segment_capacity = kProgramSegmentCapacity)
      : workdir(std::move(dir)), segments(segment_capacity) {}

  RunSettings settings;    // the answers, asked or saved
  ParameterTables tables;  // read from the parameter files
  OutputState output;      // the output stages' names, counters and printer status
  Printers printers;
  Workdir workdir;
  RunFiles files;

  // --- the network
  SegmentTable segments;
  NetworkValues network;
  ForcedRepairs forced;
  Statistics stats;
};

}  // namespace pavecast
