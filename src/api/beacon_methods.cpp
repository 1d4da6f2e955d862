#include "api/method_table.h"

namespace torvane::api {

void AddBeaconMethods(MethodTable& table) {
  table.Add(Row("GetBeaconSlots", &TorvaneControl::GetBeaconSlots));
  table.Add(Row("GetBeaconCurrentSlot", &TorvaneControl::GetBeaconCurrentSlot));
  table.Add(Row("GetBeaconCurrentBaseSlot", &TorvaneControl::GetBeaconCurrentBaseSlot));
  table.Add(Row("SetBeaconBandOffset", &TorvaneControl::SetBeaconBandOffset));
  table.Add(Row("GetBeaconData", &TorvaneControl::GetBeaconData));
}

}  // namespace torvane::api
