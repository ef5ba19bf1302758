#include "model/run_file_names.h"

namespace pavecast {

std::string run_output_name(const Text<9>& scores_name, float annual_funding,
                            std::string_view extension) {
  const char funding_letter = annual_funding >= 998.0f ? 'u' : 'c';
  std::string_view chars = scores_name.view();
  std::size_t stop = chars.find_first_of(" .");
  std::string name;
  if (stop == std::string_view::npos) {
    name = chars;
  } else {
    name = chars.substr(0, stop);
    name += '-';
    if (stop + 1 < chars.size() && chars[stop + 1] != ' ') name += chars[stop + 1];
    name += funding_letter;
  }
  name += '.';
  name += extension;
  return name;
}

bool is_run_file_name(const RunSettings& settings, std::string_view name) {
  std::size_t end = name.find_last_not_of(' ');
  name = end == std::string_view::npos ? std::string_view() : name.substr(0, end + 1);
  if (name == kEchoFileName || name == kCommandFileName) return true;
  for (std::string_view extension : {"out", "scr", "rep", "res"})
    if (name == run_output_name(settings.scores_name, settings.annual_funding, extension))
      return true;
  for (int32_t t = 1; t <= settings.trace_count && t <= kMaxTraces; ++t)
    if (name == settings.trace_file_name[t].trimmed()) return true;
  return false;
}

}  // namespace pavecast
