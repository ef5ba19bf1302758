// pavecast-scenarios: budget scenarios of the program's run without its
// dialogue, run in the program's working directory (scenarios_tool.h).
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "scenarios/scenarios_tool.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + 1, argv + argc);
  int status = pavecast::run_scenarios_tool(args, std::filesystem::current_path(), std::cout,
                                            std::cerr, ::isatty(STDERR_FILENO) == 1);
  std::cout.flush();
  if (!std::cout) return status == 0 ? 1 : status;  // standard output lost (a full disk, say)
  return status;
}
