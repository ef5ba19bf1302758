#include "fatal/fatal.h"

namespace pavecast {

void fatal(std::string_view message) {
  std::string text = " ** Fatal Error: ";
  text += message;
  text += '\n';
  throw FatalStop{std::move(text)};
}

void fatal_text(std::string console_text) {
  throw FatalStop{std::move(console_text)};
}

}  // namespace pavecast
