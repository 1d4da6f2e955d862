#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/settings.h"
#include "prefix/entity_info.h"
#include "torvane/variant.h"

namespace torvane {

// Distances and headings from home to the current call and to its deciding prefix's entity,
// stored when a new call is looked up.
class CallDistances {
 public:
  using LogWriter = std::function<void(std::string_view)>;

  CallDistances(const Settings& settings, const double& geo_pi, LogWriter log)
      : settings_(settings), geo_pi_(geo_pi), log_(std::move(log)) {}

  // Stores the six values for the call's position (the callbook's, or when it gave none the
  // entity's, which is then copied into the callbook position) and for the prefix entity's.
  void ComputeCallDistances(std::string& latitude, std::string& longitude,
                            const EntityInfo& call_entity, const EntityInfo& prefix_entity);

  // The call's three values become the integer 0 (no entity was found for it).
  void ClearCallValues();
  // All six become the integer 0.
  void ClearAll();

  Variant GreatCircleMiles(const Variant& latitude, const Variant& longitude) const;
  Variant BeamHeading(const Variant& latitude, const Variant& longitude) const;

  Variant DXMiles;
  Variant DXKm;
  Variant DXBearing;
  Variant PrefixDXMiles;
  Variant PrefixDXKm;
  Variant PrefixDXBearing;

 private:
  const Settings& settings_;
  const double& geo_pi_;
  LogWriter log_;
};

}  // namespace torvane
