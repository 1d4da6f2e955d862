#include "lookup/state_zones.h"

#include <array>

#include <fmt/format.h>

#include "core/text.h"

namespace torvane::state_zones {

namespace {

struct StateZones {
  std::string_view state;
  int cq_zone;
  int itu_zone;
};

// The 50 states and the District of Columbia, in the order they are tested.
constexpr std::array<StateZones, 51> kStates = {{
    {"co", 4, 7},  {"ia", 4, 7},  {"ks", 4, 7}, {"mn", 4, 7}, {"mo", 4, 7}, {"ne", 4, 7},
    {"nd", 4, 7},  {"sd", 4, 7},  {"ct", 5, 8}, {"me", 5, 8}, {"ma", 5, 8}, {"nh", 5, 8},
    {"ri", 5, 8},  {"vt", 5, 8},  {"nj", 5, 8}, {"ny", 5, 8}, {"dc", 5, 8}, {"de", 5, 8},
    {"md", 5, 8},  {"pa", 5, 8},  {"al", 5, 8}, {"fl", 5, 8}, {"ga", 5, 8}, {"ky", 4, 8},
    {"nc", 5, 8},  {"sc", 5, 8},  {"tn", 4, 8}, {"va", 5, 8}, {"ar", 4, 7}, {"la", 4, 7},
    {"ms", 4, 8},  {"nm", 4, 7},  {"ok", 4, 7}, {"tx", 4, 7}, {"ca", 3, 6}, {"az", 3, 6},
    {"id", 3, 6},  {"mt", 4, 6},  {"nv", 3, 6}, {"or", 3, 6}, {"ut", 3, 6}, {"wa", 3, 6},
    {"wy", 4, 6},  {"mi", 4, 8},  {"oh", 4, 8}, {"wv", 5, 8}, {"il", 4, 8}, {"in", 4, 8},
    {"wi", 4, 8},  {"ak", 1, 1},  {"hi", 31, 61},
}};

std::string Zone(std::string_view state, int StateZones::*column) {
  const std::string lower = text::ToLower(state);
  for (const StateZones& row : kStates) {
    if (row.state == lower) return fmt::format("{:02}", row.*column);
  }
  return "00";
}

}  // namespace

std::string CQZoneFromState(std::string_view state) { return Zone(state, &StateZones::cq_zone); }
std::string ITUZoneFromState(std::string_view state) { return Zone(state, &StateZones::itu_zone); }

}  // namespace torvane::state_zones
