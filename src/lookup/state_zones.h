#pragma once

#include <string>
#include <string_view>

// The CQ and ITU zones of the US states, for the prefixes that span several zones.
namespace torvane::state_zones {

// The multi-zone markers of such prefixes in the prefix tables.
inline constexpr std::string_view kCQMultiZone = "03/04/05";
inline constexpr std::string_view kITUMultiZone = "06/07/08";

// The zone of a two-letter state code (any letter case, not trimmed) as at least two digits;
// "00" for a code that is not a state or DC.
std::string CQZoneFromState(std::string_view state);
std::string ITUZoneFromState(std::string_view state);

}  // namespace torvane::state_zones
