#include "api/guard.h"
#include "service/service.h"
#include "geo/great_circle.h"
#include "geo/grid_locator.h"
#include "torvane/torvane_control.h"

namespace torvane {

using api::Guard;

namespace {

geo::LogWriter ActivityLogOf(const Service& service) {
  return [&service](std::string_view line) { service.WriteActivityLog(line); };
}

}  // namespace

Variant TorvaneControl::GetHomeDistance(const Variant& latitude, const Variant& longitude,
                                        bool MilesUnits) {
  return Guard(service_, Variant(), [&](Service& service) {
    return geo::HomeDistance(service.GeoPi(), service.settings().HomeLatitude,
                             service.settings().HomeLongitude, latitude, longitude, MilesUnits);
  });
}

Variant TorvaneControl::GetBearingFromLatLon(const Variant& StartLat, const Variant& StartLon,
                                             const Variant& EndLat, Variant& EndLon) {
  return Guard(service_, Variant(), [&](Service& service) {
    return geo::BeamHeading(service.GeoPi(), ActivityLogOf(service), StartLat, StartLon, EndLat,
                            EndLon);
  });
}

Variant TorvaneControl::GetPrefixBearingFromLatLon(const Variant& StartLat, const Variant& StartLon,
                                                   const Variant& EndLat, Variant& EndLon) {
  return GetBearingFromLatLon(StartLat, StartLon, EndLat, EndLon);
}

std::string TorvaneControl::GetGridLocator(const Variant& longitude, const Variant& latitude) {
  return Guard(service_, std::string(),
               [&](Service&) { return geo::GridLocator(longitude, latitude); });
}

}  // namespace torvane
