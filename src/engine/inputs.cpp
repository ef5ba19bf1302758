#include "engine/inputs.h"

namespace pavecast {

ProjectionInputs projection_inputs(const RunSettings& settings, const ParameterTables& tables,
                                   const NetworkValues& network) {
  ProjectionInputs in;
  in.year_slots = settings.year_slots;
  in.order = repair_order_of(settings.repair_order);
  in.budget = forced_repair_budget_of(settings.budget_constrained);
  in.funding = tables.funding;
  in.priority = tables.priority;
  in.actions = tables.actions;
  in.policy = tables.policy;
  in.vmt_increase = tables.vmt_increase;
  in.reconstruction.on = !is_no(settings.reconstruct_answer) && settings.recon_numbers_loaded;
  in.reconstruction.probability = settings.reconstruct_probability;
  in.reconstruction.numbers = tables.recon_random;
  in.total_lane_miles = network.total_lane_miles;
  return in;
}

}  // namespace pavecast
