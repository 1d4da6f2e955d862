#pragma once

#include <functional>
#include <string_view>

#include "torvane/variant.h"

// Great-circle distance and beam heading on a sphere, in the system's own arithmetic: the
// degree/radian factor is the service's GeoPi (3.1415, not pi), and a few results are the
// 16-bit integer 0 rather than a double.
namespace torvane::geo {

// Statute miles per degree of great-circle arc.
inline constexpr double kMilesPerDegree = 69.041;

// Writes one line to the activity log.
using LogWriter = std::function<void(std::string_view line)>;

// Miles between two positions in decimal degrees (north and east positive). The first
// position is read through its text with the leading-number parse ("abc" reads as 0); the
// second must hold a number (a numeric text counts). Results: a double of at least one mile;
// the integer 0 for equal positions, for arcs under a mile and where the arc cannot be formed
// (antipodes); empty when the second position is not numeric.
Variant GreatCircleMiles(double geo_pi, const Variant& lat1, const Variant& lon1,
                         const Variant& lat2, const Variant& lon2);

// GreatCircleMiles for positions already read as numbers, for callers that measure from one
// point to many and read that point once.
Variant MilesBetween(double geo_pi, double lat1, double lon1, double lat2, double lon2);

// Beam heading in degrees clockwise from north, [0, 360), from the first position to the
// second, read as GreatCircleMiles reads them. Writes the "MyLat: ..." line to the log on
// every call. A negative lon2 is written back increased by 360. Degenerate geometry (same
// point, same or opposite meridian, poles, arcs under a mile) gives 180 when the far point is
// south of the equator and 0 otherwise. Empty when the second position is not numeric.
Variant BeamHeading(double geo_pi, const LogWriter& write_log, const Variant& lat1,
                    const Variant& lon1, const Variant& lat2, Variant& lon2);

// GreatCircleMiles from home to a point, or the integer 0 when the point is not numeric or
// lies outside +-90 / +-180. Kilometres (miles x 1.6) when miles_units is false.
Variant HomeDistance(double geo_pi, const Variant& home_latitude, const Variant& home_longitude,
                     const Variant& latitude, const Variant& longitude, bool miles_units);

}  // namespace torvane::geo
