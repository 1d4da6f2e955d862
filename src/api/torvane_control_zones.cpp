#include "api/guard.h"
#include "lookup/zone_queries.h"
#include "torvane/torvane_control.h"

namespace torvane {

using api::Guard;

std::string TorvaneControl::GetCQZone(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.zone_queries().GetCQZone(callsign); });
}

std::string TorvaneControl::GetITUZone(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.zone_queries().GetITUZone(callsign); });
}

std::string TorvaneControl::GetCQZoneFromST(const std::string& sState) {
  return Guard(service_, std::string(),
               [&](Service&) { return ZoneQueries::GetCQZoneFromST(sState); });
}

std::string TorvaneControl::GetITUZoneFromST(const std::string& sState) {
  return Guard(service_, std::string(),
               [&](Service&) { return ZoneQueries::GetITUZoneFromST(sState); });
}

}  // namespace torvane
