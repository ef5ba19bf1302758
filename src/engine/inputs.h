// The projection's inputs as a run's settings, parameter tables and loaded
// network give them: the horizon, the repair order, what the dollars answer
// means for forced repairs (the saved letter stays a letter in the settings),
// the money by year, the priorities, the repair actions, the policy
// matrices, the traffic increases, random reconstruction (on when asked for
// and its numbers loaded) and the network's lane-miles.
#pragma once

#include "engine/projection.h"
#include "model/parameter_tables.h"
#include "model/segment_table.h"
#include "model/settings.h"

namespace pavecast {

ProjectionInputs projection_inputs(const RunSettings& settings, const ParameterTables& tables,
                                   const NetworkValues& network);

}  // namespace pavecast
