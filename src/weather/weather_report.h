#pragma once

#include <cstdint>
#include <string>

#include "core/db/table.h"
#include "core/events.h"
#include "core/net/http_transport.h"
#include "core/net/web_state.h"
#include "lookup/call_check.h"
#include "lookup/callbook.h"
#include "prefix/prefix_lookup.h"
#include "torvane/options.h"
#include "weather/station_search.h"
#include "weather/weather_state.h"

namespace torvane::weather {

// Where the four kinds of report come from: hosts ("host" or "host:port") and the local file.
struct ReportSources {
  std::string iwin_host;  // the hourly roundups
  std::string xml_host;   // observation documents, for stations in the United States
  std::string noaa_host;  // current-weather pages, for other stations
  std::string wech_host;  // the commercial site
  std::string file;       // the "file" source

  static ReportSources FromOptions(const Options& options);
};

// The current weather at a call's station: the nearest observing station is found, its report
// fetched from the selected source and read into the weather values, which then serve every
// getter for that call. A station that gives no report is marked inactive ("I") in the table
// and the next-nearest is tried, five times at most.
class WeatherReport {
 public:
  WeatherReport(ReportSources sources, WeatherState& state, db::Table& stations,
                CallCheck& call_check, Callbook& callbook, PrefixLookup& prefixes,
                net::HttpTransport& transport, const WebState& web, EventDispatcher& events,
                const double& geo_pi)
      : sources_(std::move(sources)),
        state_(state),
        stations_(stations),
        call_check_(call_check),
        callbook_(callbook),
        prefixes_(prefixes),
        transport_(transport),
        web_(web),
        events_(events),
        search_(stations, state, web, events, geo_pi) {}

  // 0 when the values hold the call's weather (a report was taken, or there was nothing to
  // fetch); 2 when no station gave a usable report; otherwise the call check's failure.
  std::int16_t WeatherLookup(const std::string& callsign);
  std::int16_t FetchWeather(const std::string& callsign);

  std::string FindWeatherStation(const Variant& latitude, const Variant& longitude) {
    return search_.FindWeatherStation(latitude, longitude, state_.source == "iwin");
  }

  // The getters: "not found" when the lookup failed, otherwise the value.
  std::string GetTemperature(const std::string& callsign);
  std::string GetPrecipitation(const std::string& callsign);
  std::string GetWind(const std::string& callsign);
  std::string GetSky(const std::string& callsign);
  std::string GetDew(const std::string& callsign);
  std::string GetVisibility(const std::string& callsign);
  std::string GetRelative(const std::string& callsign);
  std::string GetAltimeter(const std::string& callsign);
  std::string GetTendency(const std::string& callsign);
  std::string GetCurrentWeather(const std::string& callsign);
  std::string GetWeatherStation(const std::string& callsign);
  std::string GetDistanceToWeatherStation(const std::string& callsign);
  std::string GetWeatherDateTime(const std::string& callsign);

  std::int16_t SetWeatherSourceSite(const std::string& sitecode) {
    return state_.SetWeatherSourceSite(sitecode);
  }

 private:
  std::string Value(const std::string& callsign, std::string WeatherValues::*field);
  // The report's address for the station just found, or "" when the source has none for it.
  std::string ReportUrl() const;
  bool XmlMode() const;
  std::string Extract(std::string_view label) const;
  // Parses the report page into the values; the page is known to be a report.
  void ParseReport();
  // Marks the station inactive in the table; false when the table has no such station.
  bool MarkInactive(const std::string& location);

  ReportSources sources_;
  WeatherState& state_;
  db::Table& stations_;
  CallCheck& call_check_;
  Callbook& callbook_;
  PrefixLookup& prefixes_;
  net::HttpTransport& transport_;
  const WebState& web_;
  EventDispatcher& events_;
  StationSearch search_;

  std::string report_page_;
  std::string report_page_lower_;
};

}  // namespace torvane::weather
