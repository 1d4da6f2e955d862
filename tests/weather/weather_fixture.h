#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "tests/support/sample_prefixes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_server.h"

namespace torvane::testing {

// Observing stations around the sample entities: the United States' reference position
// (37.6, -91.87) is nearest Columbia, then St. Louis; Germany's (51, 10) Frankfurt; Hawaii's
// (21.12, -157.48) Honolulu.
inline constexpr const char* kSampleStations = R"sql(
  INSERT INTO Weather (Location, Place, IwinPlace, State, Country, Stn_Lat, Stn_Lon, RBSN)
  VALUES ('KSTL', 'St. Louis/Lambert, MO', 'ST LOUIS', 'MO', 'United States', 38.75, -90.37,
          NULL),
         ('KCOU', 'Columbia Regional', 'COLUMBIA', 'MO', 'United States', 38.82, -92.22, NULL),
         ('EDDF', 'Frankfurt', 'FRANKFURT', NULL, 'Germany', 50.05, 8.6, NULL),
         ('PHNL', 'Honolulu', 'HONOLULU', 'HI', 'United States', 21.32, -157.92, NULL);
)sql";

// A data folder with the sample prefixes and the given stations, and one local server per
// weather source.
class WeatherTest : public ::testing::Test {
 protected:
  void SetUp() override { folder_.Execute(folder_.PrefixDatabase(), kSamplePrefixRows); }

  void AddStations(const std::string& sql) { folder_.Execute(folder_.PrefixDatabase(), sql); }

  // Options naming the four servers and the local report file.
  std::vector<std::string> HostArguments() const {
    return {"--weather-iwin-host", roundup_.HostPort(), "--weather-xml-host",  xml_.HostPort(),
            "--weather-noaa-host", noaa_.HostPort(),    "--weather-wech-host", wech_.HostPort(),
            "--weather-file",      ReportFile()};
  }
  std::string ReportFile() const { return folder_.path() + "/report.txt"; }

  // The first value of the first row of a query of the prefix database, "NULL" for Null.
  std::string Query(const std::string& sql) const {
    sqlite3* handle = nullptr;
    std::string value = "(no row)";
    sqlite3_open_v2(folder_.PrefixDatabase().c_str(), &handle, SQLITE_OPEN_READONLY, nullptr);
    const auto first = [](void* out, int, char** values, char**) {
      *static_cast<std::string*>(out) = values[0] == nullptr ? "NULL" : values[0];
      return 1;
    };
    sqlite3_exec(handle, sql.c_str(), first, &value, nullptr);
    sqlite3_close(handle);
    return value;
  }

  // The request targets (path and query) a server received.
  static std::vector<std::string> Targets(const TestServer& server) {
    std::vector<std::string> targets;
    for (const ReceivedRequest& request : server.Requests()) targets.push_back(request.target);
    return targets;
  }

  TempDataFolder folder_;
  TestServer roundup_;
  TestServer xml_;
  TestServer noaa_;
  TestServer wech_;
};

}  // namespace torvane::testing
