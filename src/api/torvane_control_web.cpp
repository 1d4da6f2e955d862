#include "api/guard.h"
#include "core/net/http_transport.h"
#include "service/service.h"
#include "torvane/torvane_control.h"

namespace torvane {

using api::Guard;

std::int16_t TorvaneControl::StopWeb() {
  return Guard(service_, std::int16_t{0},
               [](Service& service) { return service.transport().StopWeb(); });
}

std::int16_t TorvaneControl::SetWebConnectionStatus(bool Connected) {
  return Guard(service_, std::int16_t{0}, [&](Service& service) {
    return service.transport().SetWebConnectionStatus(Connected);
  });
}

bool TorvaneControl::RemoteConnected() {
  return Guard(service_, false, [](Service&) { return net::RemoteConnected(); });
}

std::int16_t TorvaneControl::GetPingTest(const std::string& /*Address*/) {
  return Guard(service_, std::int16_t{0}, [](Service&) { return net::GetPingTest(); });
}

std::int16_t TorvaneControl::TestConnection(const std::string& /*url*/, const std::string& /*Port*/,
                                            const std::string& /*Length*/,
                                            const std::string& /*Request*/) {
  return Guard(service_, std::int16_t{0}, [](Service&) { return net::TestConnection(); });
}

std::int16_t TorvaneControl::LocalTestConnection() {
  return Guard(service_, std::int16_t{0}, [](Service&) { return net::LocalTestConnection(); });
}

}  // namespace torvane
