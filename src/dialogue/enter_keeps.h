// What Enter keeps: the answer each question takes from an empty reply, and
// what the question can accept. The questions take their Enter replies from
// here, and resolve_enter_answers() strings the same rules together into the
// run the program makes when the analyst presses Enter at every question.
//
// Where a question cannot accept what Enter gives (a saved answer out of
// range), it asks again, for ever if Enter is all it gets; the resolver stops
// instead, with a message naming the saved answer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "io/record_files.h"
#include "model/parameter_tables.h"
#include "model/settings.h"

namespace pavecast {

// --- the questions' rules

// The data set question: Enter (0) gives the saved set; a set must be listed.
inline int32_t enter_data_set(const RunSettings& s) {
  return s.default_data_set;
}
inline bool data_set_acceptable(const RunSettings& s, int32_t set) {
  return set >= 1 && set <= s.data_set_count;
}

// The years question: 0 or less gives the saved years; the per-year tables
// hold 0 to kMaxYears simulated years.
inline int32_t enter_years(const RunSettings& s) {
  return s.default_years;
}
inline bool years_acceptable(int32_t years) {
  return years >= 0 && years <= kMaxYears;
}

// The repair order question: Enter (0) gives the saved order, one of 1 to 4.
inline int32_t enter_repair_order(const RunSettings& s) {
  return s.saved_repair_order;
}
inline bool repair_order_acceptable(int32_t order) {
  return order >= 1 && order <= 4;
}

// A class's priority: Enter keeps the current value, one of 1 to 999.
inline bool priority_acceptable(int32_t value) {
  return value >= 1 && value <= 999;
}

// The split factor: Enter keeps the current factor (even one refused just
// before), one of 1 to 999.
inline bool split_factor_acceptable(int32_t factor) {
  return factor >= 1 && factor <= 999;
}

// A changeable action's repetition limit: Enter gives 0, which takes the
// action out of the run.
inline constexpr int32_t kEnterLimit = 0;

// The reconstruction percent Enter keeps (and the question shows): the
// current value, times 100 when it is 1 or less (a fraction: a saved answer
// of that size, or this run's answer after a way back).
float reconstruction_default_percent(const RunSettings& settings);

// --- the whole dialogue answered with Enter

struct EnterOptions {
  std::optional<int32_t> years;  // in place of the saved number of years
  std::optional<int32_t> order;  // in place of the saved repair order (not checked here)
  bool all_orders = false;       // every order will be used: no saved order needed
  bool saved_budget = false;     // read what the saved budget needs (the funding file)
  // In place of the saved network (a scores file in roads\) and of the data
  // set's deterioration rates file; neither is written.
  std::string scores_name;              // empty: the saved one
  std::optional<FilePath> rates_file;  // none: the data set's; must exist
};

// From "data\default.dat" and the saved answers of the data set it names:
// the settings and the parameter tables the dialogue leaves when every
// question is answered with Enter (the options' values in place of the saved
// ones), without a console, a record or any file written. Traces are off.
// The priority file is read when the order is 2 or every order is used;
// the funding file when the saved budget is variable and options ask for
// it; the reconstruction numbers when reconstruction is on. The repair
// order of the settings is the one Enter keeps (0 with all_orders).
void resolve_enter_answers(const Workdir& workdir, const EnterOptions& options,
                           RunSettings& settings, ParameterTables& tables);

}  // namespace pavecast
