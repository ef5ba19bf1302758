#include "dialogue/run_options.h"

#include <algorithm>
#include <string>
#include <vector>

#include "dialogue/echo.h"

namespace pavecast {

namespace {

using layout::Layout;

const std::string kBlankLine(76, ' ');

void ask_printout_type(RunContext& ctx, Console& console) {
  static const Layout kQuestion("/,/,' Enter the number of the type of printout? ',I1");
  static const Layout kType("21X,I1,2X,A45");
  static const Layout kReply("I1");
  for (;;) {
    console.write(kQuestion, {ctx.printout_type});
    // Each title is a text of 45 characters, blank-padded on the right.
    for (int32_t k = 1; k <= 3; ++k) console.write(kType, {k, Text<45>(kPrintoutTitles[k])});
    console.directions();
    int32_t reply = 0;
    do {
      reply = console.read_int(kReply);
      if (reply == 0) reply = ctx.printout_type;
    } while (reply == 0);
    // Taken before the range test, so a refused number is the next default.
    ctx.printout_type = reply;
    echo(ctx, kQuestion, {ctx.printout_type});
    if (ctx.printout_type >= 1 && ctx.printout_type <= 3) break;
  }
  ctx.page_lines = ctx.printout_type == 3 ? 53 : 74;
}

void ask_date_time(RunContext& ctx, Console& console) {
  static const Layout kQuestion(
      "' Do you want the date and time printed? ',A1,'                                   '");
  console.write(kQuestion, {ctx.date_time_answer});
  console.directions();
  ctx.date_time_answer = console.readinput(ctx.date_time_answer, ctx.keep_default_char);
  echo(ctx, kQuestion, {ctx.date_time_answer});
}

void clear_trace_entry(RunContext& ctx, int t) {
  ctx.trace_segment[t] = 0;
  ctx.trace_tag[t] = "";
  ctx.trace_file_name[t] = "";
}

// The count and the entries; neither is echoed.
void ask_trace_entries(RunContext& ctx, Console& console) {
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
    ctx.trace_count = console.read_int(kCount);
  } while (ctx.trace_count < 0 || ctx.trace_count > kMaxTraces);

  console.write(kEnterEach, {ctx.trace_count});
  for (int32_t t = 1; t <= ctx.trace_count; ++t) {
    if (t >= 17) console.progress(" Continue entering:");
    for (;;) {
      console.write(kPrompt, {t});
      if (kEntry.read(console.reply(), {ctx.trace_tag[t], ctx.trace_segment[t]}) ==
          layout::ReadStatus::kOk)
        break;
    }
    ctx.trace_file_name[t] = "trace." + ctx.trace_tag[t].str();
  }
}

}  // namespace

void ask_printout_options(RunContext& ctx, Console& console) {
  static const Layout kTraceQuestion("' Do you want to trace the scores of any segments ? ',A1");
  ask_printout_type(ctx, console);
  ask_date_time(ctx, console);

  console.directions();
  console.line(kBlankLine);
  console.write(kTraceQuestion, {ctx.trace_answer});
  ctx.trace_answer = console.readinput(ctx.trace_answer, ctx.keep_default_char);
  echo(ctx, kTraceQuestion, {ctx.trace_answer});
  if (!is_yes(ctx.trace_answer)) {
    ctx.trace_count = 0;
    return;
  }
  ask_trace_entries(ctx, console);
}

void show_trace_files(RunContext& ctx, Console& console) {
  static const Layout kHeading(
      "' The trace information will be written on the follow','ing files:',/,/");
  static const Layout kNames("6(1X,A10,1X)");
  constexpr int kNamesPerLine = 6;
  constexpr int kLinesPerScreen = 15;

  // Without tracing the dialogue goes straight on to the force-fix question.
  if (!is_yes(ctx.trace_answer)) return;

  console.write(kHeading, {});
  int32_t line_count = (ctx.trace_count + kNamesPerLine - 1) / kNamesPerLine;
  for (int32_t line = 1; line <= line_count; ++line) {
    int32_t first = (line - 1) * kNamesPerLine + 1;
    int32_t last = std::min(first + kNamesPerLine - 1, ctx.trace_count);
    std::vector<layout::Item> names;
    for (int32_t t = first; t <= last; ++t) names.emplace_back(ctx.trace_file_name[t]);
    std::string text;
    kNames.write(text, names);
    console.write(text);
    if (line % kLinesPerScreen == 0 && line < line_count) console.pause();
  }
  for (int t = ctx.trace_count + 1; t <= kMaxTraces; ++t) clear_trace_entry(ctx, t);
  console.pause();
}

void ask_force_fix(RunContext& ctx, Console& console) {
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
    console.write(kQuestion, {ctx.force_fix_answer});
    ctx.force_fix_answer = console.readinput(ctx.force_fix_answer, ctx.keep_default_char);
    echo(ctx, kQuestion, {ctx.force_fix_answer});
    if (is_no(ctx.force_fix_answer)) return;

    char first = ' ';
    Text<12> name;
    bool read = true;
    do {
      console.write(kFilePrompt, {ctx.force_fix_file});
      read = kReply.read(console.reply(), {first, name}) == layout::ReadStatus::kOk;
      // A reply that begins with a blank keeps the default name.
      if (first == ' ') name = ctx.force_fix_file;
    } while (read && console.refuses_file_name(name.view()));
    if (!read) continue;
    ctx.force_fix_file = name;
    echo(ctx, kEcho, {ctx.force_fix_file});
    return;
  }
}

TraceRecovery recover_trace_files(RunContext& ctx, Console& console, int failed_entry) {
  static const Layout kMessage(
      "' You requested to trace ',I3,' segments.  You may ','only trace ',I3,'.'");
  static const Layout kQuestion(
      "' Do you want to keep your entries (k) or reenter them',' (r) (k/r)? '");
  int32_t opened = failed_entry - 1;
  console.write(kMessage, {ctx.trace_count, opened});
  console.write(kQuestion, {});
  for (;;) {
    std::string reply = console.reply();
    char c = reply.empty() ? ' ' : reply[0];
    if (c == 'k' || c == 'K') {
      ctx.trace_count = opened;
      return TraceRecovery::kKeep;
    }
    if (c == 'r' || c == 'R') break;
  }

  for (int i = 0; i < 3; ++i) console.line(kBlankLine);
  console.progress("Deleting Previous Entries");
  // Only the files this pass opened are removed; a file of the same name
  // that the loader never opened (the one that failed, say) is left alone.
  for (int32_t t = 1; t <= ctx.trace_count; ++t) {
    if (ctx.files.trace[t]) {
      ctx.files.trace[t]->discard();
      ctx.files.trace[t].reset();
    }
    clear_trace_entry(ctx, t);
  }
  ctx.trace_count = 0;
  return TraceRecovery::kReenter;
}

}  // namespace pavecast
