#pragma once

#include <string>

namespace torvane {

// A zone as the host shows it: blanks trimmed and at least two digits ("5" -> "05").
// The stored zone is rewritten in that form, and the stored text is returned.
std::string& ToZoneForm(std::string& zone);

}  // namespace torvane
