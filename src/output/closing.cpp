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

void close_file(std::unique_ptr<OutputFile>& file) {
  if (!file) return;
  file->close();
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
  // Closed, but kept under its name until it has been copied.
  record.close();
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

  // The report, the listings and the trace files take their names together,
  // now that every one of them is complete.
  if (run.files.report) write_end_record(run.settings.printout_type, *run.files.report);
  close_file(run.files.report);
  close_file(run.files.segment_list);
  close_file(run.files.improvements);
  for (auto& trace : run.files.trace) close_file(trace);

  const bool print = !is_no(run.settings.print_answer);
  run.state.printer_status = 0;
  if (print) {
    run.state.printer_status = read_printer_status(run);
    if (run.state.printer_status != 0) {
      console.progress("There is a problem with the printer. ");
      console.line("The program will terminate when the <Enter> key is pressed.");
      console.reply();
      console.colour(kYellowOnBlack);
    } else if (!print_file(run, run.workdir.local(trimmed_name(run.state.report_file_name)),
                           print_report_command(run))) {
      printer_alert(console);
    }
  }

  // With a printer problem only the printing is skipped: the inputs record is
  // still kept under its own name.
  complete_inputs_record(run);
  run.state.inputs_file_name = inputs_name(run.state.report_file_name);
  copy_inputs_record(run);
  if (print && run.state.printer_status == 0 &&
      !print_file(run, run.workdir.local("userdata.tmp"), print_inputs_command(run))) {
    printer_alert(console);
  }
  run.files.echo.reset();  // removes userdata.tmp

  // Every file of the run is written and closed by now.
  write_closing_list(run, console);
  console.write("\n The program is done running.\n");
  if (run.state.printer_status != 0) printer_alert(console);
}

}  // namespace pavecast
