#include "dialogue/startup.h"

#include "dialogue/saved_answers.h"
#include "fatal/fatal.h"

namespace pavecast {

void start_up(RunSettings& settings, RunFiles& files, const Workdir& workdir,
              const StartTime& now) {
  // The segment slots start with blank names, no forced repair, and no order
  // yet; the segment table is created that way.
  settings.repair_order = 0;
  settings.start_time = now;

  files.echo = OutputFile::create_scratch_or_fatal(workdir.local("userdata.tmp"));

  read_default_dat(settings, workdir);

  static const layout::Layout kPort("I1");
  auto printer = InputFile::open_or_fatal(workdir.data("printer.def"), IfMissing::kFail);
  read_or_fatal(kPort, *printer, {settings.printer_port});
}

void offer_introduction(Console& console) {
  static const char* const kBanner[] = {
      "****************************************************",
      "*                                                  *",
      "*     This program will produce output on an 8.5\"  *",
      "*  x 11\" page.  If your not using a LaserJet, set  *",
      "*  your printer to the lines per inch vertically   *",
      "*  and the characters per inch horizontally you    *",
      "*  desire and choose that option at run-time.      *",
      "*     The policy of repair matrices are read in    *",
      "*  from the file \"matrix.dat\", deterioration       *",
      "*  rates from \"detrates.dat\", and the repair       *",
      "*  information, from the file \"repairs.dat\".       *",
      "*     At any time you can hit <Cnrl C> to      *",
      "*  the program.  It takes 491 KB of memory.        *",
      "*                                                  *",
      "****************************************************",
  };
  console.directions();
  console.progress("Do you want to see the introduction (y/n)? N");
  std::string reply = console.reply();
  if (reply.empty() || (reply[0] != 'y' && reply[0] != 'Y')) return;
  console.pause();
  for (const char* line : kBanner) console.line(std::string(15, ' ') + line);
  console.pause();
}

}  // namespace pavecast
