#include "lookup/zone_queries.h"

#include "core/text.h"
#include "lookup/guarded_step.h"
#include "lookup/state_zones.h"
#include "torvane/variant.h"

namespace torvane {

namespace {

constexpr const char* kNotFound = "not found";

}  // namespace

std::string ZoneQueries::GetCQZone(const std::string& callsign) {
  cache_.LastCall.clear();
  if (check_.CheckCall(callsign, true) != 0) return kNotFound;
  const EntityInfo& prefix = prefixes_.PrefixEntity();
  return Decide(callbook_.record.CQZone, prefix.CQ_Zone,
                {state_zones::kCQMultiZone, &state_zones::CQZoneFromState,
                 &EntityQueries::GetCQZoneFromDXCC},
                prefix.DXCC);
}

std::string ZoneQueries::GetITUZone(const std::string& callsign) {
  if (check_.CheckCall(callsign, true) != 0) return kNotFound;
  // Unlike the CQ zone, the last fallback takes the entity of the callbook record.
  return Decide(callbook_.record.ITUZone, prefixes_.PrefixEntity().ITU_Zone,
                {state_zones::kITUMultiZone, &state_zones::ITUZoneFromState,
                 &EntityQueries::GetITUZoneFromDXCC},
                callbook_.record.DXCCNumber);
}

std::string ZoneQueries::Decide(std::string& zone, const std::string& prefix_zone,
                                const ZoneRule& rule, std::int16_t last_resort_dxcc) {
  const std::int16_t prefix_dxcc = prefixes_.PrefixEntity().DXCC;
  GuardedStep([&] {
    zone = std::string(text::Trim(prefix_zone));
    if (LeadingNumber(zone) != 0 && zone != rule.multi_zone) return;
    if (prefix_dxcc == 291 && zone == rule.multi_zone) {
      zone = rule.from_state(callbook_.record.State);
      if (LeadingNumber(zone) == 0) zone = (entities_.*rule.from_dxcc)(prefix_dxcc);
    } else {
      zone = (entities_.*rule.from_dxcc)(last_resort_dxcc);
    }
  });
  if (zone.size() == 1) zone.insert(zone.begin(), '0');
  return zone;
}

std::string ZoneQueries::GetCQZoneFromST(const std::string& sState) {
  return state_zones::CQZoneFromState(sState);
}

std::string ZoneQueries::GetITUZoneFromST(const std::string& sState) {
  return state_zones::ITUZoneFromState(sState);
}

}  // namespace torvane
