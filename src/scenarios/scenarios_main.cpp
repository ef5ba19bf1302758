// pavecast-scenarios: budget scenarios of the program's run without its
// dialogue, run in the program's working directory (scenarios_tool.h).
#include <unistd.h>

#include <csignal>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "io/temporary_files.h"
#include "scenarios/scenarios_tool.h"

int main(int argc, char** argv) {
  // A file size limit fails the write (a fatal stop naming the file), not
  // the process halfway through a file.
  std::signal(SIGXFSZ, SIG_IGN);
  // Ctrl-C, a hang-up or a termination request takes no half-written file
  // with it: the temporary files of the replacements are removed.
  pavecast::remove_temporaries_on_interrupt();
  std::ios::sync_with_stdio(false);
  int status = 1;
  try {
    std::vector<std::string> args(argv + 1, argv + argc);
    status = pavecast::run_scenarios_tool(args, std::filesystem::current_path(), std::cout,
                                          std::cerr, ::isatty(STDERR_FILENO) == 1);
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << "pavecast-scenarios: " << e.what() << "\n";
    return 1;
  } catch (...) {
    std::cout.flush();
    std::cerr << "pavecast-scenarios: stopped by an unexpected error\n";
    return 1;
  }
  std::cout.flush();
  if (!std::cout) return status == 0 ? 1 : status;  // standard output lost (a full disk, say)
  return status;
}
