#pragma once

#include <string>

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
  CallCache& cache_;
  CallCheck& check_;
  Callbook& callbook_;
  PrefixLookup& prefixes_;
  EntityQueries& entities_;
};

}  // namespace torvane
