#pragma once

#include <optional>

namespace torvane::testing {

// Sunrise or sunset in zone hours by the NOAA solar calculator's algorithm (Meeus, low
// precision), evaluated at the event itself; none in polar day or night. An independent
// reference for the service's own computation: another ephemeris, and an hour angle instead
// of an hourly search. `offset` is hours to add to UTC; positions north and east positive.
std::optional<double> NoaaEvent(int year, int month, int day, int offset, double lat, double lon,
                                bool rise);

}  // namespace torvane::testing
