#include "dialogue/network_options.h"

#include <optional>
#include <string>
#include <string_view>

#include "dialogue/datahelp.h"
#include "dialogue/dialogue.h"
#include "dialogue/enter_keeps.h"
#include "fatal/fatal.h"
#include "model/run_file_names.h"
#include "readers/random_numbers.h"

namespace pavecast {

namespace {

using layout::Layout;

// The usual yes/no question: the question with its default, the footer,
// the answer, and the echo of the question with the answer.
char ask_yes_no(const Dialogue& d, const RunSettings& settings, const Layout& question,
                char answer) {
  Console& console = d.console;
  console.write(question, {answer});
  console.directions();
  answer = console.readinput(answer, settings.keep_default_char);
  d.echo(question, {answer});
  return answer;
}

bool is_help(const Text<9>& reply) {
  std::string_view first4 = reply.view().substr(0, 4);
  return first4 == "HELP" || first4 == "Help" || first4 == "help";
}

// Step 1: the scores file name, with the summary of the default file on
// request. A blank reply is left blank here; the caller puts the default in.
void ask_scores_name(const Dialogue& d, RunSettings& settings) {
  Console& console = d.console;
  static const Layout kQuestion(
      "'Enter the name of the',' file with the scores.         ',/,/,"
      "' Type \"help\" <Enter> for a summary of the information in the',' default file.',/,/,"
      "' NOTE: The last 2 characters will be used at the end of ','all output files.             "
      "'");
  static const Layout kDefault("A9");
  static const Layout kReply("A9");
  for (;;) {
    console.write(kQuestion, {});
    console.directions();
    console.write(kDefault, {settings.default_scores_name});
    // A text field always reads.
    kReply.read(console.reply(), {settings.scores_name});
    if (is_help(settings.scores_name)) {
      console.progress("Calculating");
      datahelp(console, d.workdir.roads(settings.default_scores_name.trimmed()));
      continue;
    }
    // The name Enter would keep is checked too, before anything is created.
    const Text<9>& name =
        settings.scores_name.blank() ? settings.default_scores_name : settings.scores_name;
    if (!console.refuses_file_name(name.view())) return;
  }
}

void ask_split(const Dialogue& d, RunSettings& settings) {
  Console& console = d.console;
  static const Layout kQuestion(
      "' Do you want to break the highway data into smaller and more segments ? ',A1,/,/,"
      "'  Note that there should be over 500 segements to get the best output.'");
  static const Layout kEcho("' Do you want to break the highway data into more segments ? ',A1");
  static const Layout kFactorPrompt(
      "' Enter the factor to increase the number of segments by ''(default is',1X,I3,').',/,/,"
      "'  (Entering \"100\" results in 100 times more segments).'");
  static const Layout kFactor("I4");
  static const Layout kFactorEcho(
      "' Enter the factor to increase the number of segments by.',2X,I3");

  console.write(kQuestion, {settings.split_answer});
  console.directions();
  settings.split_answer = console.readinput(settings.split_answer, settings.keep_default_char);
  d.echo(kEcho, {settings.split_answer});
  if (is_no(settings.split_answer)) return;

  console.write(kFactorPrompt, {settings.split_factor});
  console.directions();
  for (;;) {
    int32_t reply = console.read_int(kFactor);
    // Enter keeps the current factor, even one refused just before.
    settings.split_factor = reply == 0 ? settings.split_factor : reply;
    // The subdivision needs at least one piece per segment line.
    if (split_factor_acceptable(settings.split_factor)) break;
    console.line("              ");
  }
  d.echo(kFactorEcho, {settings.split_factor});
  settings.copies_made = settings.split_factor;
}

void ask_reconstruction(const Dialogue& d, RunSettings& settings,
                        std::array<float, kReconNumbers + 1>& recon_random) {
  Console& console = d.console;
  static const Layout kQuestion(
      "' Do you want to reconstruct some roads for reasons other than condition?  ',A1");
  static const Layout kProbability(
      "' Enter the percent probablity of this in a positive number less than 100. ',F4.1");
  static const Layout kReply("F6.2");

  console.directions();
  console.write(kQuestion, {settings.reconstruct_answer});
  settings.reconstruct_answer =
      console.readinput(settings.reconstruct_answer, settings.keep_default_char);
  d.echo(kQuestion, {settings.reconstruct_answer});
  if (is_no(settings.reconstruct_answer)) return;

  const float shown = reconstruction_default_percent(settings);
  float percent = 0.0f;
  for (;;) {
    console.write(kProbability, {shown});
    std::optional<float> entry = console.read_real_once(kReply);
    if (!entry) fatal("the reply is not a number, reconstruction probability");
    percent = *entry;
    if (percent > 100.0f || percent < -0.002f) continue;
    if (percent <= 0.0009f) percent = shown;  // Enter gives 0
    break;
  }
  d.echo(kProbability, {percent});
  use_reconstruction_percent(settings, d.workdir, recon_random, percent);
}

// The scores name up to its first blank or point, and ".prd", in 12
// characters: NET1 gives NET1.prd.
Text<12> default_final_conditions_name(const Text<9>& scores_name) {
  std::string_view name = scores_name.view();
  std::size_t end = name.find_first_of(" .");
  if (end == std::string_view::npos) end = name.size();
  return Text<12>(std::string(name.substr(0, end)) + ".prd");
}

}  // namespace

void use_reconstruction_percent(RunSettings& settings, const Workdir& workdir,
                                std::array<float, kReconNumbers + 1>& recon_random, float percent) {
  settings.reconstruct_probability = percent;
  // A probability this small leaves reconstruction off for the run, and
  // the value in percent.
  settings.recon_numbers_loaded = false;
  if (settings.reconstruct_probability > 0.001f) {
    auto file = InputFile::open_or_fatal(workdir.data("random.dat"), IfMissing::kCreateEmpty);
    read_reconstruction_numbers(*file, recon_random);
    settings.recon_numbers_loaded = true;
    settings.reconstruct_probability =
        static_cast<float>(double(settings.reconstruct_probability) / 100.0);
  }
}

void ask_network_options(const Dialogue& d, RunSettings& settings, ParameterTables& tables) {
  Console& console = d.console;
  static const Layout kScoresEcho(
      "' Enter in 4 spaces or less the name of the file with the scores. ',A9");
  static const Layout kRandomize("' Do you want the highway scores randomized? ',A1");
  static const Layout kTraffic(
      "' Do you want to use the VMT increases from the file',' \"VMT-Inc.dat\"? ',A1");
  static const Layout kFinalConditions("' Do you want the final conditions saved as input? ',A1");
  static const Layout kFinalName("/,/,' Enter the name of the final conditions output file. ',A12");
  static const Layout kFinalReply("A12");
  static const Layout kPrint("' Do you want the output printed? ',A1");
  static const Layout kAuxiliary("' Do you want the auxillary output files? ',A1");

  ask_scores_name(d, settings);
  ask_split(d, settings);
  settings.randomize_answer = ask_yes_no(d, settings, kRandomize, settings.randomize_answer);
  settings.vmt_answer = ask_yes_no(d, settings, kTraffic, settings.vmt_answer);
  ask_reconstruction(d, settings, tables.recon_random);

  // The default name takes the place of a blank reply only now, after the
  // reconstruction questions, and its echo follows theirs.
  if (settings.scores_name.blank()) settings.scores_name = settings.default_scores_name;
  d.echo(kScoresEcho, {settings.scores_name});

  settings.final_conditions_answer =
      ask_yes_no(d, settings, kFinalConditions, settings.final_conditions_answer);
  Text<12> default_final_name;
  bool save_final = !is_no(settings.final_conditions_answer);
  if (save_final) {
    default_final_name = default_final_conditions_name(settings.scores_name);
    for (;;) {
      console.write(kFinalName, {default_final_name});
      console.directions();
      kFinalReply.read(console.reply(), {settings.final_conditions_file});
      if (console.refuses_file_name(settings.final_conditions_file.view())) continue;
      // Written over one of the run's own files, it would lose that file or
      // itself.
      const Text<12>& name = settings.final_conditions_file.blank() ? default_final_name
                                                                    : settings.final_conditions_file;
      // (The commit's journal and temporary files have names longer than
      // the 12 characters the reply holds.)
      if (!is_run_file_name(settings, name.trimmed())) break;
      console.refuse_own_file_name(name.trimmed());
    }
  }

  settings.print_answer = ask_yes_no(d, settings, kPrint, settings.print_answer);
  settings.auxiliary_answer = ask_yes_no(d, settings, kAuxiliary, settings.auxiliary_answer);

  if (save_final) {
    if (settings.final_conditions_file.blank()) settings.final_conditions_file = default_final_name;
    d.echo(kFinalName, {settings.final_conditions_file});
  }
  console.progress("Reading Data");
}

}  // namespace pavecast
