#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "lookup/call_cache.h"
#include "lookup/call_check.h"
#include "lookup/callbook.h"
#include "prefix/entity_queries.h"
#include "prefix/prefix_lookup.h"

namespace torvane {

// The zones of a call: the zone of its deciding prefix, where that prefix spans several US
// zones the zone of the station's state, and otherwise the zone of its DXCC entity.
class ZoneQueries {
 public:
  ZoneQueries(CallCache& cache, CallCheck& check, Callbook& callbook, PrefixLookup& prefixes,
              EntityQueries& entities)
      : cache_(cache), check_(check), callbook_(callbook), prefixes_(prefixes), entities_(entities) {}

  // Always looks the call up again, callbook included, so that a changed state shows.
  std::string GetCQZone(const std::string& callsign);
  // Uses the current call's data when the call is the current one.
  std::string GetITUZone(const std::string& callsign);

  static std::string GetCQZoneFromST(const std::string& sState);
  static std::string GetITUZoneFromST(const std::string& sState);

 private:
  // How one kind of zone is decided where the prefix alone does not say.
  struct ZoneRule {
    std::string_view multi_zone;                       // the prefix's several-zones marker
    std::string (*from_state)(std::string_view state);  // the zone of a US state
    std::string (EntityQueries::*from_dxcc)(std::int16_t DXCC);
  };

  // Decides the zone from the prefix's zone text, stores it in `zone` and returns it.
  std::string Decide(std::string& zone, const std::string& prefix_zone, const ZoneRule& rule,
                     std::int16_t last_resort_dxcc);

  CallCache& cache_;
  CallCheck& check_;
  Callbook& callbook_;
  PrefixLookup& prefixes_;
  EntityQueries& entities_;
};

}  // namespace torvane
