// Fatal stops. A fatal condition writes its message to the console and ends
// the run at once with status 1. The condition is raised as a FatalStop
// exception carrying the exact console text, so that open files are closed
// (and a run's unfinished files dropped) on the way out, and tests can
// observe the stop. The program's entry point writes the text and returns 1.
//
// Every layer may stop the run this way, the engine and the model included,
// so the fatal stop depends on nothing of the project.
#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <utility>

namespace pavecast {

struct FatalStop : std::exception {
  explicit FatalStop(std::string text, int exit_status = 1)
      : console_text(std::move(text)), status(exit_status) {}
  const char* what() const noexcept override { return console_text.c_str(); }

  std::string console_text;  // written verbatim, line ends included
  int status = 1;
};

// " ** Fatal Error: " + message, on a line of its own.
[[noreturn]] void fatal(std::string_view message);

// Writes `console_text` verbatim (for the messages whose exact form is fixed).
[[noreturn]] void fatal_text(std::string console_text);

}  // namespace pavecast
