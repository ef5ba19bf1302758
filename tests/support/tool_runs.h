// Helpers of the scenario tool's tests: saved answers changed line by line,
// the tool run in-process, and the program run with Enter at every
// question but the funding.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/run_driver.h"
#include "scenarios/scenarios_tool.h"
#include "support/test_support.h"

namespace pavecast::testing {

// Line `n` (from 1) of the file at `relative` becomes `text`.
inline void set_line(const TempDir& dir, const std::string& relative, int n,
                     const std::string& text) {
  std::istringstream in(dir.read(relative));
  std::string out, line;
  for (int k = 1; std::getline(in, line); ++k) out += (k == n ? text : line) + "\n";
  dir.write(relative, out);
}

struct ToolResult {
  int status = 0;
  std::string out;
  std::string err;
};

inline ToolResult run_tool(const TempDir& dir, const std::vector<std::string>& args) {
  std::ostringstream out, err;
  ToolResult r;
  r.status = run_scenarios_tool(args, dir.path(), out, err, false);
  r.out = out.str();
  r.err = err.str();
  return r;
}

struct ProgramResult {
  int status = 0;
  std::string console;
};

// The program with Enter at every question, except "Y" to the dollars
// question and `funding` at the amount. `force_fix`: the saved answers force
// repairs, so the file name is asked too.
inline ProgramResult run_program_at(const TempDir& dir, const std::string& funding,
                                    bool force_fix) {
  std::string replies = "\n\n\n\n\n\n";  // introduction .. force-fix question
  if (force_fix) replies += "\n";        // the forced-repair file
  replies += "\nY\n" + funding + "\n";   // years, dollars, amount
  for (int i = 0; i < 300; ++i) replies += "\n";
  ProgramOptions options;
  options.workdir = dir.workdir();
  options.start_time = {2025, 1, 2, 3, 4};
  ProgramResult r;
  std::istringstream in(replies);
  std::ostringstream out;
  r.status = run_program(options, in, out);
  r.console = out.str();
  return r;
}


// The bundled network's segment lines repeated until it holds at least
// `segments` segments: each group's lines `copies` times over, in order.
inline void grow_network(const TempDir& dir, int segments) {
  std::istringstream in(dir.read("roads/NET1"));
  std::string header, name;
  std::getline(in, header);
  std::getline(in, name);
  std::vector<std::pair<std::string, std::vector<std::string>>> groups;  // type, lines
  bool in_group = false;
  int have = 0;
  for (std::string line; std::getline(in, line);) {
    const bool blank = line.find_first_not_of(' ') == std::string::npos;
    if (!in_group && !blank) {
      groups.push_back({line, {}});
      in_group = true;
    } else if (in_group && blank) {
      in_group = false;
    } else if (in_group) {
      groups.back().second.push_back(line);
      ++have;
    }
  }
  const int copies = (segments + have - 1) / have;
  std::string out = header + "\n" + name + "\n";
  for (const auto& [type, lines] : groups) {
    out += type + "\n";
    for (int c = 0; c < copies; ++c)
      for (const std::string& line : lines) out += line + "\n";
    out += "\n";
  }
  dir.write("roads/NET1", out);
}

}  // namespace pavecast::testing
