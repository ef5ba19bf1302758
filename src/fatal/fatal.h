// Fatal stops. A fatal condition writes its message to the console and ends
// the run at once with status 1; files keep what they hold. The condition is
// raised as a FatalStop exception carrying the exact console text, so that
// open files are closed on the way out and tests can observe the stop. The
// program's entry point writes the text and returns 1.
#pragma once

#include <string>
#include <string_view>

namespace pavecast {

struct FatalStop {
  std::string console_text;  // written verbatim, line ends included
  int status = 1;
};

// " ** Fatal Error: " + message, on a line of its own.
[[noreturn]] void fatal(std::string_view message);

// Writes `console_text` verbatim (for the messages whose exact form is fixed).
[[noreturn]] void fatal_text(std::string console_text);

}  // namespace pavecast
