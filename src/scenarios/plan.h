// The work plan of one projection: which segment gets which treatment in
// which year, at what cost, and the condition of every segment each year.
//
// Plan CSV (one header line, then one row per entry of the ledger, in the
// order of the year's pass; a field is quoted only when it holds a comma or
// a quote; the names, descriptions and note are text cells, written as
// csv_text_field() of scenario_output.h writes them):
//
//   year,segment,original_segment,asset_id,highway,description,pavement_type,mcd,
//   jurisdiction,lane_miles,action,action_description,cost,score_before,score_after,
//   forced,split,note
//
//   segment            the repaired segment (after a split: the piece split off)
//   original_segment   the segment's number as loaded
//   asset_id           the agency's id of its segment line (roads/NAME.ids), as
//                      the ids file has it (csv_field: never changed); empty
//                      when the network has no ids file
//   pavement_type      its name, before the repair
//   lane_miles         three decimals
//   action             the action's number (the policy matrix's)
//   cost               millions of dollars charged to the year, six decimals; the
//                      costs of a year add up to the year's spent money
//   score_before/after three decimals; blank for a reservation with no repair
//   forced, split      yes or no
//   note               why the cost is not the repair's own (forced repairs), or
//                      what became of a reservation
//
// Conditions CSV: year,segment,asset_id,score,class,remaining_life: every
// segment at the end of every year, the loaded year first; the asset id as in
// the plan; the class as the report takes it (offset 0.505); the remaining
// service life in whole years at the year's rates, "30+" for 30 or more
// (outlook.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/parameter_tables.h"
#include "scenarios/ledger.h"

namespace pavecast {

std::string plan_header();
std::string plan_row(const PlanEntry& entry, std::string_view asset_id,
                     const RepairActions& actions, const PavementTypes& types);

std::string conditions_header();
// The rows of one year, segments 1..scores.size() - 1, with each one's
// remaining service life (`lives`, as many); asset_ids[i] is segment i's id
// (an empty id where the vector is shorter).
std::string conditions_rows(int32_t calendar_year, const std::vector<float>& scores,
                            const std::vector<int32_t>& lives,
                            const std::vector<std::string_view>& asset_ids = {});

// The plan summed by year: entries, lane-miles repaired and cost.
struct PlanYear {
  int32_t calendar_year = 0;
  int32_t entries = 0;
  double lane_miles = 0.0;
  double cost = 0.0;
};
std::string plan_year_table(const std::vector<PlanYear>& years);

}  // namespace pavecast
