#include "scenarios/plan.h"

#include <cstdio>

#include "model/condition_class.h"
#include "scenarios/outlook.h"
#include "scenarios/scenario_output.h"
#include "scenarios/tool_text.h"

namespace pavecast {

namespace {

std::string number(double value, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string text = buffer;
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

}  // namespace

std::string plan_header() {
  return "year,segment,original_segment,asset_id,highway,description,pavement_type,mcd,"
         "jurisdiction,lane_miles,action,action_description,cost,score_before,score_after,"
         "forced,split,note\n";
}

std::string plan_row(const PlanEntry& e, std::string_view asset_id, const RepairActions& actions,
                     const PavementTypes& types) {
  const bool known_action = e.action >= 1 && e.action <= actions.action_count;
  const bool known_type = e.pavement_type >= 1 && e.pavement_type <= types.pavement_type_count;
  std::string row;
  row += std::to_string(e.calendar_year) + "," + std::to_string(e.segment) + "," +
         std::to_string(e.original_segment) + ",";
  row += csv_field(std::string(asset_id)) + ",";
  row += csv_text_field(e.highway_name) + "," + csv_text_field(e.description) + ",";
  row += (known_type ? csv_text_field(from_latin1(types.pavement_type_name[e.pavement_type].trimmed()))
                     : std::string()) +
         ",";
  row += std::to_string(e.mcd) + "," + std::to_string(e.jurisdiction) + ",";
  row += number(e.lane_miles, 3) + ",";
  row += (known_action ? std::to_string(actions[e.action].action_number) : std::string()) + ",";
  row += (known_action ? csv_text_field(from_latin1(actions[e.action].action_description.trimmed()))
                       : std::string()) +
         ",";
  row += number(e.cost, 6) + ",";
  row += (e.has_scores ? number(e.score_before, 3) : std::string()) + ",";
  row += number(e.score_after, 3) + ",";
  row += std::string(e.forced ? "yes" : "no") + "," + (e.split ? "yes" : "no") + ",";
  row += csv_text_field(e.note) + "\n";
  return row;
}

std::string conditions_header() {
  return "year,segment,asset_id,score,class,remaining_life\n";
}

std::string conditions_rows(int32_t calendar_year, const std::vector<float>& scores,
                            const std::vector<int32_t>& lives,
                            const std::vector<std::string_view>& asset_ids) {
  std::string out;
  const std::string year = std::to_string(calendar_year) + ",";
  for (std::size_t i = 1; i < scores.size(); ++i) {
    const std::string_view id = i < asset_ids.size() ? asset_ids[i] : std::string_view();
    out += year + std::to_string(i) + "," + csv_field(std::string(id)) + "," +
           number(scores[i], 3) + "," +
           std::to_string(condition_class(scores[i], kPolicyOffset)) + "," +
           (i < lives.size() ? life_text(lives[i]) : std::string()) + "\n";
  }
  return out;
}

std::string plan_year_table(const std::vector<PlanYear>& years) {
  std::string out = "Year   Entries   Lane-miles   Cost ($M)\n";
  char line[96];
  for (const PlanYear& y : years) {
    std::snprintf(line, sizeof line, "%4d  %8d  %11.3f  %10.3f\n", y.calendar_year, y.entries,
                  y.lane_miles, y.cost);
    out += line;
  }
  return out;
}

}  // namespace pavecast
