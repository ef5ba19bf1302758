#include "dialogue/network_options.h"

#include <optional>
#include <string>
#include <string_view>

#include "dialogue/datahelp.h"
#include "dialogue/echo.h"
#include "fatal/fatal.h"

namespace pavecast {

namespace {

using layout::Layout;

// The usual yes/no question: the question with its default, the footer,
// the answer, and the echo of the question with the answer.
char ask_yes_no(RunContext& ctx, Console& console, const Layout& question, char answer) {
  console.write(question, {answer});
  console.directions();
  answer = console.readinput(answer, ctx.keep_default_char);
  echo(ctx, question, {answer});
  return answer;
}

bool is_help(const Text<9>& reply) {
  std::string_view first4 = reply.view().substr(0, 4);
  return first4 == "HELP" || first4 == "Help" || first4 == "help";
}

// Step 1: the scores file name, with the summary of the default file on
// request. A blank reply is left blank here; the caller puts the default in.
void ask_scores_name(RunContext& ctx, Console& console) {
  static const Layout kQuestion(
      "'Enter the name of the',' file with the scores.         ',/,/,"
      "' Type \"help\" <Enter> for a summary of the information in the',' default file.',/,/,"
      "' NOTE: The last 2 characters will be used at the end of ','all output files.             '");
  static const Layout kDefault("A9");
  static const Layout kReply("A9");
  for (;;) {
    console.write(kQuestion, {});
    console.directions();
    console.write(kDefault, {ctx.default_scores_name});
    // A text field always reads.
    kReply.read(console.reply(), {ctx.scores_name});
    if (is_help(ctx.scores_name)) {
      console.progress("Calculating");
      datahelp(console, ctx.workdir.roads(ctx.default_scores_name.trimmed()));
      continue;
    }
    // The name Enter would keep is checked too, before anything is created.
    const Text<9>& name = ctx.scores_name.blank() ? ctx.default_scores_name : ctx.scores_name;
    if (!console.refuses_file_name(name.view())) return;
  }
}

void ask_split(RunContext& ctx, Console& console) {
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

  console.write(kQuestion, {ctx.split_answer});
  console.directions();
  ctx.split_answer = console.readinput(ctx.split_answer, ctx.keep_default_char);
  echo(ctx, kEcho, {ctx.split_answer});
  if (is_no(ctx.split_answer)) return;

  console.write(kFactorPrompt, {ctx.split_factor});
  console.directions();
  for (;;) {
    int32_t reply = console.read_int(kFactor);
    // Enter keeps the current factor, even one refused just before.
    ctx.split_factor = reply == 0 ? ctx.split_factor : reply;
    // The subdivision needs at least one piece per segment line.
    if (ctx.split_factor >= 1 && ctx.split_factor <= 999) break;
    console.line("              ");
  }
  echo(ctx, kFactorEcho, {ctx.split_factor});
  ctx.copies_made = ctx.split_factor;
}

void ask_reconstruction(RunContext& ctx, Console& console) {
  static const Layout kQuestion(
      "' Do you want to reconstruct some roads for reasons other than condition?  ',A1");
  static const Layout kProbability(
      "' Enter the percent probablity of this in a positive number less than 100. ',F4.1");
  static const Layout kReply("F6.2");

  console.directions();
  console.write(kQuestion, {ctx.reconstruct_answer});
  ctx.reconstruct_answer = console.readinput(ctx.reconstruct_answer, ctx.keep_default_char);
  echo(ctx, kQuestion, {ctx.reconstruct_answer});
  if (is_no(ctx.reconstruct_answer)) return;

  const float shown = reconstruction_default_percent(ctx);
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
  echo(ctx, kProbability, {percent});
  use_reconstruction_percent(ctx, percent);
}

// The scores name up to its first blank or point, and ".prd", in 12
// characters: NET1 gives NET1.prd.
Text<12> default_final_conditions_name(const Text<9>& scores_name) {
  std::string_view name = scores_name.view();
  std::size_t end = name.find_first_of(" .");
  if (end == std::string_view::npos) end = name.size();
  return Text<12>(std::string(name.substr(0, end)) + ".prd");
}

// data\random.dat's first 500 numbers, for the reconstruction draws.
void load_recon_numbers(RunContext& ctx) {
  static const Layout kNumber("F6.5");
  auto file = InputFile::open_or_fatal(ctx.workdir.data("random.dat"), IfMissing::kCreateEmpty);
  for (int i = 1; i <= kReconNumbers; ++i) read_or_fatal(kNumber, *file, {ctx.recon_random[i]});
  ctx.recon_cursor = kReconNumbers + 1;
}

}  // namespace

float reconstruction_default_percent(const RunContext& ctx) {
  // A value of at most 1 is a fraction: a saved answer of that size, or
  // this run's answer after a way back.
  float shown = ctx.reconstruct_probability;
  if (shown <= 1.0f) shown = static_cast<float>(double(shown) * 100.0);
  return shown;
}

void use_reconstruction_percent(RunContext& ctx, float percent) {
  ctx.reconstruct_probability = percent;
  // A probability this small leaves reconstruction off for the run, and
  // the value in percent.
  ctx.recon_numbers_loaded = false;
  if (ctx.reconstruct_probability > 0.001f) {
    load_recon_numbers(ctx);
    ctx.recon_numbers_loaded = true;
    ctx.reconstruct_probability = static_cast<float>(double(ctx.reconstruct_probability) / 100.0);
  }
}

void ask_network_options(RunContext& ctx, Console& console) {
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

  ask_scores_name(ctx, console);
  ask_split(ctx, console);
  ctx.randomize_answer = ask_yes_no(ctx, console, kRandomize, ctx.randomize_answer);
  ctx.vmt_answer = ask_yes_no(ctx, console, kTraffic, ctx.vmt_answer);
  ask_reconstruction(ctx, console);

  // The default name takes the place of a blank reply only now, after the
  // reconstruction questions, and its echo follows theirs.
  if (ctx.scores_name.blank()) ctx.scores_name = ctx.default_scores_name;
  echo(ctx, kScoresEcho, {ctx.scores_name});

  ctx.final_conditions_answer =
      ask_yes_no(ctx, console, kFinalConditions, ctx.final_conditions_answer);
  Text<12> default_final_name;
  bool save_final = !is_no(ctx.final_conditions_answer);
  if (save_final) {
    default_final_name = default_final_conditions_name(ctx.scores_name);
    do {
      console.write(kFinalName, {default_final_name});
      console.directions();
      kFinalReply.read(console.reply(), {ctx.final_conditions_file});
    } while (console.refuses_file_name(ctx.final_conditions_file.view()));
  }

  ctx.print_answer = ask_yes_no(ctx, console, kPrint, ctx.print_answer);
  ctx.auxiliary_answer = ask_yes_no(ctx, console, kAuxiliary, ctx.auxiliary_answer);

  if (save_final) {
    if (ctx.final_conditions_file.blank()) ctx.final_conditions_file = default_final_name;
    echo(ctx, kFinalName, {ctx.final_conditions_file});
  }
  console.progress("Reading Data");
}

}  // namespace pavecast
