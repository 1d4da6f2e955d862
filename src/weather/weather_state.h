#pragma once

#include <cstdint>
#include <string>

namespace torvane::weather {

// The report of the last weather call and the name and distance of its station. Like webReply
// these values were the original component's module data: every service object on the thread
// sees the same ones.
struct WeatherValues {
  std::string temperature;
  std::string precipitation;
  std::string wind;
  std::string sky;
  std::string dew_point;
  std::string visibility;
  std::string relative_humidity;
  std::string altimeter;
  std::string tendency;
  std::string current_weather;
  std::string observation_time;
  std::string station_name;      // "Place, State" or "Place, Country"; "Not found"
  std::string station_distance;  // miles from the call's position, as text; "Not found"
};

WeatherValues& ThreadWeatherValues();

// The weather settings and cache keys of one service object. The callbook chain empties them
// with the rest of the call data when no callbook source is selected.
class WeatherState {
 public:
  // 0 and stored for exactly "iwin", "tgsv", "file" or "wech"; 1, source unchanged, otherwise.
  std::int16_t SetWeatherSourceSite(const std::string& sitecode);

  // Empties the weather values, the last weather call, the source and the URL: until the host
  // sets a source again no report is fetched.
  void ClearWeather();

  WeatherValues& values() { return ThreadWeatherValues(); }

  std::string source;              // "iwin", "tgsv", "wech", "file" or empty
  std::string url;                 // the address or file of the last report
  std::string station_identifier;  // of the last search; "none" when the call had no position
  std::string last_weather_call;   // the call whose weather the values hold
};

}  // namespace torvane::weather
