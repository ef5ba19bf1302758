// pavecast: the pavement-condition projection program. Runs one dialogue and
// projection in the current directory; takes no arguments.
#include <csignal>
#include <filesystem>
#include <iostream>

#include "driver/program.h"

int main() {
  // A printer device or pipe that goes away must fail the copy, not end the run.
  std::signal(SIGPIPE, SIG_IGN);
  std::ios::sync_with_stdio(false);
  pavecast::ProgramOptions options;
  options.workdir.root = std::filesystem::current_path();
  options.start_time = pavecast::local_start_time();
  return pavecast::run_program(options, std::cin, std::cout);
}
