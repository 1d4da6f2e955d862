#include "import/default_data.h"

#include <fmt/format.h>
#include <unistd.h>

#include <filesystem>

#include "core/db/data_folder.h"
#include "core/db/sqlite.h"
#include "core/files.h"
#include "import/weather_stations.h"

namespace torvane::import {

namespace {

namespace fs = std::filesystem;

Error Failure(std::string description) {
  return Error{0, std::move(description), "Torvane.Import"};
}

Status FillPrefixDatabase(const std::string& path, const PrefixTables& tables,
                          const WeatherStations& stations) {
  auto connection = db::Connection::Open(path, db::Connection::Mode::kReadWrite);
  if (!connection) return connection.error();
  if (Status written = WritePrefixTables(*connection, tables); !written) return written;
  return WriteWeatherTable(*connection, stations.stations, false);  // a new database
}

// A new folder is made complete under a hidden name beside it and then renamed.
Status BuildNewFolder(const fs::path& folder, const PrefixTables& tables,
                      const WeatherStations& stations) {
  std::error_code error;
  fs::create_directories(folder.parent_path(), error);
  if (error) {
    return Failure(
        fmt::format("cannot create {}: {}", folder.parent_path().string(), error.message()));
  }
  files::RemoveStaleWork(folder.string(), ".building-", ".");
  const fs::path staging =
      folder.parent_path() / fmt::format(".{}.building-{}", folder.filename().string(), ::getpid());
  fs::remove_all(staging, error);
  Status built = [&]() -> Status {
    std::vector<std::string> created;
    if (Status made = db::InitDataFolder(staging.string(), false, created); !made) return made;
    const std::string prefix = files::Join(staging.string(), std::string(db::kPrefixDatabase));
    if (Status filled = FillPrefixDatabase(files::ResolvePath(prefix), tables, stations); !filled) {
      return filled;
    }
    fs::rename(staging, folder, error);
    if (error) {
      return Failure(fmt::format("cannot create {}: {}", folder.string(), error.message()));
    }
    return Status::Ok();
  }();
  if (!built) fs::remove_all(staging, error);
  return built;
}

// In an existing folder the prefix database is built beside its place and renamed over it;
// the other databases and folders are added only where missing.
Status BuildIntoFolder(const fs::path& folder, const std::string& prefix_database,
                       const PrefixTables& tables, const WeatherStations& stations) {
  std::error_code error;
  const fs::path databases = fs::path(prefix_database).parent_path();
  const bool made_databases = !fs::exists(databases, error);
  fs::create_directories(databases, error);
  if (error) {
    return Failure(fmt::format("cannot create {}: {}", databases.string(), error.message()));
  }
  files::RemoveStaleWork(prefix_database, ".new-");
  const std::string building = fmt::format("{}.new-{}", prefix_database, ::getpid());
  fs::remove(building, error);
  Status built = [&]() -> Status {
    if (Status made = db::CreateDatabase(building, db::Schema::kPrefix); !made) return made;
    if (Status filled = FillPrefixDatabase(building, tables, stations); !filled) return filled;
    fs::rename(building, prefix_database, error);
    if (error) {
      return Failure(fmt::format("cannot write {}: {}", prefix_database, error.message()));
    }
    return Status::Ok();
  }();
  if (!built) {
    fs::remove(building, error);
    if (made_databases) fs::remove(databases, error);
    return built;
  }
  std::vector<std::string> created;
  return db::InitDataFolder(folder.string(), false, created);
}

}  // namespace

Result<DefaultDataSummary> BuildDefaultDataFolder(const std::string& folder_text,
                                                  const DefaultDataSources& sources, bool replace) {
  auto entities = ReadCtyCsv(sources.cty_csv);
  if (!entities) return entities.error();
  auto tables = BuildPrefixTables(*entities);
  if (!tables) return tables.error();
  auto stations = ReadLocationsXml(sources.locations_xml);
  if (!stations) return stations.error();

  std::error_code error;
  fs::path folder = fs::absolute(folder_text, error).lexically_normal();
  if (error || folder_text.empty()) return Failure(fmt::format("bad folder \"{}\"", folder_text));
  if (!folder.has_filename()) folder = folder.parent_path();  // "dir/" names "dir"

  DefaultDataSummary summary;
  if (files::DirectoryExists(folder.string())) {
    std::string prefix =
        files::ResolvePath(files::Join(folder.string(), std::string(db::kPrefixDatabase)));
    if (fs::exists(prefix, error)) {
      if (!replace) return Failure(fmt::format("{} already exists", prefix));
    } else if (!files::DirectoryExists(fs::path(prefix).parent_path().string())) {
      // No databases folder of any letter case yet: make the one new folders get.
      prefix = files::Join(files::Join(folder.string(), std::string(db::kDatabasesFolder)),
                           "bandplan.db");
    }
    if (Status built = BuildIntoFolder(folder, prefix, *tables, *stations); !built) {
      return built.error();
    }
    summary.prefix_database = prefix;
  } else if (fs::exists(folder, error)) {
    return Failure(fmt::format("{} exists and is not a folder", folder.string()));
  } else {
    if (Status built = BuildNewFolder(folder, *tables, *stations); !built) return built.error();
    summary.prefix_database =
        files::ResolvePath(files::Join(folder.string(), std::string(db::kPrefixDatabase)));
  }

  summary.cty = Summarize(*tables);
  summary.weather_stations = static_cast<int>(stations->stations.size());
  summary.duplicate_station_codes = stations->duplicate_codes;
  return summary;
}

}  // namespace torvane::import
