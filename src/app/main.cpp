// pavecast: the pavement-condition projection program. Runs one dialogue and
// projection in the current directory; takes no arguments.
#include <csignal>
#include <exception>
#include <filesystem>
#include <iostream>

#include "app/run_driver.h"
#include "io/temporary_files.h"

int main() {
  // A printer device or pipe that goes away must fail the copy, not end the run.
  std::signal(SIGPIPE, SIG_IGN);
  // A file size limit must fail the write (a fatal stop naming the file),
  // not kill the run halfway through a file.
  std::signal(SIGXFSZ, SIG_IGN);
  // Ctrl-C ends the run, but takes no half-written replacement file with it.
  pavecast::remove_temporaries_on_interrupt();
  std::ios::sync_with_stdio(false);
  // A failure no stage stops on (the file system failing under it, memory
  // running out) ends the run with one line, never an abort.
  try {
    pavecast::ProgramOptions options;
    options.workdir.root = std::filesystem::current_path();
    options.start_time = pavecast::local_start_time();
    return pavecast::run_program(options, std::cin, std::cout);
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << "pavecast: " << e.what() << "\n";
  } catch (...) {
    std::cout.flush();
    std::cerr << "pavecast: stopped by an unexpected error\n";
  }
  return 1;
}
