#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/db/table.h"
#include "core/events.h"
#include "core/net/web_state.h"
#include "torvane/variant.h"
#include "weather/weather_state.h"

namespace torvane::weather {

// The nearest usable observing station of the "Weather" table to a position: the first of the
// nearest in table order, or the first one met closer than 10 miles.
class StationSearch {
 public:
  StationSearch(db::Table& stations, WeatherState& state, const WebState& web,
                EventDispatcher& events, const double& geo_pi)
      : stations_(stations), state_(state), web_(web), events_(events), geo_pi_(geo_pi) {}

  // The station's "Location", or "" when no station is usable, or "none" (and nothing else
  // changes) when both coordinates read 0. Leaves the station's place, state and country here
  // and its display name and distance in the weather values. `iwin_place` picks the
  // "IwinPlace" column for the place instead of "Place".
  std::string FindWeatherStation(const Variant& latitude, const Variant& longitude,
                                 bool iwin_place);

  // The table was written through this service: read it again before the next search.
  void Forget() { loaded_ = false; }

  std::string station_place;
  std::string station_state;
  std::string station_country;

 private:
  // One row as the search needs it. A Null text column is no value.
  struct Station {
    std::optional<double> latitude_deg;  // no value: empty, Null or not a number
    std::optional<double> longitude_deg;
    bool coordinates_present = false;  // neither column empty nor Null
    bool inactive = false;             // RBSN is "I"
    std::optional<std::string> location;
    std::optional<std::string> place;
    std::optional<std::string> iwin_place;
    std::optional<std::string> state;
    std::optional<std::string> country;
  };

  // The rows in table order, read again when the table may have changed since.
  const std::vector<Station>& Stations();

  db::Table& stations_;
  WeatherState& state_;
  const WebState& web_;
  EventDispatcher& events_;
  const double& geo_pi_;

  std::vector<Station> rows_;
  bool loaded_ = false;
  std::optional<std::int64_t> loaded_version_;
};

}  // namespace torvane::weather
