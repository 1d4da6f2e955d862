#include "api/guard.h"
#include "torvane/torvane_control.h"

namespace torvane {

using api::Guard;

std::string TorvaneControl::GetTemperature(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.weather().GetTemperature(callsign); });
}

std::string TorvaneControl::GetPrecipitation(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.weather().GetPrecipitation(callsign); });
}

std::string TorvaneControl::GetWind(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.weather().GetWind(callsign); });
}

std::string TorvaneControl::GetSky(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.weather().GetSky(callsign); });
}

std::string TorvaneControl::GetDew(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.weather().GetDew(callsign); });
}

std::string TorvaneControl::GetVisibility(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.weather().GetVisibility(callsign); });
}

std::string TorvaneControl::GetRelative(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.weather().GetRelative(callsign); });
}

std::string TorvaneControl::GetAltimeter(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.weather().GetAltimeter(callsign); });
}

std::string TorvaneControl::GetTendency(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.weather().GetTendency(callsign); });
}

std::string TorvaneControl::GetCurrentWeather(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.weather().GetCurrentWeather(callsign); });
}

std::string TorvaneControl::GetWeatherStation(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.weather().GetWeatherStation(callsign); });
}

std::string TorvaneControl::GetDistanceToWeatherStation(const std::string& callsign) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.weather().GetDistanceToWeatherStation(callsign);
  });
}

std::string TorvaneControl::GetWeatherDateTime(const std::string& callsign) {
  return Guard(service_, std::string(),
               [&](Service& service) { return service.weather().GetWeatherDateTime(callsign); });
}

std::int16_t TorvaneControl::SetWeatherSourceSite(const std::string& sitecode) {
  return Guard(service_, std::int16_t{1},
               [&](Service& service) { return service.weather().SetWeatherSourceSite(sitecode); });
}

}  // namespace torvane
