#include "weather/weather_report.h"

#include "core/files.h"
#include "core/text.h"
#include "weather/report_parser.h"

namespace torvane::weather {

namespace {

// The status of a lookup whose station gave no usable report.
constexpr std::int16_t kNoReport = 2;
// How many more stations are tried after the nearest one gave no report.
constexpr int kMostRetries = 5;

bool HasNoPosition(const CallbookRecord& record) {
  return LeadingNumber(record.Latitude) == 0 && LeadingNumber(record.Longitude) == 0;
}

}  // namespace

ReportSources ReportSources::FromOptions(const Options& options) {
  return {options.weather_iwin_host, options.weather_xml_host, options.weather_noaa_host,
          options.weather_wech_host, options.weather_file};
}

std::int16_t WeatherReport::WeatherLookup(const std::string& callsign) {
  if (callsign == state_.last_weather_call) return 0;
  CallbookRecord& record = callbook_.record;
  // A portable call is weathered where its entity is. The position stays in the record until
  // the next lookup fills it again, so a call already current is fetched there too.
  if (text::Contains(callsign, "/")) {
    record.Latitude = prefixes_.CallEntity().Latitude;
    record.Longitude = prefixes_.CallEntity().Longitude;
  }
  if (HasNoPosition(record)) return 0;

  std::int16_t status = FetchWeather(callsign);
  for (int round = 0; round < kMostRetries; ++round) {
    if (state_.station_identifier.empty() || status != kNoReport) break;
    // Marked inactive, the station is passed over by the next search and for good.
    if (MarkInactive(state_.station_identifier)) status = FetchWeather(callsign);
  }
  state_.last_weather_call = callsign;
  return status;
}

std::int16_t WeatherReport::FetchWeather(const std::string& callsign) {
  WeatherValues& values = state_.values();
  state_.station_identifier.clear();
  // Precipitation, current weather and observation time keep theirs until overwritten.
  for (std::string* value :
       {&values.wind, &values.visibility, &values.sky, &values.temperature, &values.dew_point,
        &values.relative_humidity, &values.altimeter, &values.tendency}) {
    value->clear();
  }
  std::int16_t status = call_check_.CheckCall(callsign, true);

  const CallbookRecord& record = callbook_.record;
  state_.url.clear();
  if (!HasNoPosition(record)) {
    state_.station_identifier =
        FindWeatherStation(Variant(record.Latitude), Variant(record.Longitude));
    if (!state_.station_identifier.empty() && state_.station_identifier != "none") {
      state_.url = ReportUrl();
    }
  }
  if (!state_.url.empty()) {
    if (!web_.webStopped) events_.WebStatus(state_.url);
    if (text::Contains(state_.url, "http")) {
      report_page_ = transport_.GeneralGet(state_.url);
    } else {
      report_page_ = files::ReadWholeFile(state_.url).value_or(std::string());
    }
    report_page_lower_ = text::ToLower(report_page_);
    if (report_page_.empty() || text::Contains(report_page_, "not found") ||
        text::Contains(report_page_lower_, "error 404")) {
      status = kNoReport;
    } else {
      ParseReport();
      status = 0;
    }
  }
  state_.last_weather_call = status == 0 ? callsign : std::string();
  return status;
}

bool WeatherReport::XmlMode() const {
  const std::int16_t dxcc = callbook_.record.DXCCNumber;
  return dxcc == 291 || dxcc == 6 || dxcc == 210;
}

std::string WeatherReport::ReportUrl() const {
  const std::string& source = state_.source;
  const std::string& station = state_.station_identifier;
  if (source == "iwin") {
    return "http://" + sources_.iwin_host + "/iwin/" + text::ToLower(search_.station_state) +
           "/hourly.html";
  }
  if (source == "tgsv") {
    if (XmlMode()) {
      return "http://" + sources_.xml_host + "/xml/current_obs/display.php?stid=" + station;
    }
    return "http://" + sources_.noaa_host + "/weather/current/" + station + ".html";
  }
  if (source == "wech") {
    if (callbook_.record.City.empty() || search_.station_state.size() != 2 ||
        text::ToLower(search_.station_country) != "united states") {
      return {};
    }
    // The site names its pages after the city: "Boston/Logan, MA" -> "boston".
    const std::string_view place = search_.station_place;
    std::size_t cut = place.find('/');
    if (cut == std::string_view::npos) cut = place.find(',');
    const std::string city = text::ReplaceAll(text::Trim(place.substr(0, cut)), " ", "_");
    return "http://" + sources_.wech_host + "/weather/cities/us_" +
           text::ToLower(search_.station_state) + "_" + text::ToLower(city) + ".html";
  }
  if (source == "file") return sources_.file;
  return {};
}

std::string WeatherReport::Extract(std::string_view label) const {
  return ExtractWeatherValue(report_page_, report_page_lower_, label, XmlMode());
}

void WeatherReport::ParseReport() {
  WeatherValues& values = state_.values();
  if (state_.source == "iwin") {
    RoundupValues line = ParseRoundup(report_page_lower_, search_.station_place);
    values.sky = std::move(line.sky);
    values.temperature = std::move(line.temperature);
    values.dew_point = std::move(line.dew_point);
    values.relative_humidity = std::move(line.relative_humidity);
    values.wind = std::move(line.wind);
    values.altimeter = std::move(line.altimeter);
    return;
  }
  // Pages word their labels differently: the second label is asked when the first gave nothing.
  const auto either = [this](std::string_view label, std::string_view fallback) {
    std::string value = Extract(label);
    return value.empty() ? Extract(fallback) : value;
  };
  values.wind = either("wind:", "wind ");
  values.visibility = Extract("visibility");
  values.sky = Extract("sky");
  values.temperature = Extract("temperature");
  // A label that heads something else reads as 0 degrees; "temp:" is tried then.
  if (LeadingNumber(values.temperature) == 0) values.temperature = Extract("temp:");
  values.dew_point = either("dew point", "dewpoint:");
  values.relative_humidity = either("relative humidity", "humidity:");
  values.altimeter = either("altimeter", "barometer:");
  values.current_weather = either("weather <", "wx_icons");
  values.tendency = Extract("tendency");
  values.precipitation = Extract("precipitation in");
  values.observation_time = Extract("utc");
}

bool WeatherReport::MarkInactive(const std::string& location) {
  if (!stations_.FindFirst("Location", Variant(location))) return false;
  if (stations_.Edit() && stations_.SetField("RBSN", Variant("I"))) stations_.Update();
  search_.Forget();
  return true;
}

std::string WeatherReport::Value(const std::string& callsign, std::string WeatherValues::*field) {
  if (WeatherLookup(callsign) != 0) return "not found";
  return state_.values().*field;
}

std::string WeatherReport::GetTemperature(const std::string& callsign) {
  return Value(callsign, &WeatherValues::temperature);
}
std::string WeatherReport::GetPrecipitation(const std::string& callsign) {
  return Value(callsign, &WeatherValues::precipitation);
}
std::string WeatherReport::GetWind(const std::string& callsign) {
  return Value(callsign, &WeatherValues::wind);
}
std::string WeatherReport::GetSky(const std::string& callsign) {
  return Value(callsign, &WeatherValues::sky);
}
std::string WeatherReport::GetDew(const std::string& callsign) {
  return Value(callsign, &WeatherValues::dew_point);
}
std::string WeatherReport::GetVisibility(const std::string& callsign) {
  return Value(callsign, &WeatherValues::visibility);
}
std::string WeatherReport::GetRelative(const std::string& callsign) {
  return Value(callsign, &WeatherValues::relative_humidity);
}
std::string WeatherReport::GetAltimeter(const std::string& callsign) {
  return Value(callsign, &WeatherValues::altimeter);
}
std::string WeatherReport::GetTendency(const std::string& callsign) {
  return Value(callsign, &WeatherValues::tendency);
}
std::string WeatherReport::GetCurrentWeather(const std::string& callsign) {
  return Value(callsign, &WeatherValues::current_weather);
}
std::string WeatherReport::GetWeatherStation(const std::string& callsign) {
  return Value(callsign, &WeatherValues::station_name);
}
std::string WeatherReport::GetDistanceToWeatherStation(const std::string& callsign) {
  return Value(callsign, &WeatherValues::station_distance);
}
std::string WeatherReport::GetWeatherDateTime(const std::string& callsign) {
  return Value(callsign, &WeatherValues::observation_time);
}

}  // namespace torvane::weather
