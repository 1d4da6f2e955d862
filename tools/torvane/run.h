#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace torvane::tool {

// The whole command-line tool: `args` without the program name. Returns the exit status.
int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err);

}  // namespace torvane::tool
