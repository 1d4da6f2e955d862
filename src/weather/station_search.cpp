#include "weather/station_search.h"

#include <cmath>

#include "core/text.h"
#include "geo/great_circle.h"

namespace torvane::weather {

namespace {

// The starting "best distance": farther than any two points on the earth.
constexpr double kNoStationMiles = 100000;
// A station this close is taken at once, without looking at the rest of the table.
constexpr double kCloseEnoughMiles = 10;

std::optional<std::string> TextOf(const Variant* value) {
  if (value == nullptr) return std::nullopt;
  return value->ToText();
}

bool IsPresent(const Variant* value) {
  return value != nullptr && !(value->IsText() && value->AsText()->empty());
}

std::optional<double> NumberOf(const Variant* value) {
  if (value == nullptr) return std::nullopt;
  const std::optional<double> number = value->ToNumber();
  if (!number || !std::isfinite(*number)) return std::nullopt;
  return number;
}

}  // namespace

const std::vector<StationSearch::Station>& StationSearch::Stations() {
  const std::optional<std::int64_t> version = stations_.DataVersion();
  if (loaded_ && version == loaded_version_) return rows_;
  rows_.clear();
  for (bool more = stations_.MoveFirst(); more; more = stations_.MoveNext()) {
    Station row;
    const Variant* latitude = stations_.Field("Stn_Lat");
    const Variant* longitude = stations_.Field("Stn_Lon");
    row.coordinates_present = IsPresent(latitude) && IsPresent(longitude);
    row.latitude_deg = NumberOf(latitude);
    row.longitude_deg = NumberOf(longitude);
    const Variant* rbsn = stations_.Field("RBSN");
    row.inactive = rbsn != nullptr && rbsn->ToText() == "I";
    row.location = TextOf(stations_.Field("Location"));
    row.place = TextOf(stations_.Field("Place"));
    row.iwin_place = TextOf(stations_.Field("IwinPlace"));
    row.state = TextOf(stations_.Field("State"));
    row.country = TextOf(stations_.Field("Country"));
    rows_.push_back(std::move(row));
  }
  loaded_ = true;
  loaded_version_ = version;
  return rows_;
}

std::string StationSearch::FindWeatherStation(const Variant& latitude, const Variant& longitude,
                                              bool iwin_place) {
  // The call's position is read through its text, as the distance routine reads a first point.
  const double call_latitude = LeadingNumber(latitude.ToText());
  const double call_longitude = LeadingNumber(longitude.ToText());
  if (call_latitude == 0 && call_longitude == 0) return "none";
  if (!web_.webStopped) events_.WebStatus("Finding closest weather station...");

  double best_miles = kNoStationMiles;
  std::string best_location;
  station_place.clear();
  station_state.clear();
  station_country.clear();
  for (const Station& station : Stations()) {
    const std::optional<std::string>& place = iwin_place ? station.iwin_place : station.place;
    if (!station.coordinates_present || !place || station.inactive) continue;
    // Coordinates that are not numbers give no distance: the row is passed over.
    if (!station.latitude_deg || !station.longitude_deg) continue;
    const double miles = geo::MilesBetween(geo_pi_, call_latitude, call_longitude,
                                           *station.latitude_deg, *station.longitude_deg)
                             .ToNumber()
                             .value_or(0);
    // Strictly nearer: of two stations at the same distance the one met first stays.
    if (miles < best_miles) {
      best_miles = miles;
      // A Null column cannot be copied; what the variable held stays.
      if (station.location) best_location = *station.location;
      station_place = *place;
      station_state = station.state ? std::string(text::Trim(*station.state)) : std::string();
      if (station.country) station_country = std::string(text::Trim(*station.country));
    }
    if (best_miles < kCloseEnoughMiles) break;
  }

  WeatherValues& values = state_.values();
  const std::string distance = NumberToText(best_miles);
  std::string result;
  if (!best_location.empty()) {
    values.station_distance = distance;
    values.station_name =
        station_place + ", " + (station_state.empty() ? station_country : station_state);
    result = best_location;
  } else {
    values.station_name = "Not found";
    values.station_distance = "Not found";
  }
  if (!web_.webStopped) events_.WebStatus("Closest weather station is " + distance + " away.");
  return result;
}

}  // namespace torvane::weather
