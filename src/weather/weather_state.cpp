#include "weather/weather_state.h"

namespace torvane::weather {

WeatherValues& ThreadWeatherValues() {
  thread_local WeatherValues values;
  return values;
}

std::int16_t WeatherState::SetWeatherSourceSite(const std::string& sitecode) {
  if (sitecode != "iwin" && sitecode != "tgsv" && sitecode != "file" && sitecode != "wech") {
    return 1;
  }
  source = sitecode;
  return 0;
}

void WeatherState::ClearWeather() {
  values() = WeatherValues{};
  last_weather_call.clear();
  source.clear();
  url.clear();
}

}  // namespace torvane::weather
