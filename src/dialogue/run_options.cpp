#include "dialogue/run_options.h"

#include <algorithm>
#include <string>
#include <vector>

#include "dialogue/dialogue.h"

namespace pavecast {

namespace {

using layout::Layout;

const std::string kBlankLine(76, ' ');

void ask_printout_type(const Dialogue& d, RunSettings& settings) {
  Console& console = d.console;
  static const Layout kQuestion("/,/,' Enter the number of the type of printout? ',I1");
  static const Layout kType("21X,I1,2X,A45");
  static const Layout kReply("I1");
  for (;;) {
    console.write(kQuestion, {settings.printout_type});
    // Each title is a text of 45 characters, blank-padded on the right.
    for (int32_t k = 1; k <= 3; ++k) console.write(kType, {k, Text<45>(kPrintoutTitles[k])});
    console.directions();
    int32_t reply = 0;
    do {
      reply = console.read_int(kReply);
      if (reply == 0) reply = settings.printout_type;
    } while (reply == 0);
    // Taken before the range test, so a refused number is the next default.
    settings.printout_type = reply;
    d.echo(kQuestion, {settings.printout_type});
    if (settings.printout_type >= 1 && settings.printout_type <= 3) break;
  }
  settings.page_lines = settings.printout_type == 3 ? 53 : 74;
}

void ask_date_time(const Dialogue& d, RunSettings& settings) {
  Console& console = d.console;
  static const Layout kQuestion(
      "' Do you want the date and time printed? ',A1,'                                   '");
  console.write(kQuestion, {settings.date_time_answer});
  console.directions();
  settings.date_time_answer =
      console.readinput(settings.date_time_answer, settings.keep_default_char);
  d.echo(kQuestion, {settings.date_time_answer});
}

void clear_trace_entry(RunSettings& settings, int t) {
  settings.trace_segment[t] = 0;
  settings.trace_tag[t] = "";
  settings.trace_file_name[t] = "";
}

// The count and the entries; neither is echoed.
void ask_trace_entries(const Dialogue& d, RunSettings& settings) {
  Console& console = d.console;
  static const Layout kHowMany(
      "' How many segments do you want to trace?  (Note:',' you may be limited by',/,"
      "'  your system configuration.)'");
  static const Layout kCount("I2");
  static const Layout kEnterEach(
      "' Enter the numbers of each the ',I2,' segment(s) to be traced.',/,"
      "'  Hit return after each one.'");
  static const Layout kPrompt("' Enter segment # ',I2,': '");
  static const Layout kEntry("A3,T1,I3");

  console.write(kHowMany, {});
  // No default: an empty reply is 0. A count the entry table cannot hold is
  // read again.
  do {
    settings.trace_count = console.read_int(kCount);
  } while (settings.trace_count < 0 || settings.trace_count > kMaxTraces);

  console.write(kEnterEach, {settings.trace_count});
  for (int32_t t = 1; t <= settings.trace_count; ++t) {
    if (t >= 17) console.progress(" Continue entering:");
    for (;;) {
      console.write(kPrompt, {t});
      if (kEntry.read(console.reply(), {settings.trace_tag[t], settings.trace_segment[t]}) ==
          layout::ReadStatus::kOk)
        break;
    }
    settings.trace_file_name[t] = "trace." + settings.trace_tag[t].str();
  }
}

}  // namespace

void ask_printout_options(const Dialogue& d, RunSettings& settings) {
  Console& console = d.console;
  static const Layout kTraceQuestion("' Do you want to trace the scores of any segments ? ',A1");
  ask_printout_type(d, settings);
  ask_date_time(d, settings);

  console.directions();
  console.line(kBlankLine);
  console.write(kTraceQuestion, {settings.trace_answer});
  settings.trace_answer = console.readinput(settings.trace_answer, settings.keep_default_char);
  d.echo(kTraceQuestion, {settings.trace_answer});
  if (!is_yes(settings.trace_answer)) {
    settings.trace_count = 0;
    return;
  }
  ask_trace_entries(d, settings);
}

void show_trace_files(const Dialogue& d, RunSettings& settings) {
  Console& console = d.console;
  static const Layout kHeading(
      "' The trace information will be written on the follow','ing files:',/,/");
  static const Layout kNames("6(1X,A10,1X)");
  constexpr int kNamesPerLine = 6;
  constexpr int kLinesPerScreen = 15;

  // Without tracing the dialogue goes straight on to the force-fix question.
  if (!is_yes(settings.trace_answer)) return;

  console.write(kHeading, {});
  int32_t line_count = (settings.trace_count + kNamesPerLine - 1) / kNamesPerLine;
  for (int32_t line = 1; line <= line_count; ++line) {
    int32_t first = (line - 1) * kNamesPerLine + 1;
    int32_t last = std::min(first + kNamesPerLine - 1, settings.trace_count);
    std::vector<layout::Item> names;
    for (int32_t t = first; t <= last; ++t) names.emplace_back(settings.trace_file_name[t]);
    std::string text;
    kNames.write(text, names);
    console.write(text);
    if (line % kLinesPerScreen == 0 && line < line_count) console.pause();
  }
  for (int t = settings.trace_count + 1; t <= kMaxTraces; ++t) clear_trace_entry(settings, t);
  console.pause();
}

void ask_force_fix(const Dialogue& d, RunSettings& settings) {
  Console& console = d.console;
  static const Layout kQuestion(
      "' Do you want to force any roads to be repaired in ','particular years? ',A1");
  static const Layout kFilePrompt(
      "'  Enter the filename with a list of segments to ','\"force-fix\" or hit <Return>.  ',"
      "/,A12");
  static const Layout kReply("A1,T1,A12");
  static const Layout kEcho(
      "' Enter the filename with a list of segments to ','\"force-fix\".  ',A12");
  for (;;) {
    console.directions();
    console.write(kQuestion, {settings.force_fix_answer});
    settings.force_fix_answer =
        console.readinput(settings.force_fix_answer, settings.keep_default_char);
    d.echo(kQuestion, {settings.force_fix_answer});
    if (is_no(settings.force_fix_answer)) return;

    char first = ' ';
    Text<12> name;
    bool read = true;
    do {
      console.write(kFilePrompt, {settings.force_fix_file});
      read = kReply.read(console.reply(), {first, name}) == layout::ReadStatus::kOk;
      // A reply that begins with a blank keeps the default name.
      if (first == ' ') name = settings.force_fix_file;
    } while (read && console.refuses_file_name(name.view()));
    if (!read) continue;
    settings.force_fix_file = name;
    d.echo(kEcho, {settings.force_fix_file});
    return;
  }
}

TraceRecovery recover_trace_files(const Dialogue& d, RunSettings& settings, RunFiles& files,
                                  int failed_entry) {
  Console& console = d.console;
  static const Layout kMessage(
      "' You requested to trace ',I3,' segments.  You may ','only trace ',I3,'.'");
  static const Layout kQuestion(
      "' Do you want to keep your entries (k) or reenter them',' (r) (k/r)? '");
  int32_t opened = failed_entry - 1;
  console.write(kMessage, {settings.trace_count, opened});
  console.write(kQuestion, {});
  for (;;) {
    std::string reply = console.reply();
    char c = reply.empty() ? ' ' : reply[0];
    if (c == 'k' || c == 'K') {
      settings.trace_count = opened;
      return TraceRecovery::kKeep;
    }
    if (c == 'r' || c == 'R') break;
  }

  for (int i = 0; i < 3; ++i) console.line(kBlankLine);
  console.progress("Deleting Previous Entries");
  // Only the files this pass opened are removed; a file of the same name
  // that the loader never opened (the one that failed, say) is left alone.
  for (int32_t t = 1; t <= settings.trace_count; ++t) {
    if (files.trace[t]) {
      files.trace[t]->discard();
      files.trace[t].reset();
    }
    clear_trace_entry(settings, t);
  }
  settings.trace_count = 0;
  return TraceRecovery::kReenter;
}

}  // namespace pavecast
