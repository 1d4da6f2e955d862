#pragma once

#include <string>

namespace torvane::testing {

inline constexpr const char* kDebianCtyCsv = "/usr/share/hamradio-files/cty.csv";
inline constexpr const char* kDebianLocationsXml = "/usr/share/libgweather-4/Locations.xml";

// A data folder built from Debian's real reference files, once per test program, the way
// `torvane db build-default` builds it; removed when the program ends.
const std::string& DefaultDataFolder();

}  // namespace torvane::testing
