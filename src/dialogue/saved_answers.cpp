#include "dialogue/saved_answers.h"

#include <cmath>

#include "dialogue/dialogue.h"
#include "dialogue/enter_keeps.h"
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
FilePath answers_file(const RunSettings& settings, const Workdir& workdir) {
  return workdir.data(trimmed(settings.answers_file_name.view().substr(5)));
}

void ask_for_data_set(const Dialogue& d, RunSettings& settings) {
  Console& console = d.console;
  static const Layout kQuestion("' Which data file type would you like (',I2,')?  ',/,/");
  static const Layout kEcho("' Which data file type would you like (',I2,')?  '");
  static const Layout kSet("21X,I2,2X,A45");
  static const Layout kReply("I2");
  for (;;) {
    console.write(kQuestion, {settings.default_data_set});
    for (int32_t k = 1; k <= settings.data_set_count; ++k) {
      console.write(kSet, {k, settings.data_set_title[k]});
      if (settings.data_set_count < 6) console.line("");
    }
    console.directions();
    int32_t reply = 0;
    do {
      reply = console.read_int(kReply);
      if (reply == 0) reply = enter_data_set(settings);
    } while (reply == 0);
    settings.data_set = reply;
    d.echo(kEcho, {settings.data_set});
    if (data_set_acceptable(settings, settings.data_set)) return;
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

void read_data_sets(RunSettings& settings, const Workdir& workdir) {
  static const Layout kDataSet("A3,1X,A45");
  auto file = InputFile::open_or_fatal(workdir.data("class.dat"), IfMissing::kFail);
  settings.data_set_count = 0;
  while (settings.data_set_count < kMaxDataSets) {
    int k = settings.data_set_count + 1;
    if (kDataSet.read(*file, {settings.data_set_ext[k], settings.data_set_title[k]}) !=
        layout::ReadStatus::kOk)
      break;
    settings.data_set_count = k;
  }
  // No set could ever be chosen: the question would be asked for ever.
  if (settings.data_set_count == 0) fatal("no data set is listed, file " + file->shown());
}

void name_answers_file(RunSettings& settings) {
  if (is_yes(settings.secondary_data_answer)) {
    settings.answers_file_name = "data\\default." + settings.data_set_ext[settings.data_set].str();
  } else {
    settings.answers_file_name = "data\\default2.dat";
  }
}

void read_default_dat(RunSettings& settings, const Workdir& workdir) {
  static const Layout kA1("A1");
  static const Layout kI2("I2");
  auto file = InputFile::open_or_fatal(workdir.data("default.dat"), IfMissing::kFail);
  read_or_fatal(kA1, *file, {settings.keep_default_char});
  read_or_fatal(kA1, *file, {settings.secondary_data_answer});
  read_or_fatal(kI2, *file, {settings.default_data_set});
  settings.data_set = settings.default_data_set;
}

void choose_data_set(const Dialogue& d, RunSettings& settings) {
  Console& console = d.console;
  static const Layout kQuestion("' Do you use different sets of secondary data? ',A1");
  console.directions();
  console.write(kQuestion, {settings.secondary_data_answer});
  settings.secondary_data_answer =
      console.readinput(settings.secondary_data_answer, settings.keep_default_char);
  d.echo(kQuestion, {settings.secondary_data_answer});

  if (!is_no(settings.secondary_data_answer)) {
    console.progress("Loading Secondary Data");
    read_data_sets(settings, d.workdir);
    ask_for_data_set(d, settings);
  }
  name_answers_file(settings);
}

void read_saved_answers(RunSettings& settings, const Workdir& workdir) {
  static const Layout kI1("I1");
  static const Layout kA1("A1");
  static const Layout kA12("A12");
  static const Layout kF62("F6.2");
  static const Layout kI2("I2");
  static const Layout kI4("I4");
  static const Layout kA9("A9");

  auto file = InputFile::open_or_fatal(answers_file(settings, workdir), IfMissing::kFail);
  InputFile& f = *file;
  read_or_fatal(kI1, f, {settings.printout_type});
  read_or_fatal(kA1, f, {settings.date_time_answer});
  read_or_fatal(kA1, f, {settings.trace_answer});
  read_or_fatal(kA1, f, {settings.force_fix_answer});
  read_or_fatal(kA12, f, {settings.force_fix_file});
  read_or_fatal(kA1, f, {settings.budget_constrained});
  read_or_fatal(kF62, f, {settings.default_funding});
  read_or_fatal(kI2, f, {settings.default_years});
  read_or_fatal(kA1, f, {settings.change_repeat_policy});
  read_or_fatal(kI1, f, {settings.repair_order});
  settings.saved_repair_order = settings.repair_order;
  read_or_fatal(kA9, f, {settings.default_scores_name});
  read_or_fatal(kA1, f, {settings.split_answer});
  read_or_fatal(kI4, f, {settings.split_factor});
  read_or_fatal(kA1, f, {settings.randomize_answer});
  read_or_fatal(kA1, f, {settings.reconstruct_answer});
  read_or_fatal(kF62, f, {settings.reconstruct_probability});
  read_or_fatal(kA1, f, {settings.final_conditions_answer});
  read_or_fatal(kA1, f, {settings.print_answer});
  read_or_fatal(kA1, f, {settings.auxiliary_answer});
  // Line 20 is optional: its end or an unreadable record keeps vmt_answer.
  char vmt = settings.vmt_answer;
  if (kA1.read(f, {vmt}) == layout::ReadStatus::kOk) settings.vmt_answer = vmt;
}

void write_back_saved_answers(const RunSettings& settings, const Workdir& workdir) {
  static const Layout kA1("A1");
  static const Layout kI1("I1");
  static const Layout kI2("I2");
  static const Layout kI4("I4");
  static const Layout kA12("A12");
  static const Layout kA9("A9");

  {
    auto file = OutputFile::create_replacement_or_fatal(workdir.data("default.dat"));
    file->write("\n");
    file->write(kA1, {settings.secondary_data_answer});
    file->write(kI2, {settings.data_set});
    file->close();
  }

  // The run holds the probability as a fraction once reconstruction was
  // answered; it is saved in whole percent either way.
  float percent = settings.reconstruct_probability;
  if (!is_no(settings.reconstruct_answer))
    percent = static_cast<float>(double(settings.reconstruct_probability) * 100.0);

  auto file = OutputFile::create_replacement_or_fatal(answers_file(settings, workdir));
  OutputFile& f = *file;
  f.write(kI1, {settings.printout_type});
  f.write(kA1, {settings.date_time_answer});
  f.write(kA1, {settings.trace_answer});
  f.write(kA1, {settings.force_fix_answer});
  f.write(kA12, {settings.force_fix_file});
  f.write(kA1, {settings.budget_constrained});
  write_real6(f, settings.default_funding, 2);
  f.write(kI2, {settings.years});
  f.write(kA1, {settings.change_repeat_policy});
  f.write(kI1, {settings.saved_repair_order});
  f.write(kA9, {settings.scores_name});
  f.write(kA1, {settings.split_answer});
  f.write(kI4, {settings.split_factor});
  f.write(kA1, {settings.randomize_answer});
  f.write(kA1, {settings.reconstruct_answer});
  write_real6(f, percent, 0);
  f.write(kA1, {settings.final_conditions_answer});
  f.write(kA1, {settings.print_answer});
  f.write(kA1, {settings.auxiliary_answer});
  f.write(kA1, {settings.vmt_answer});
  f.close();
}

FilePath parameter_file(const RunSettings& settings, const Workdir& workdir,
                        std::string_view base) {
  bool secondary = base == "repairs" ? !is_no(settings.secondary_data_answer)
                                     : is_yes(settings.secondary_data_answer);
  std::string name(base);
  name += '.';
  if (secondary && settings.data_set >= 1 && settings.data_set <= kMaxDataSets)
    name += settings.data_set_ext[settings.data_set].trimmed();
  else if (secondary)
    name += "   ";  // no data set was chosen: an extension of blanks
  else
    name += "dat";
  return workdir.data(name);
}

}  // namespace pavecast
