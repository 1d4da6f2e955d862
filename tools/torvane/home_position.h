#pragma once

#include <optional>
#include <string_view>

namespace torvane::tool {

struct HomePosition {
  double latitude_deg = 0;   // north positive
  double longitude_deg = 0;  // east positive
};

// "LAT,LON" as two finite decimal numbers, or no value. The range is the service's to judge
// (SetHomeLatitude and SetHomeLongitude refuse what lies beyond +-90 and +-180).
std::optional<HomePosition> ParseHomePosition(std::string_view text);

}  // namespace torvane::tool
