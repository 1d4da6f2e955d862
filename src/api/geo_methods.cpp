#include "api/method_table.h"

namespace torvane::api {

void AddGeoMethods(MethodTable& table) {
  table.Add(Row("GetHomeDistance", &TorvaneControl::GetHomeDistance));
  table.Add(Row("GetBearingFromLatLon", &TorvaneControl::GetBearingFromLatLon));
  table.Add(Row("GetPrefixBearingFromLatLon", &TorvaneControl::GetPrefixBearingFromLatLon));
  table.Add(Row("GetGridLocator", &TorvaneControl::GetGridLocator));
}

}  // namespace torvane::api
