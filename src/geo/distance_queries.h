#pragma once

#include <string>

#include "geo/call_distances.h"
#include "lookup/call_check.h"
#include "lookup/callbook.h"
#include "prefix/prefix_lookup.h"
#include "torvane/variant.h"

namespace torvane {

// The per-call distance, heading and position getters: each runs the call check first.
class DistanceQueries {
 public:
  DistanceQueries(CallCheck& check, Callbook& callbook, PrefixLookup& prefixes,
                  CallDistances& distances)
      : check_(check), callbook_(callbook), prefixes_(prefixes), distances_(distances) {}

  Variant GetDXDistance(const std::string& callsign);
  Variant GetPrefixDXDistance(const std::string& callsign);
  Variant GetDXBearing(const std::string& callsign);
  Variant GetPrefixDXBearing(const std::string& callsign);
  Variant GetDXLatitude(const std::string& callsign);
  Variant GetPrefixDXLatitude(const std::string& callsign);
  Variant GetDXLongitude(const std::string& callsign);
  Variant GetPrefixDXLongitude(const std::string& callsign);
  std::string GetMilesToDX(const std::string& callsign);
  std::string GetPrefixMilesToDX(const std::string& callsign);
  std::string GetKmToDX(const std::string& callsign);
  std::string GetPrefixKmToDX(const std::string& callsign);
  std::string GetBearingToDX(const std::string& callsign);
  std::string GetPrefixBearingToDX(const std::string& callsign);

 private:
  enum class Target { kCall, kPrefix };  // the callbook position, or the prefix entity's
  enum class Measure { kMiles, kBearing };
  enum class Axis { kLatitude, kLongitude };

  const std::string& Latitude(Target target) const;
  const std::string& Longitude(Target target) const;
  // Runs the check, ignoring its result, and measures from home to the target's position.
  Variant Measured(const std::string& callsign, Target target, Measure measure);
  // The target's coordinate as a number after a successful check.
  Variant Coordinate(const std::string& callsign, Target target, Axis axis);
  // A stored value as text after a successful check.
  std::string Stored(const std::string& callsign, const Variant& value);

  CallCheck& check_;
  Callbook& callbook_;
  PrefixLookup& prefixes_;
  CallDistances& distances_;
};

}  // namespace torvane
