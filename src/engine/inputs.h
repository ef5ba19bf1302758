// The projection's inputs as a run's settings and parameter tables give
// them: the horizon, the repair order, the dollars answer, the money by year,
// the priorities, the repair actions, the policy matrices, the traffic
// increases and random reconstruction (on when asked for and its numbers
// loaded).
#pragma once

#include "engine/projection.h"
#include "model/parameter_tables.h"
#include "model/settings.h"

namespace pavecast {

ProjectionInputs projection_inputs(const RunSettings& settings, const ParameterTables& tables);

}  // namespace pavecast
