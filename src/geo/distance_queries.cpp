#include "geo/distance_queries.h"

#include "lookup/callbook_queries.h"

namespace torvane {

const std::string& DistanceQueries::Latitude(Target target) const {
  return target == Target::kCall ? callbook_.record.Latitude : prefixes_.PrefixEntity().Latitude;
}

const std::string& DistanceQueries::Longitude(Target target) const {
  return target == Target::kCall ? callbook_.record.Longitude : prefixes_.PrefixEntity().Longitude;
}

Variant DistanceQueries::Measured(const std::string& callsign, Target target, Measure measure) {
  check_.CheckCall(callsign, true);
  const std::string& latitude = Latitude(target);
  const std::string& longitude = Longitude(target);
  if (latitude.empty() || longitude.empty()) return Variant(std::int16_t{0});
  if (measure == Measure::kMiles) {
    return distances_.GreatCircleMiles(Variant(latitude), Variant(longitude));
  }
  return distances_.BeamHeading(Variant(latitude), Variant(longitude));
}

Variant DistanceQueries::Coordinate(const std::string& callsign, Target target, Axis axis) {
  if (check_.CheckCall(callsign, true) != 0) return Variant(std::int16_t{0});
  const std::string& value = axis == Axis::kLatitude ? Latitude(target) : Longitude(target);
  if (const auto number = ParseNumber(value)) return Variant(*number);
  return Variant();
}

std::string DistanceQueries::Stored(const std::string& callsign, const Variant& value) {
  if (check_.CheckCall(callsign, true) != 0) return std::string(record_getters::kNotFound);
  return value.ToText();
}

Variant DistanceQueries::GetDXDistance(const std::string& callsign) {
  return Measured(callsign, Target::kCall, Measure::kMiles);
}

Variant DistanceQueries::GetPrefixDXDistance(const std::string& callsign) {
  return Measured(callsign, Target::kPrefix, Measure::kMiles);
}

Variant DistanceQueries::GetDXBearing(const std::string& callsign) {
  return Measured(callsign, Target::kCall, Measure::kBearing);
}

Variant DistanceQueries::GetPrefixDXBearing(const std::string& callsign) {
  return Measured(callsign, Target::kPrefix, Measure::kBearing);
}

Variant DistanceQueries::GetDXLatitude(const std::string& callsign) {
  return Coordinate(callsign, Target::kCall, Axis::kLatitude);
}

Variant DistanceQueries::GetPrefixDXLatitude(const std::string& callsign) {
  return Coordinate(callsign, Target::kPrefix, Axis::kLatitude);
}

Variant DistanceQueries::GetDXLongitude(const std::string& callsign) {
  return Coordinate(callsign, Target::kCall, Axis::kLongitude);
}

Variant DistanceQueries::GetPrefixDXLongitude(const std::string& callsign) {
  return Coordinate(callsign, Target::kPrefix, Axis::kLongitude);
}

std::string DistanceQueries::GetMilesToDX(const std::string& callsign) {
  return Stored(callsign, distances_.DXMiles);
}

std::string DistanceQueries::GetPrefixMilesToDX(const std::string& callsign) {
  return Stored(callsign, distances_.PrefixDXMiles);
}

std::string DistanceQueries::GetKmToDX(const std::string& callsign) {
  return Stored(callsign, distances_.DXKm);
}

std::string DistanceQueries::GetPrefixKmToDX(const std::string& callsign) {
  return Stored(callsign, distances_.PrefixDXKm);
}

std::string DistanceQueries::GetBearingToDX(const std::string& callsign) {
  return Stored(callsign, distances_.DXBearing);
}

std::string DistanceQueries::GetPrefixBearingToDX(const std::string& callsign) {
  return Stored(callsign, distances_.PrefixDXBearing);
}

}  // namespace torvane
