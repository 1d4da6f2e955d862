#include "geo/call_distances.h"

#include "geo/great_circle.h"

#include <cmath>

namespace torvane {

namespace {

// The stored call values use 1.61 km to the mile (the home-distance getter uses 1.6).
constexpr double kKilometresPerMile = 1.61;

Variant Kilometres(const Variant& miles) {
  return Variant(miles.ToNumber().value_or(0.0) * kKilometresPerMile);
}

// A position text as a number; text that is not a number leaves the previous value. "nan" and
// "inf" are no positions: read as numbers they would give a distance in miles that cannot be
// computed beside a distance in kilometres of 0.
void ReadNumber(const std::string& text, double& target) {
  if (const auto number = ParseNumber(text); number && std::isfinite(*number)) target = *number;
}

}  // namespace

Variant CallDistances::GreatCircleMiles(const Variant& latitude, const Variant& longitude) const {
  return geo::GreatCircleMiles(geo_pi_, settings_.HomeLatitude, settings_.HomeLongitude, latitude,
                               longitude);
}

Variant CallDistances::BeamHeading(const Variant& latitude, const Variant& longitude) const {
  Variant far_longitude = longitude;
  return geo::BeamHeading(geo_pi_, log_, settings_.HomeLatitude, settings_.HomeLongitude,
                          latitude, far_longitude);
}

void CallDistances::ComputeCallDistances(std::string& latitude, std::string& longitude,
                                         const EntityInfo& call_entity,
                                         const EntityInfo& prefix_entity) {
  double call_latitude = 0;
  double call_longitude = 0;
  if (!latitude.empty()) {
    ReadNumber(latitude, call_latitude);
    ReadNumber(longitude, call_longitude);
  } else {
    ReadNumber(call_entity.Latitude, call_latitude);
    ReadNumber(call_entity.Longitude, call_longitude);
    latitude = call_entity.Latitude;
    longitude = call_entity.Longitude;
  }
  if (call_latitude != 0 || call_longitude != 0) {
    DXMiles = GreatCircleMiles(Variant(call_latitude), Variant(call_longitude));
    DXKm = Kilometres(DXMiles);
    DXBearing = BeamHeading(Variant(call_latitude), Variant(call_longitude));
  } else {
    // No position for the call: only the heading, towards the prefix entity.
    const Variant heading =
        BeamHeading(Variant(prefix_entity.Latitude), Variant(prefix_entity.Longitude));
    if (!heading.IsEmpty()) DXBearing = heading;
  }

  double prefix_latitude = 0;
  double prefix_longitude = 0;
  ReadNumber(prefix_entity.Latitude, prefix_latitude);
  ReadNumber(prefix_entity.Longitude, prefix_longitude);
  if (prefix_latitude != 0 || prefix_longitude != 0) {
    PrefixDXMiles = GreatCircleMiles(Variant(prefix_latitude), Variant(prefix_longitude));
    PrefixDXKm = Kilometres(PrefixDXMiles);
    PrefixDXBearing = BeamHeading(Variant(prefix_latitude), Variant(prefix_longitude));
  }
}

void CallDistances::ClearCallValues() {
  DXMiles = DXKm = DXBearing = Variant(std::int16_t{0});
}

void CallDistances::ClearAll() {
  ClearCallValues();
  PrefixDXMiles = PrefixDXKm = PrefixDXBearing = Variant(std::int16_t{0});
}

}  // namespace torvane
