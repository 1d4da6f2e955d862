#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "tools/torvane/run.h"

namespace torvane::testing {

// What one in-process run of the command-line tool printed and returned.
struct ToolOutcome {
  int status = 0;
  std::vector<std::string> lines;  // standard output, line by line
  std::string out;
  std::string err;
};

inline ToolOutcome RunTool(const std::vector<std::string>& args, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  ToolOutcome outcome;
  outcome.status = tool::Run(args, in, out, err);
  outcome.out = out.str();
  outcome.err = err.str();
  std::istringstream text(outcome.out);
  for (std::string line; std::getline(text, line);) outcome.lines.push_back(line);
  return outcome;
}

}  // namespace torvane::testing
