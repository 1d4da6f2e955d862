#pragma once

#include <string>
#include <utility>
#include <vector>

// Kept apart from the rest of the support library, which would otherwise link libzip into
// every test program, including those that check when the library opens it.
namespace torvane::testing {

// Writes a zip archive holding the given members (name and content).
void WriteZip(const std::string& path,
              const std::vector<std::pair<std::string, std::string>>& members);

}  // namespace torvane::testing
