#include "api/guard.h"
#include "service/service.h"
#include "torvane/torvane_control.h"

namespace torvane {

using api::Guard;

std::string TorvaneControl::GetSpotComments(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.online_extras().GetSpotComments(callsign); });
}

std::string TorvaneControl::GetDXNews() {
  return Guard(service_, std::string(),
               [](Service& service) { return service.online_extras().GetDXNews(); });
}

std::string TorvaneControl::GetSunData() {
  return Guard(service_, std::string(),
               [](Service& service) { return service.online_extras().GetSunData(); });
}

std::string TorvaneControl::GetLast4AudioClips() {
  return Guard(service_, std::string(),
               [](Service& service) { return service.online_extras().GetLast4AudioClips(); });
}

}  // namespace torvane
