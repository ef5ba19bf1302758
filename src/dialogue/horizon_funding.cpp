#include "dialogue/horizon_funding.h"

#include <string>

#include "dialogue/dialogue.h"
#include "dialogue/enter_keeps.h"
#include "dialogue/saved_answers.h"
#include "fatal/fatal.h"
#include "io/record_files.h"
#include "layout/layout.h"
#include "model/repair_order.h"
#include "readers/funding.h"

namespace pavecast {

namespace {

using layout::Layout;
using layout::ReadStatus;

// Funding answers this close to zero are an Enter (horizon_funding.h); below -kFundingZero the
// funding is variable. Compared in single precision, so that an entry of
// exactly -0.0001 is a fixed amount.
constexpr std::size_t kConfirmWidth = 74;

std::string padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

// Years: 0 or less keeps the saved years; a number the per-year tables cannot
// hold is read again (also a saved one, or a negative one left in the saved
// answers file, which would make year_slots meaningless).
int32_t ask_years(const Dialogue& d, RunSettings& settings) {
  Console& console = d.console;
  static const Layout kQuestion(
      "' Enter the number of years to simulate or hit <Enter> for ',I2,'.',10(' ')");
  static const Layout kEcho(
      "' Enter the number of years to simulate',' or hit <Enter> for ',I2,'. ',I2");
  static const Layout kI2("I2");

  console.write(kQuestion, {settings.default_years});
  console.directions();
  int32_t years = 0;
  for (;;) {
    years = console.read_int(kI2);
    if (years <= 0) years = enter_years(settings);
    if (years_acceptable(years)) break;
  }
  d.echo(kEcho, {settings.default_years, years});
  return years;
}

// The amount per year, re-shown and re-read until a number is typed.
float ask_amount(const RunSettings& settings, Console& console) {
  static const Layout kDefaultAmount("29X,'Default: ',F6.2");
  static const Layout kF60("F6.0");

  console.line(" Enter the number of millions of dollars available per year, hit <Enter> for");
  console.line("  the default, or a negative number for variable funding from the funding file.  ");
  console.line("");
  console.line("");
  console.directions();
  for (;;) {
    if (settings.default_funding < -kFundingZero) {
      console.line(std::string(29, ' ') + "Default: Variable");
    } else {
      console.write(kDefaultAmount, {settings.default_funding});
    }
    console.line(std::string(30, ' ') + "Entry:");
    if (auto amount = console.read_real_once(kF60)) {
      if (*amount > -kFundingZero && *amount < kFundingZero) return settings.default_funding;
      return *amount;
    }
  }
}

// Shows the funding understood and asks whether it is right; only a reply
// beginning with n refuses it.
bool confirm_amount(float amount, Console& console) {
  static const Layout kFixed("' The model is constrained by $',F6.2,'m per year.'");
  std::string text = amount < -kFundingZero
                         ? std::string(" The model is constrained by variable funds.")
                         : kFixed.format({amount});
  if (!text.empty() && text.back() == '\n') text.pop_back();
  console.line(padded(text, kConfirmWidth));
  console.line("");
  console.line(padded("  Is this correct (y/n)? Y", kConfirmWidth));
  std::string reply = console.reply();
  return reply.empty() || (reply[0] != 'N' && reply[0] != 'n');
}

// Every year index 1..year_slots gets the same amount.
void fill_funding(const RunSettings& settings, PerYear<float>& funding, float amount) {
  for (int y = 1; y <= settings.year_slots; ++y) funding[y] = amount;
}

}  // namespace

void use_unlimited_funding(RunSettings& settings, PerYear<float>& funding) {
  settings.variable_funding = false;
  fill_funding(settings, funding, kUnlimitedFunding);
}

void use_fixed_funding(RunSettings& settings, PerYear<float>& funding, float amount) {
  settings.variable_funding = false;
  settings.annual_funding = amount;
  fill_funding(settings, funding, amount);
}

void use_variable_funding(RunSettings& settings, const Workdir& workdir, PerYear<float>& funding) {
  settings.variable_funding = true;
  auto file = InputFile::open_or_fatal(parameter_file(settings, workdir, "funding"),
                                       IfMissing::kCreateEmpty);
  read_funding_file(*file, settings.years, settings.year_slots, funding);
}

void ask_years_and_funding(const Dialogue& d, RunSettings& settings, PerYear<float>& funding) {
  Console& console = d.console;
  static const Layout kDollarsQuestion(
      "' Do you want the model to be constrained by dollars? ',A1,17(' ')");
  static const Layout kFixedEcho("' The model is constrained by $',F5.1,'m per year.'");

  settings.years = ask_years(d, settings);
  settings.year_slots = settings.years + 1;

  for (;;) {
    settings.annual_funding = kUnlimitedFunding;
    console.write(kDollarsQuestion, {settings.budget_constrained});
    settings.budget_constrained =
        console.readinput(settings.budget_constrained, settings.keep_default_char);
    d.echo(kDollarsQuestion, {settings.budget_constrained});

    if (!is_yes(settings.budget_constrained)) {
      // Unlimited money: the order does not matter, so this run takes random
      // order without asking and the saved order is left for the next run.
      use_unlimited_funding(settings, funding);
      settings.repair_order = static_cast<int32_t>(RepairOrder::kRandom);
      return;
    }

    settings.annual_funding = ask_amount(settings, console);
    if (confirm_amount(settings.annual_funding, console)) break;
  }

  settings.default_funding = settings.annual_funding;
  if (settings.annual_funding < -kFundingZero) {
    use_variable_funding(settings, d.workdir, funding);
  } else {
    d.echo(kFixedEcho, {settings.annual_funding});
    use_fixed_funding(settings, funding, settings.annual_funding);
  }
}

}  // namespace pavecast
