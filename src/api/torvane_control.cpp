#include "torvane/torvane_control.h"

#include "api/guard.h"
#include "service/service.h"

namespace torvane {

using api::Guard;
using api::GuardVoid;

TorvaneControl::TorvaneControl(Options options, EventSink* events, HostLoop* host_loop) {
  try {
    service_ = std::make_unique<Service>(std::move(options), events, host_loop);
  } catch (...) {
    service_.reset();
  }
}

TorvaneControl::~TorvaneControl() = default;

void TorvaneControl::Timer1Tick() {
  GuardVoid(service_, [](Service& service) { service.beacons().Timer1Tick(service.Now()); });
}

Variant TorvaneControl::SetQuorlinPath(const std::string& /*spath*/) {
  return Guard(service_, Variant(), [](Service&) { return Variant(std::int16_t{0}); });
}

std::int16_t TorvaneControl::SetCDDrive(const std::string& Drive) {
  return Guard(service_, std::int16_t{0},
               [&](Service& service) { return service.settings().SetCDDrive(Drive); });
}

std::int16_t TorvaneControl::SetCDDXDrive(const std::string& Drive) {
  return Guard(service_, std::int16_t{0},
               [&](Service& service) { return service.settings().SetCDDXDrive(Drive); });
}

std::int16_t TorvaneControl::SetCDSource(const std::string& source) {
  return Guard(service_, std::int16_t{0},
               [&](Service& service) { return service.settings().SetCDSource(source); });
}

std::int16_t TorvaneControl::SetCDDXSource(const std::string& source) {
  return Guard(service_, std::int16_t{0},
               [&](Service& service) { return service.settings().SetCDDXSource(source); });
}

std::int16_t TorvaneControl::SetMyCall(const std::string& callsign) {
  return Guard(service_, std::int16_t{0},
               [&](Service& service) { return service.settings().SetMyCall(callsign); });
}

std::int16_t TorvaneControl::SetQRZPassword(const std::string& Password) {
  return Guard(service_, std::int16_t{0},
               [&](Service& service) { return service.settings().SetQRZPassword(Password); });
}

std::int16_t TorvaneControl::SetHomeLatitude(const Variant& latitude) {
  return Guard(service_, std::int16_t{0},
               [&](Service& service) { return service.settings().SetHomeLatitude(latitude); });
}

Variant TorvaneControl::SetHomeLongitude(const Variant& longitude) {
  return Guard(service_, Variant(),
               [&](Service& service) { return service.settings().SetHomeLongitude(longitude); });
}

std::int16_t TorvaneControl::SetDevel(bool devel) {
  return Guard(service_, std::int16_t{0},
               [&](Service& service) { return service.settings().SetDevel(devel); });
}

std::string TorvaneControl::GetVersion() {
  return Guard(service_, std::string(), [](Service&) { return Service::VersionText(); });
}

StartupStatus TorvaneControl::GetStartupStatus() const {
  StartupStatus result;
  try {
    if (service_ == nullptr) return result;
    const Status& status = service_->startup_status();
    result.started = status.ok();
    if (!status.ok()) {
      result.number = status.error().number;
      result.description = status.error().description;
      result.source = status.error().source;
    }
  } catch (...) {
  }
  return result;
}

bool TorvaneControl::GetLocalFCCStatus() {
  return Guard(service_, false,
               [](Service& service) { return service.databases().LocalFCCAvailable; });
}

std::string TorvaneControl::GetDataSource() {
  return Guard(service_, std::string(),
               [](Service& service) { return service.settings().DataSource; });
}

std::string TorvaneControl::GetDXDataSource() {
  return Guard(service_, std::string(),
               [](Service& service) { return service.settings().DXDataSource; });
}

}  // namespace torvane
