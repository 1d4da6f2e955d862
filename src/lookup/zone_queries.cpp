#include "lookup/zone_queries.h"

#include "core/text.h"
#include "lookup/guarded_step.h"
#include "lookup/state_zones.h"
#include "torvane/variant.h"

namespace torvane {

namespace {

constexpr const char* kNotFound = "not found";

void PadToTwoDigits(std::string& zone) {
  if (zone.size() == 1) zone.insert(zone.begin(), '0');
}

}  // namespace

std::string ZoneQueries::GetCQZone(const std::string& callsign) {
  cache_.LastCall.clear();
  if (check_.CheckCall(callsign, true) != 0) return kNotFound;
  std::string& zone = callbook_.record.CQZone;
  const EntityInfo& prefix = prefixes_.PrefixEntity;
  GuardedStep([&] {
    zone = std::string(text::Trim(prefix.CQ_Zone));
    if (LeadingNumber(zone) != 0 && zone != state_zones::kCQMultiZone) return;
    if (prefix.DXCC == 291 && zone == state_zones::kCQMultiZone) {
      zone = state_zones::CQZoneFromState(callbook_.record.State);
      if (LeadingNumber(zone) == 0) zone = entities_.GetCQZoneFromDXCC(prefix.DXCC);
    } else {
      zone = entities_.GetCQZoneFromDXCC(prefix.DXCC);
    }
  });
  PadToTwoDigits(zone);
  return zone;
}

std::string ZoneQueries::GetITUZone(const std::string& callsign) {
  if (check_.CheckCall(callsign, true) != 0) return kNotFound;
  std::string& zone = callbook_.record.ITUZone;
  const EntityInfo& prefix = prefixes_.PrefixEntity;
  GuardedStep([&] {
    zone = std::string(text::Trim(prefix.ITU_Zone));
    if (LeadingNumber(zone) != 0 && zone != state_zones::kITUMultiZone) return;
    if (prefix.DXCC == 291 && zone == state_zones::kITUMultiZone) {
      zone = state_zones::ITUZoneFromState(callbook_.record.State);
      if (LeadingNumber(zone) == 0) zone = entities_.GetITUZoneFromDXCC(prefix.DXCC);
    } else {
      // Unlike the CQ zone, the ITU fallback takes the entity of the callbook record.
      zone = entities_.GetITUZoneFromDXCC(callbook_.record.DXCCNumber);
    }
  });
  PadToTwoDigits(zone);
  return zone;
}

std::string ZoneQueries::GetCQZoneFromST(const std::string& sState) {
  return state_zones::CQZoneFromState(sState);
}

std::string ZoneQueries::GetITUZoneFromST(const std::string& sState) {
  return state_zones::ITUZoneFromState(sState);
}

}  // namespace torvane
