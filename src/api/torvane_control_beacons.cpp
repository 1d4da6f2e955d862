#include "api/guard.h"
#include "service/service.h"
#include "torvane/torvane_control.h"

namespace torvane {

using api::Guard;

std::int16_t TorvaneControl::GetBeaconSlots() {
  return Guard(service_, std::int16_t{0},
               [](Service& service) { return service.beacons().GetBeaconSlots(); });
}

std::int16_t TorvaneControl::GetBeaconCurrentSlot() {
  return Guard(service_, std::int16_t{0},
               [](Service& service) { return service.beacons().GetBeaconCurrentSlot(); });
}

std::int16_t TorvaneControl::GetBeaconCurrentBaseSlot() {
  return Guard(service_, std::int16_t{0},
               [](Service& service) { return service.beacons().GetBeaconCurrentBaseSlot(); });
}

std::int16_t TorvaneControl::SetBeaconBandOffset(std::int16_t BandOffset) {
  return Guard(service_, std::int16_t{0},
               [&](Service& service) { return service.beacons().SetBeaconBandOffset(BandOffset); });
}

std::string TorvaneControl::GetBeaconData(std::int16_t Slot, std::int16_t what) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.beacons().GetBeaconData(Slot, what); });
}

}  // namespace torvane
