#include "dialogue/horizon_funding.h"

#include <string>

#include "dialogue/echo.h"
#include "dialogue/saved_answers.h"
#include "fatal/fatal.h"
#include "layout/layout.h"
#include "io/record_files.h"

namespace pavecast {

namespace {

using layout::Layout;
using layout::ReadStatus;

// Funding answers this close to zero are an Enter; below -kFundingZero the
// funding is variable. Compared in single precision, so that an entry of
// exactly -0.0001 is a fixed amount.
constexpr float kFundingZero = 0.0001f;
constexpr std::size_t kConfirmWidth = 74;

std::string padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

// Years: 0 or less keeps the saved years; a number the per-year tables cannot
// hold is read again (also a saved one, or a negative one left in the saved
// answers file, which would make year_slots meaningless).
int32_t ask_years(RunContext& ctx, Console& console) {
  static const Layout kQuestion(
      "' Enter the number of years to simulate or hit <Enter> for ',I2,'.',10(' ')");
  static const Layout kEcho(
      "' Enter the number of years to simulate',' or hit <Enter> for ',I2,'. ',I2");
  static const Layout kI2("I2");

  console.write(kQuestion, {ctx.default_years});
  console.directions();
  int32_t years = 0;
  for (;;) {
    years = console.read_int(kI2);
    if (years <= 0) years = ctx.default_years;
    if (years >= 0 && years <= kMaxYears) break;
  }
  echo(ctx, kEcho, {ctx.default_years, years});
  return years;
}

// The amount per year, re-shown and re-read until a number is typed.
float ask_amount(RunContext& ctx, Console& console) {
  static const Layout kDefaultAmount("29X,'Default: ',F6.2");
  static const Layout kF60("F6.0");

  console.line(" Enter the number of millions of dollars available per year, hit <Enter> for");
  console.line("  the default, or a negative number for variable funding from the funding file.  ");
  console.line("");
  console.line("");
  console.directions();
  for (;;) {
    if (ctx.default_funding < -kFundingZero) {
      console.line(std::string(29, ' ') + "Default: Variable");
    } else {
      console.write(kDefaultAmount, {ctx.default_funding});
    }
    console.line(std::string(30, ' ') + "Entry:");
    if (auto amount = console.read_real_once(kF60)) {
      if (*amount > -kFundingZero && *amount < kFundingZero) return ctx.default_funding;
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
void fill_funding(RunContext& ctx, float amount) {
  for (int y = 1; y <= ctx.year_slots; ++y) ctx.funding[y] = amount;
}

}  // namespace

void use_unlimited_funding(RunContext& ctx) {
  ctx.variable_funding = false;
  fill_funding(ctx, kUnlimitedFunding);
}

void use_fixed_funding(RunContext& ctx, float amount) {
  ctx.variable_funding = false;
  ctx.annual_funding = amount;
  fill_funding(ctx, amount);
}

// Record k of the funding file is the money of simulated year k (index k+1);
// reading stops at the end of the file or at the first unreadable record, and
// the last amount read carries over to the remaining years.
void use_variable_funding(RunContext& ctx) {
  static const Layout kRecord("2X,F7.3");
  ctx.variable_funding = true;

  auto file = InputFile::open_or_fatal(parameter_file(ctx, "funding"), IfMissing::kCreateEmpty);
  int32_t records_read = 0;
  ReadStatus status = ReadStatus::kOk;
  for (int k = 1; k <= ctx.years; ++k) {
    float amount = 0.0f;
    status = kRecord.read(*file, {amount});
    if (status != ReadStatus::kOk) break;
    ctx.funding[k + 1] = amount;
    records_read = k;
  }
  if (ctx.years > 0 && records_read == 0) {
    // Nothing to carry forward: every year would be left without money.
    int line = file->line_number() + (status == ReadStatus::kEndOfFile ? 1 : 0);
    fatal("no funding record can be read, file " + file->shown() + ", line " +
          std::to_string(line));
  }
  for (int y = records_read + 2; y <= ctx.year_slots; ++y)
    ctx.funding[y] = ctx.funding[records_read + 1];
}

void ask_years_and_funding(RunContext& ctx, Console& console) {
  static const Layout kDollarsQuestion(
      "' Do you want the model to be constrained by dollars? ',A1,17(' ')");
  static const Layout kFixedEcho("' The model is constrained by $',F5.1,'m per year.'");

  ctx.years = ask_years(ctx, console);
  ctx.year_slots = ctx.years + 1;

  for (;;) {
    ctx.annual_funding = kUnlimitedFunding;
    console.write(kDollarsQuestion, {ctx.budget_constrained});
    ctx.budget_constrained = console.readinput(ctx.budget_constrained, ctx.keep_default_char);
    echo(ctx, kDollarsQuestion, {ctx.budget_constrained});

    if (!is_yes(ctx.budget_constrained)) {
      // Unlimited money: the order does not matter, so this run takes random
      // order without asking and the saved order is left for the next run.
      use_unlimited_funding(ctx);
      ctx.repair_order = 1;
      return;
    }

    ctx.annual_funding = ask_amount(ctx, console);
    if (confirm_amount(ctx.annual_funding, console)) break;
  }

  ctx.default_funding = ctx.annual_funding;
  if (ctx.annual_funding < -kFundingZero) {
    use_variable_funding(ctx);
  } else {
    echo(ctx, kFixedEcho, {ctx.annual_funding});
    use_fixed_funding(ctx, ctx.annual_funding);
  }
}

}  // namespace pavecast
