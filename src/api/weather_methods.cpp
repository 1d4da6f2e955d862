#include "api/method_table.h"

namespace torvane::api {

void AddWeatherMethods(MethodTable& table) {
  table.Add(Row("GetTemperature", &TorvaneControl::GetTemperature));
  table.Add(Row("GetPrecipitation", &TorvaneControl::GetPrecipitation));
  table.Add(Row("GetWind", &TorvaneControl::GetWind));
  table.Add(Row("GetSky", &TorvaneControl::GetSky));
  table.Add(Row("GetDew", &TorvaneControl::GetDew));
  table.Add(Row("GetVisibility", &TorvaneControl::GetVisibility));
  table.Add(Row("GetRelative", &TorvaneControl::GetRelative));
  table.Add(Row("GetAltimeter", &TorvaneControl::GetAltimeter));
  table.Add(Row("GetTendency", &TorvaneControl::GetTendency));
  table.Add(Row("GetCurrentWeather", &TorvaneControl::GetCurrentWeather));
  table.Add(Row("GetWeatherStation", &TorvaneControl::GetWeatherStation));
  table.Add(Row("GetDistanceToWeatherStation", &TorvaneControl::GetDistanceToWeatherStation));
  table.Add(Row("GetWeatherDateTime", &TorvaneControl::GetWeatherDateTime));
  table.Add(Row("SetWeatherSourceSite", &TorvaneControl::SetWeatherSourceSite));
}

}  // namespace torvane::api
