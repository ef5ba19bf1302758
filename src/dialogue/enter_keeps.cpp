#include "dialogue/enter_keeps.h"

#include <string>

#include "dialogue/horizon_funding.h"
#include "dialogue/network_options.h"
#include "dialogue/repair_order_questions.h"
#include "dialogue/saved_answers.h"
#include "fatal/fatal.h"
#include "model/repair_order.h"
#include "readers/deterioration_rates.h"
#include "readers/policy_matrices.h"
#include "readers/repair_actions.h"

namespace pavecast {

namespace {

// The saved answers file as messages show it: "data\default2.dat" gives
// "data/default2.dat".
std::string shown_answers_file(const RunSettings& settings) {
  std::string name(settings.answers_file_name.trimmed());
  for (char& c : name)
    if (c == '\\') c = '/';
  return name;
}

void keep_data_set(const Workdir& workdir, RunSettings& settings) {
  if (!is_no(settings.secondary_data_answer)) {
    read_data_sets(settings, workdir);
    settings.data_set = enter_data_set(settings);
    if (!data_set_acceptable(settings, settings.data_set))
      fatal("data set " + std::to_string(settings.data_set) +
            " of data/default.dat is not one of the " + std::to_string(settings.data_set_count) +
            " listed in data/class.dat");
  }
  name_answers_file(settings);
}

void keep_years(const EnterOptions& options, RunSettings& settings) {
  settings.years = options.years.value_or(enter_years(settings));
  if (!years_acceptable(settings.years))
    fatal("the saved number of years, " + std::to_string(settings.years) + ", is outside 0 to " +
          std::to_string(kMaxYears) + ", file " + shown_answers_file(settings));
  settings.year_slots = settings.years + 1;
}

int32_t keep_order(const EnterOptions& options, const RunSettings& settings) {
  if (options.all_orders) return 0;
  if (options.order) return *options.order;  // the caller's own, checked by it
  const int32_t order = enter_repair_order(settings);
  if (!repair_order_acceptable(order))
    fatal("the saved repair order, " + std::to_string(order) + ", is not one of 1 to 4, file " +
          shown_answers_file(settings));
  return order;
}

void keep_priorities(const Workdir& workdir, const RunSettings& settings, Priorities& priority) {
  read_priority_file(settings, workdir, priority);
  for (int s = 1; s <= 8; ++s)
    if (!priority_acceptable(priority[s]))
      fatal("the priority of class " + std::to_string(s) + ", " + std::to_string(priority[s]) +
            ", is outside 1 to 999, file " + parameter_file(settings, workdir, "priority").shown);
  priority[9] = kTopClassPriority;
  priority[10] = kTopClassPriority;
}

void read_parameter_files(const Workdir& workdir, const RunSettings& settings,
                          const EnterOptions& options, ParameterTables& tables) {
  auto open = [&](std::string_view base) {
    return InputFile::open_or_fatal(parameter_file(settings, workdir, base),
                                    IfMissing::kCreateEmpty);
  };
  LimitQuestion enter;
  if (is_yes(settings.change_repeat_policy))
    enter = [](const RepairAction&) { return kEnterLimit; };
  read_repair_actions_file(tables.actions, *open("repairs"), enter);
  if (options.rates_file)
    read_deterioration_rates_file(
        tables.pavement, *InputFile::open_or_fatal(*options.rates_file, IfMissing::kFail));
  else
    read_deterioration_rates_file(tables.pavement, *open("detrates"));
  read_policy_matrices_file(tables.pavement, tables.policy, *open("matrix"));
}

void keep_network_options(const Workdir& workdir, const EnterOptions& options,
                          RunSettings& settings, ParameterTables& tables) {
  settings.scores_name = settings.default_scores_name;
  if (!options.scores_name.empty()) settings.scores_name = options.scores_name;
  if (!is_no(settings.split_answer)) {
    if (!split_factor_acceptable(settings.split_factor))
      fatal("the saved split factor, " + std::to_string(settings.split_factor) +
            ", is outside 1 to 999, file " + shown_answers_file(settings));
    settings.copies_made = settings.split_factor;
  }
  if (!is_no(settings.reconstruct_answer))
    use_reconstruction_percent(settings, workdir, tables.recon_random,
                               reconstruction_default_percent(settings));
}

}  // namespace

float reconstruction_default_percent(const RunSettings& settings) {
  float shown = settings.reconstruct_probability;
  if (shown <= 1.0f) shown = static_cast<float>(double(shown) * 100.0);
  return shown;
}

void resolve_enter_answers(const Workdir& workdir, const EnterOptions& options,
                           RunSettings& settings, ParameterTables& tables) {
  read_default_dat(settings, workdir);
  keep_data_set(workdir, settings);
  read_saved_answers(settings, workdir);
  settings.trace_answer = 'N';
  settings.trace_count = 0;

  keep_years(options, settings);
  if (options.saved_budget && is_yes(settings.budget_constrained) &&
      settings.default_funding < -kFundingZero)
    use_variable_funding(settings, workdir, tables.funding);
  settings.repair_order = keep_order(options, settings);
  if (options.all_orders || repair_order_of(settings.repair_order) == RepairOrder::kPriority)
    keep_priorities(workdir, settings, tables.priority);

  read_parameter_files(workdir, settings, options, tables);
  keep_network_options(workdir, options, settings, tables);
}

}  // namespace pavecast
