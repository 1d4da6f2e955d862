#include <fmt/format.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>

#include "core/db/data_folder.h"
#include "core/files.h"
#include "core/folders.h"
#include "tools/torvane/commands.h"
#include "tools/torvane/home_position.h"
#include "tools/torvane/service_options.h"
#include "torvane/torvane_control.h"

namespace torvane::tool {

namespace {

using json = nlohmann::ordered_json;

struct WeatherArguments {
  std::string call;
  std::string source = "tgsv";
  std::string home;
  bool json = false;
};

// The report's fields in the order they are printed: key, label, getter.
struct Field {
  const char* key;
  const char* label;
  std::string (TorvaneControl::*getter)(const std::string&);
};
constexpr Field kFields[] = {
    {"weather", "weather", &TorvaneControl::GetCurrentWeather},
    {"temperature", "temperature", &TorvaneControl::GetTemperature},
    {"dew_point", "dew point", &TorvaneControl::GetDew},
    {"relative_humidity", "humidity", &TorvaneControl::GetRelative},
    {"wind", "wind", &TorvaneControl::GetWind},
    {"sky", "sky", &TorvaneControl::GetSky},
    {"visibility", "visibility", &TorvaneControl::GetVisibility},
    {"altimeter", "altimeter", &TorvaneControl::GetAltimeter},
    {"tendency", "tendency", &TorvaneControl::GetTendency},
    {"precipitation", "precipitation", &TorvaneControl::GetPrecipitation},
    {"observed", "observed", &TorvaneControl::GetWeatherDateTime},
};

int Weather(const WeatherArguments& arguments, ServiceOptions& service_options,
            CommandContext& context) {
  std::optional<HomePosition> home;
  if (!arguments.home.empty() && !(home = ParseHomePosition(arguments.home))) {
    context.err << "torvane weather: --home wants LAT,LON in decimal degrees, got \""
                << arguments.home << "\"\n";
    return 2;
  }
  const Options options = service_options.Build();
  const std::string folder = LocateFolders(options).DataFolder;
  if (!files::FileExists(files::Join(folder, std::string(db::kPrefixDatabase)))) {
    context.err << "torvane weather: no prefix database in " << folder
                << " (torvane db build-default makes one)\n";
    return 1;
  }
  TorvaneControl control(options);
  if (!ServiceStarted(control, "weather", context.err)) return 1;
  // A callbook source that asks nothing: the record is completed from prefix data alone, so the
  // station is sought at the entity's reference position. With no source at all the callbook
  // chain would reset the weather source with the rest of the call data.
  control.SetCDSource("QRZ via internet");
  control.SetCDDXSource("QRZ via internet");
  control.SetWeatherSourceSite(arguments.source);
  if (home &&
      (control.SetHomeLatitude(Variant(home->latitude_deg)) != 0 ||
       control.SetHomeLongitude(Variant(home->longitude_deg)) != Variant(std::int16_t{0}))) {
    context.err << "torvane weather: --home is out of range: latitude within 90 and longitude "
                   "within 180 degrees\n";
    return 2;
  }
  const std::string& call = arguments.call;
  // The weather lookup reads the position the call check leaves in the record.
  const std::string miles_from_home = control.GetMilesToDX(call);
  // The first getter runs the lookup; "not found" when no station gave a report. The others
  // answer from what it left, the last station tried among them.
  const bool reported = control.GetTemperature(call) != "not found";

  json report;
  report["call"] = call;
  report["country"] = control.GetQuickPrefixCountry(call);
  report["source"] = arguments.source;
  report["reported"] = reported;
  report["station"] = control.GetWeatherStation(call);
  report["station_distance_miles"] = control.GetDistanceToWeatherStation(call);
  for (const Field& field : kFields) report[field.key] = (control.*field.getter)(call);
  if (home) report["distance_from_home_miles"] = miles_from_home;
  const std::string station = report["station"].get<std::string>();
  const bool found = reported && !station.empty() && station != "Not found";

  if (arguments.json) {
    context.out << report.dump(-1, ' ', false, json::error_handler_t::replace) << '\n';
    return found ? 0 : 1;
  }
  const auto line = [&](std::string_view label, const std::string& value) {
    context.out << fmt::format("  {:<17}{}\n", label, value);
  };
  const auto rounded = [](const std::string& number) {
    const auto value = ParseNumber(number);
    return value ? fmt::format("{:.1f}", *value) : number;
  };
  context.out << call << " (" << report["country"].get<std::string>() << ")"
              << (found      ? ""
                  : reported ? "  (no weather station found)"
                             : "  (no report)")
              << '\n';
  line("station", station);
  line("distance", rounded(report["station_distance_miles"].get<std::string>()) + " mi");
  for (const Field& field : kFields) line(field.label, report[field.key].get<std::string>());
  if (home) line("from home", rounded(miles_from_home) + " mi");
  return found ? 0 : 1;
}

}  // namespace

void AddWeatherCommand(CLI::App& app, CommandContext& context) {
  auto service_options = std::make_shared<ServiceOptions>();
  auto arguments = std::make_shared<WeatherArguments>();
  CLI::App* weather = app.add_subcommand(
      "weather", "Show the nearest weather station to a callsign's station and its report");
  AddOptionsWhenNamed(*weather, [&context, weather, service_options, arguments] {
    weather->add_option("CALL", arguments->call, "The callsign")->required();
    weather
        ->add_option("--source", arguments->source,
                     "The report source: iwin (hourly roundup), tgsv (observations), wech "
                     "(commercial site) or file (the --weather-file)")
        ->check(CLI::IsMember({"iwin", "tgsv", "wech", "file"}))
        ->capture_default_str();
    weather->add_option("--home", arguments->home,
                        "Your position, LAT,LON in decimal degrees (north, east positive)");
    weather->add_flag("--json", arguments->json, "One JSON object");
    service_options->Register(*weather);
    RunAfterCheckingOptions(*weather, context, service_options, "weather",
                            [&context, service_options, arguments] {
                              return Weather(*arguments, *service_options, context);
                            });
  });
}

}  // namespace torvane::tool
