#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/db/sqlite.h"
#include "core/result.h"

// The "Weather" table made from libgweather's Locations.xml: every observing station that has
// an ICAO code.
namespace torvane::import {

struct WeatherStation {
  std::string code;     // ICAO code, the "Location"
  std::string name;     // "Place" and "IwinPlace"
  std::string state;    // postal code for stations in the United States, otherwise empty (Null)
  std::string country;  // the country's name
  std::optional<double> latitude_deg;   // north positive
  std::optional<double> longitude_deg;  // east positive
};

struct WeatherStations {
  std::vector<WeatherStation> stations;  // in document order
  int duplicate_codes = 0;  // stations listed again under a second country or state: skipped
};

// Parses the text of a Locations.xml file; `source` names it in messages.
Result<WeatherStations> ParseLocationsXml(std::string_view text, std::string_view source);
Result<WeatherStations> ReadLocationsXml(const std::string& path);

// Replaces the contents of "Weather" with `stations` in one transaction ("RBSN" Null: no
// station is known to be silent yet). On failure the table is left as it was; so it is when
// the stations are fewer than half of a full table's, unless `force` is set.
Status WriteWeatherTable(db::Connection& connection, const std::vector<WeatherStation>& stations,
                         bool force);

}  // namespace torvane::import
