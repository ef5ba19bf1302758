#include "output/closing.h"

#include <algorithm>
#include <memory>

#include "layout/layout.h"
#include "model/repair_order.h"
#include "output/final_conditions.h"
#include "output/output_files.h"
#include "output/printing.h"
#include "output/projection_report.h"

namespace pavecast {

namespace {

// The file joins the run's set of files, which take their names together.
void close_into_set(std::unique_ptr<OutputFile>& file, FileSet& set) {
  if (!file) return;
  file->close_into(set);
  file.reset();
}

int32_t read_printer_status(const RunOutput& run) {
  static const layout::Layout kStatus("I1");
  int32_t status = 0;
  auto file = InputFile::open_or_fatal(run.workdir.data("error.dat"), IfMissing::kCreateEmpty);
  read_or_fatal(kStatus, *file, {status});
  return status;
}

void printer_alert(Console& console) {
  console.colour(kWhiteOnRed);
  console.progress(" The output did not print on the printer. ");
  console.colour(kYellowOnBlack);
}

// The priorities the analyst assigned, then the end record.
void complete_inputs_record(const RunOutput& run) {
  static const layout::Layout kPriorityHeading(
      "27X,' Road Score',7X,'Priority',/,27X,' ----------',7X,'--------',/");
  static const layout::Layout kPriorityLine("27X,6X,I1,14X,I3");
  if (!run.files.echo) return;
  OutputFile& record = *run.files.echo;
  if (repair_order_of(run.settings.repair_order) == RepairOrder::kPriority) {
    record.write("\n\n");
    record.write(kPriorityHeading, {});
    for (int32_t k = 1; k <= 8; ++k) record.write(kPriorityLine, {k, run.tables.priority[k]});
  }
  write_end_record(run.settings.printout_type, record);
  // Closed, but kept under its name until the run ends.
  record.close();
}

// The inputs record, read back through the handle of "userdata.tmp" (never
// by its name), written to its ".res" file in the run's set. Returns its
// bytes, for the printer.
std::string copy_inputs_record(const RunOutput& run) {
  if (!run.files.echo) return {};
  std::string record = run.files.echo->contents();
  auto out = OutputFile::create_replacement_or_fatal(
      run.workdir.local(trimmed_name(run.state.inputs_file_name)));
  out->write_through(record);
  out->close_into(run.files.set);
  return record;
}

void write_closing_list(const RunOutput& run, Console& console) {
  static const layout::Layout kClosingList(
      "' The output is in the following files:',/,/,"
      "12X,'The highway condition projection .......... ',A,/,/,"
      "12X,'The user inputs for this simulation ....... ',A,/,/,"
      "12X,'The highway condition by year ............. ',A,/,/,"
      "12X,'The improvements done by year ............. ',A,/,/,"
      "12X,'The trace info, if any (xx is segment #)... trace.xx',/,/,"
      "1X,'The final percent poor is',F5.1,'%.',/,"
      "1X,'The final percent fair is',F5.1,'%.',/");
  const int last = std::clamp(run.settings.year_slots, 1, kMaxYearSlots);
  console.write(
      kClosingList,
      {padded_name(run.state.report_file_name), padded_name(run.state.inputs_file_name),
       padded_name(run.state.condition_file_name), padded_name(run.state.improvements_file_name),
       run.stats.pct_poor[last], run.stats.pct_fair[last]});
}

}  // namespace

std::string inputs_name(const std::string& report_file_name) {
  std::string name = trimmed_name(report_file_name);
  if (name.size() >= 3 && name.compare(name.size() - 3, 3, "out") == 0) {
    name.replace(name.size() - 3, 3, "res");
  } else {
    name += ".res";
  }
  return padded_name(name);
}

void finish_run(const RunOutput& run, Console& console) {
  if (!is_no(run.settings.final_conditions_answer)) write_final_conditions(run, console);

  // Every file of the run is completed, then they all take their names in
  // one commit: a stop before it leaves the files of an earlier run as they
  // were, a stop after it (while printing) the whole new set.
  if (run.files.report) write_end_record(run.settings.printout_type, *run.files.report);
  close_into_set(run.files.report, run.files.set);
  close_into_set(run.files.segment_list, run.files.set);
  close_into_set(run.files.improvements, run.files.set);
  for (auto& trace : run.files.trace) close_into_set(trace, run.files.set);
  complete_inputs_record(run);
  run.state.inputs_file_name = inputs_name(run.state.report_file_name);
  const std::string inputs_record = copy_inputs_record(run);
  run.files.set.commit(run.workdir.root);

  // With a printer problem only the printing is skipped.
  const bool print = !is_no(run.settings.print_answer);
  run.state.printer_status = 0;
  if (print) {
    run.state.printer_status = read_printer_status(run);
    if (run.state.printer_status != 0) {
      console.progress("There is a problem with the printer. ");
      console.line("The program will terminate when the <Enter> key is pressed.");
      console.reply();
      console.colour(kYellowOnBlack);
    } else {
      if (!print_file(run, run.workdir.local(trimmed_name(run.state.report_file_name)),
                      print_report_command(run)))
        printer_alert(console);
      if (!print_bytes(run, inputs_record, print_inputs_command(run))) printer_alert(console);
    }
  }
  run.files.echo.reset();  // removes userdata.tmp

  write_closing_list(run, console);
  console.write("\n The program is done running.\n");
  if (run.state.printer_status != 0) printer_alert(console);
}

}  // namespace pavecast
