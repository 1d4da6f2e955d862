#include "geo/great_circle.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

namespace torvane::geo {

namespace {

const Variant kIntegerZero{std::int16_t{0}};

// Kilometres per mile of the home-distance getter (the stored call values use 1.61).
constexpr double kHomeKilometresPerMile = 1.6;

// The first position of a pair goes through its text, as the host's own values do.
double ReadFirst(const Variant& value) { return LeadingNumber(value.ToText()); }

// The second position must hold a number; "inf" and "nan" texts are not numbers here.
std::optional<double> ReadSecond(const Variant& value) {
  const std::optional<double> number = value.ToNumber();
  if (!number || !std::isfinite(*number)) return std::nullopt;
  return number;
}

// Rounding can push a cosine a hair past +-1 for nearly equal or antipodal points.
double ClampUnit(double x) { return std::clamp(x, -1.0, 1.0); }

// The arc cosine as the formulas write it, with a full-precision pi/2 term.
double ArcCosine(double x, double root) { return 2 * std::atan(1.0) + std::atan(-x / root); }

// lon2 + 360 in the type the host's variable would take: integers stay integers.
Variant Shifted(const Variant& original, double value) {
  switch (original.type()) {
    case Variant::Type::kBool:
    case Variant::Type::kInt16:
      return Variant(static_cast<std::int16_t>(value));
    case Variant::Type::kInt32:
      return Variant(static_cast<std::int32_t>(value));
    default:
      return Variant(value);
  }
}

}  // namespace

Variant MilesBetween(double geo_pi, double lat1, double lon1, double lat2, double lon2) {
  if (lat2 == lat1 && lon2 == lon1) return kIntegerZero;
  const double to_radians = geo_pi / 180;
  const double phi1 = lat1 * to_radians;
  const double phi2 = lat2 * to_radians;
  const double delta = (lon1 - lon2) * to_radians;
  const double x = ClampUnit(std::sin(phi1) * std::sin(phi2) +
                             std::cos(phi2) * std::cos(phi1) * std::cos(delta));
  const double root = std::sqrt(1 - x * x);
  if (!(root > 0)) return kIntegerZero;
  const double miles = ArcCosine(x, root) * kMilesPerDegree * (180 / geo_pi);
  if (miles < 1) return kIntegerZero;
  return Variant(miles);
}

Variant GreatCircleMiles(double geo_pi, const Variant& lat1, const Variant& lon1,
                         const Variant& lat2, const Variant& lon2) {
  const std::optional<double> far_lat = ReadSecond(lat2);
  const std::optional<double> far_lon = ReadSecond(lon2);
  if (!far_lat || !far_lon) return Variant();
  return MilesBetween(geo_pi, ReadFirst(lat1), ReadFirst(lon1), *far_lat, *far_lon);
}

Variant BeamHeading(double geo_pi, const LogWriter& write_log, const Variant& lat1,
                    const Variant& lon1, const Variant& lat2, Variant& lon2) {
  const double home_lat = ReadFirst(lat1);
  double home_lon = ReadFirst(lon1);
  if (write_log) {
    write_log("MyLat: " + lat1.ToText() + " MyLon: " + lon1.ToText() + " Lat: " + lat2.ToText() +
              " Lon: " + lon2.ToText());
  }
  const Variant lon2_as_passed = lon2;
  if (home_lon < 0) home_lon += 360;
  std::optional<double> far_lon = ReadSecond(lon2);
  if (far_lon && *far_lon < 0) {
    *far_lon += 360;
    lon2 = Shifted(lon2, *far_lon);
  }
  const std::optional<double> far_lat = ReadSecond(lat2);
  if (!far_lat || !far_lon) return Variant();

  const Variant fallback(*far_lat < 0 ? 180.0 : 0.0);
  if (*far_lat == home_lat && *far_lon == home_lon) return fallback;

  const double to_radians = geo_pi / 180;
  const double phi_home = home_lat * to_radians;
  const double phi_far = *far_lat * to_radians;
  const double delta = (home_lon - *far_lon) * to_radians;
  // The arc in true radians: the GeoPi factors of the mileage cancel here.
  const double arc =
      GreatCircleMiles(geo_pi, lat1, lon1, lat2, lon2_as_passed).ToNumber().value_or(0) /
      kMilesPerDegree * to_radians;

  const double lon_gap = std::fabs(home_lon - *far_lon);
  if (*far_lon == home_lon || lon_gap == 180 || lon_gap == 360) return fallback;
  const double q = std::cos(phi_home) * std::sin(arc);
  if (q == 0) return fallback;
  const double x = ClampUnit((std::sin(phi_far) - std::sin(phi_home) * std::cos(arc)) / q);
  if (std::fabs(x) == 1) return fallback;
  double heading = ArcCosine(x, std::sqrt(1 - x * x)) * (180 / geo_pi);
  if (std::sin(delta) >= 0) heading = 360 - heading;  // the far point lies west of home
  return Variant(heading);
}

Variant HomeDistance(double geo_pi, const Variant& home_latitude, const Variant& home_longitude,
                     const Variant& latitude, const Variant& longitude, bool miles_units) {
  const std::optional<double> lat = ReadSecond(latitude);
  const std::optional<double> lon = ReadSecond(longitude);
  if (!lat || !lon || std::fabs(*lat) > 90 || std::fabs(*lon) > 180) return kIntegerZero;
  const Variant miles =
      GreatCircleMiles(geo_pi, home_latitude, home_longitude, latitude, longitude);
  if (miles_units) return miles;
  return Variant(miles.ToNumber().value_or(0) * kHomeKilometresPerMile);
}

}  // namespace torvane::geo
