#pragma once

#include <string_view>

namespace torvane::import {

// The postal code of a state of the United States or of the District of Columbia, by its
// English name ("New York" gives "NY"); empty for any other name.
std::string_view UsStateCode(std::string_view name);

}  // namespace torvane::import
