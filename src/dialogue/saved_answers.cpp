#include "dialogue/saved_answers.h"

#include <cmath>

#include "dialogue/echo.h"
#include "fatal/fatal.h"

namespace pavecast {

namespace {

using layout::Layout;

std::string trimmed(std::string_view s) {
  std::size_t end = s.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string() : std::string(s.substr(0, end + 1));
}

// The saved answers file: answers_file_name is "data\default2.dat" or
// "data\default.ext", a name in the data directory.
FilePath answers_file(const RunContext& ctx) {
  return ctx.workdir.data(trimmed(ctx.answers_file_name.view().substr(5)));
}

void ask_for_data_set(RunContext& ctx, Console& console) {
  static const Layout kQuestion("' Which data file type would you like (',I2,')?  ',/,/");
  static const Layout kEcho("' Which data file type would you like (',I2,')?  '");
  static const Layout kSet("21X,I2,2X,A45");
  static const Layout kReply("I2");
  for (;;) {
    console.write(kQuestion, {ctx.default_data_set});
    for (int32_t k = 1; k <= ctx.data_set_count; ++k) {
      console.write(kSet, {k, ctx.data_set_title[k]});
      if (ctx.data_set_count < 6) console.line("");
    }
    console.directions();
    int32_t reply = 0;
    do {
      reply = console.read_int(kReply);
      if (reply == 0) reply = ctx.default_data_set;
    } while (reply == 0);
    ctx.data_set = reply;
    echo(ctx, kEcho, {ctx.data_set});
    if (ctx.data_set >= 1 && ctx.data_set <= ctx.data_set_count) return;
  }
}

// A real in the six columns that the next run reads with F6.2: with the
// layout's `decimals` when the value fits them, else with fewer (1250.5,
// 12345.), so that an amount of $1,000M or more is not written as asterisks,
// which would stop every later run at this file. Beyond what six columns can
// hold it is saved as the nearest value they can.
void write_real6(OutputFile& f, float value, int decimals) {
  static const Layout kF6[] = {Layout("F6.0"), Layout("F6.1"), Layout("F6.2")};
  for (int d = decimals; d >= 0 && std::isfinite(value); --d) {
    std::string text = kF6[d].format({value});
    if (text.find('*') == std::string::npos) {
      f.write(text);
      return;
    }
  }
  f.write(kF6[0], {value < 0.0f ? -9999.0f : 99999.0f});
}

}  // namespace

void read_data_sets(RunContext& ctx) {
  static const Layout kDataSet("A3,1X,A45");
  auto file = InputFile::open_or_fatal(ctx.workdir.data("class.dat"), IfMissing::kFail);
  ctx.data_set_count = 0;
  while (ctx.data_set_count < kMaxDataSets) {
    int k = ctx.data_set_count + 1;
    if (kDataSet.read(*file, {ctx.data_set_ext[k], ctx.data_set_title[k]}) !=
        layout::ReadStatus::kOk)
      break;
    ctx.data_set_count = k;
  }
  // No set could ever be chosen: the question would be asked for ever.
  if (ctx.data_set_count == 0) fatal("no data set is listed, file " + file->shown());
}

void name_answers_file(RunContext& ctx) {
  if (is_yes(ctx.secondary_data_answer)) {
    ctx.answers_file_name = "data\\default." + ctx.data_set_ext[ctx.data_set].str();
  } else {
    ctx.answers_file_name = "data\\default2.dat";
  }
}

void read_default_dat(RunContext& ctx) {
  static const Layout kA1("A1");
  static const Layout kI2("I2");
  auto file = InputFile::open_or_fatal(ctx.workdir.data("default.dat"), IfMissing::kFail);
  read_or_fatal(kA1, *file, {ctx.keep_default_char});
  read_or_fatal(kA1, *file, {ctx.secondary_data_answer});
  read_or_fatal(kI2, *file, {ctx.default_data_set});
  ctx.data_set = ctx.default_data_set;
}

void choose_data_set(RunContext& ctx, Console& console) {
  static const Layout kQuestion("' Do you use different sets of secondary data? ',A1");
  console.directions();
  console.write(kQuestion, {ctx.secondary_data_answer});
  ctx.secondary_data_answer = console.readinput(ctx.secondary_data_answer, ctx.keep_default_char);
  echo(ctx, kQuestion, {ctx.secondary_data_answer});

  if (!is_no(ctx.secondary_data_answer)) {
    console.progress("Loading Secondary Data");
    read_data_sets(ctx);
    ask_for_data_set(ctx, console);
  }
  name_answers_file(ctx);
}

void read_saved_answers(RunContext& ctx) {
  static const Layout kI1("I1");
  static const Layout kA1("A1");
  static const Layout kA12("A12");
  static const Layout kF62("F6.2");
  static const Layout kI2("I2");
  static const Layout kI4("I4");
  static const Layout kA9("A9");

  auto file = InputFile::open_or_fatal(answers_file(ctx), IfMissing::kFail);
  InputFile& f = *file;
  read_or_fatal(kI1, f, {ctx.printout_type});
  read_or_fatal(kA1, f, {ctx.date_time_answer});
  read_or_fatal(kA1, f, {ctx.trace_answer});
  read_or_fatal(kA1, f, {ctx.force_fix_answer});
  read_or_fatal(kA12, f, {ctx.force_fix_file});
  read_or_fatal(kA1, f, {ctx.budget_constrained});
  read_or_fatal(kF62, f, {ctx.default_funding});
  read_or_fatal(kI2, f, {ctx.default_years});
  read_or_fatal(kA1, f, {ctx.change_repeat_policy});
  read_or_fatal(kI1, f, {ctx.repair_order});
  ctx.saved_repair_order = ctx.repair_order;
  read_or_fatal(kA9, f, {ctx.default_scores_name});
  read_or_fatal(kA1, f, {ctx.split_answer});
  read_or_fatal(kI4, f, {ctx.split_factor});
  read_or_fatal(kA1, f, {ctx.randomize_answer});
  read_or_fatal(kA1, f, {ctx.reconstruct_answer});
  read_or_fatal(kF62, f, {ctx.reconstruct_probability});
  read_or_fatal(kA1, f, {ctx.final_conditions_answer});
  read_or_fatal(kA1, f, {ctx.print_answer});
  read_or_fatal(kA1, f, {ctx.auxiliary_answer});
  // Line 20 is optional: its end or an unreadable record keeps vmt_answer.
  char vmt = ctx.vmt_answer;
  if (kA1.read(f, {vmt}) == layout::ReadStatus::kOk) ctx.vmt_answer = vmt;
}

void write_back_saved_answers(RunContext& ctx) {
  static const Layout kA1("A1");
  static const Layout kI1("I1");
  static const Layout kI2("I2");
  static const Layout kI4("I4");
  static const Layout kA12("A12");
  static const Layout kA9("A9");

  {
    auto file = OutputFile::create_replacement_or_fatal(ctx.workdir.data("default.dat"));
    file->write("\n");
    file->write(kA1, {ctx.secondary_data_answer});
    file->write(kI2, {ctx.data_set});
    file->close();
  }

  // The run holds the probability as a fraction once reconstruction was
  // answered; it is saved in whole percent either way.
  float percent = ctx.reconstruct_probability;
  if (!is_no(ctx.reconstruct_answer))
    percent = static_cast<float>(double(ctx.reconstruct_probability) * 100.0);

  auto file = OutputFile::create_replacement_or_fatal(answers_file(ctx));
  OutputFile& f = *file;
  f.write(kI1, {ctx.printout_type});
  f.write(kA1, {ctx.date_time_answer});
  f.write(kA1, {ctx.trace_answer});
  f.write(kA1, {ctx.force_fix_answer});
  f.write(kA12, {ctx.force_fix_file});
  f.write(kA1, {ctx.budget_constrained});
  write_real6(f, ctx.default_funding, 2);
  f.write(kI2, {ctx.years});
  f.write(kA1, {ctx.change_repeat_policy});
  f.write(kI1, {ctx.saved_repair_order});
  f.write(kA9, {ctx.scores_name});
  f.write(kA1, {ctx.split_answer});
  f.write(kI4, {ctx.split_factor});
  f.write(kA1, {ctx.randomize_answer});
  f.write(kA1, {ctx.reconstruct_answer});
  write_real6(f, percent, 0);
  f.write(kA1, {ctx.final_conditions_answer});
  f.write(kA1, {ctx.print_answer});
  f.write(kA1, {ctx.auxiliary_answer});
  f.write(kA1, {ctx.vmt_answer});
  f.close();
}

FilePath parameter_file(const RunContext& ctx, std::string_view base) {
  bool secondary =
      base == "repairs" ? !is_no(ctx.secondary_data_answer) : is_yes(ctx.secondary_data_answer);
  std::string name(base);
  name += '.';
  if (secondary && ctx.data_set >= 1 && ctx.data_set <= kMaxDataSets)
    name += ctx.data_set_ext[ctx.data_set].trimmed();
  else if (secondary)
    name += "   ";  // no data set was chosen: an extension of blanks
  else
    name += "dat";
  return ctx.workdir.data(name);
}

}  // namespace pavecast
