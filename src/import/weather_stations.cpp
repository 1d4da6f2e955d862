#include "import/weather_stations.h"

#include "import/import_guard.h"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <pugixml.hpp>
#include <unordered_set>

#include "core/files.h"
#include "core/text.h"
#include "import/us_states.h"

namespace torvane::import {

namespace {

std::string_view XmlTrim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// Countries and states carry a translatable "_name"; stations a plain "name".
std::string NameOf(const pugi::xml_node& node) {
  pugi::xml_node name = node.child("_name");
  if (!name) name = node.child("name");
  return std::string(XmlTrim(name.child_value()));
}

bool IsIcaoCode(std::string_view code) {
  return code.size() == 4 && std::all_of(code.begin(), code.end(), [](char c) {
           return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
         });
}

std::optional<double> ParseCoordinate(std::string_view text, double limit) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value) || std::fabs(value) > limit) {
    return std::nullopt;
  }
  return value;
}

int LineOfOffset(std::string_view text, std::ptrdiff_t offset) {
  const auto end = text.begin() + std::clamp<std::ptrdiff_t>(offset, 0, text.size());
  return 1 + static_cast<int>(std::count(text.begin(), end, '\n'));
}

class StationReader {
 public:
  StationReader(std::string_view source, WeatherStations& result)
      : source_(source), result_(result) {}

  Status Add(const pugi::xml_node& location, const std::string& country, std::string_view state) {
    const std::string code(XmlTrim(location.child_value("code")));
    if (!IsIcaoCode(code)) return Status::Ok();
    if (!codes_.insert(code).second) {
      ++result_.duplicate_codes;
      return Status::Ok();
    }
    WeatherStation station;
    station.code = code;
    station.name = NameOf(location);
    station.state = std::string(state);
    station.country = country;
    if (pugi::xml_node coordinates = location.child("coordinates")) {
      const std::string_view pair = XmlTrim(coordinates.child_value());
      const std::size_t blank = pair.find_first_of(" \t");
      const auto latitude = ParseCoordinate(pair.substr(0, blank), 90);
      const auto longitude = blank == std::string_view::npos
                                 ? std::nullopt
                                 : ParseCoordinate(XmlTrim(pair.substr(blank)), 180);
      if (!latitude || !longitude) {
        return Error{0,
                     fmt::format("{}: station {}: \"{}\" is not a latitude and longitude", source_,
                                 code, pair),
                     "Torvane.Import"};
      }
      station.latitude_deg = latitude;
      station.longitude_deg = longitude;
    }
    result_.stations.push_back(std::move(station));
    return Status::Ok();
  }

 private:
  std::string_view source_;
  WeatherStations& result_;
  std::unordered_set<std::string> codes_;
};

}  // namespace

Result<WeatherStations> ParseLocationsXml(std::string_view text, std::string_view source) {
  pugi::xml_document document;
  const pugi::xml_parse_result parsed =
      document.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
  if (!parsed) {
    return Error{0,
                 fmt::format("{} line {}: {}", source, LineOfOffset(text, parsed.offset),
                             parsed.description()),
                 "Torvane.Import"};
  }
  const pugi::xml_node root = document.child("gweather");
  if (!root) {
    return Error{0, fmt::format("{}: no <gweather> element", source), "Torvane.Import"};
  }

  WeatherStations result;
  StationReader reader(source, result);
  for (const pugi::xml_node& region : root.children("region")) {
    for (const pugi::xml_node& country : region.children("country")) {
      const std::string country_name = NameOf(country);
      const bool united_states = XmlTrim(country.child_value("iso-code")) == "US";
      for (const pugi::xml_node& child : country.children()) {
        const std::string_view kind = child.name();
        Status added;
        if (kind == "location") {
          added = reader.Add(child, country_name, {});
        } else if (kind == "state") {
          const std::string_view state = united_states ? UsStateCode(NameOf(child)) : "";
          for (const pugi::xml_node& location : child.children("location")) {
            added = reader.Add(location, country_name, state);
            if (!added) break;
          }
        }
        if (!added) return added.error();
      }
    }
  }
  if (result.stations.empty()) {
    return Error{0, fmt::format("{}: no weather stations", source), "Torvane.Import"};
  }
  return result;
}

// libgweather's Locations.xml is about 20 MB.
constexpr std::uintmax_t kMaximumLocationsBytes = 512 * 1024 * 1024;

Result<WeatherStations> ReadLocationsXml(const std::string& path) {
  auto text = ReadReferenceFile(path, kMaximumLocationsBytes);
  if (!text) return text.error();
  return ParseLocationsXml(*text, path);
}

Status WriteWeatherTable(db::Connection& connection, const std::vector<WeatherStation>& stations,
                         bool force) {
  auto guard = ShrinkGuard::Before(connection, "Weather", force);
  if (!guard) return guard.error();
  if (Status kept = guard->Check(static_cast<std::int64_t>(stations.size())); !kept) return kept;
  db::Transaction transaction(connection);
  if (Status begun = transaction.Begin(); !begun) return begun;
  if (Status emptied = connection.Execute("DELETE FROM Weather"); !emptied) return emptied;
  auto insert = connection.Prepare(
      "INSERT INTO Weather (Location, Place, IwinPlace, State, Country, Stn_Lat, Stn_Lon, RBSN) "
      "VALUES (?1, ?2, ?2, ?3, ?4, ?5, ?6, NULL)");
  if (!insert) return insert.error();
  for (const WeatherStation& station : stations) {
    insert->Reset();
    const Variant values[] = {Variant(station.code),
                              Variant(station.name),
                              station.state.empty() ? Variant() : Variant(station.state),
                              Variant(station.country),
                              station.latitude_deg ? Variant(*station.latitude_deg) : Variant(),
                              station.longitude_deg ? Variant(*station.longitude_deg) : Variant()};
    for (int column = 0; column < static_cast<int>(std::size(values)); ++column) {
      if (Status bound = insert->Bind(column + 1, values[column]); !bound) return bound;
    }
    if (auto stepped = insert->Step(); !stepped) return stepped.error();
  }
  return transaction.Commit();
}

}  // namespace torvane::import
