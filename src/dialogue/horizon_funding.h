// Horizon and funding: the number of years to project and the money for
// repairs each year (unlimited, a fixed amount, or variable from the funding
// file), filling `funding` for year indices 1..year_slots.
//
// Sets years, year_slots (at most 97 simulated years; larger answers are read
// again), budget_constrained, annual_funding and variable_funding. A confirmed
// funding answer becomes default_funding. An unconstrained run gets 99999.9
// every year and repair_order 1, and leaves saved_repair_order alone. Variable
// funding carries the last record read over the remaining years; a funding
// file with no readable record (and at least one year) is a fatal stop.
#pragma once

#include "dialogue/dialogue.h"
#include "io/record_files.h"
#include "model/parameter_tables.h"
#include "model/settings.h"

namespace pavecast {

void ask_years_and_funding(const Dialogue& d, RunSettings& settings, PerYear<float>& funding);

// The money of every year index 1..year_slots once the years are known (the
// dialogue's three kinds of funding, also used without it):
//   unlimited: 99999.9 every year (annual_funding is left as it is);
//   fixed: annual_funding = amount, and amount every year;
//   variable: the funding file read year by year, the last record carried
//     over; no readable record (with at least one year) is a fatal stop.
inline constexpr float kUnlimitedFunding = 99999.9f;
// A funding answer within this of zero is an Enter; below minus it, variable.
inline constexpr float kFundingZero = 0.0001f;
void use_unlimited_funding(RunSettings& settings, PerYear<float>& funding);
void use_fixed_funding(RunSettings& settings, PerYear<float>& funding, float amount);
void use_variable_funding(RunSettings& settings, const Workdir& workdir, PerYear<float>& funding);

}  // namespace pavecast
