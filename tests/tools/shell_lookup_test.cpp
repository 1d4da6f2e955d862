#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/sample_prefixes.h"
#include "tests/support/solar_reference.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tool_runner.h"

namespace torvane::testing {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> Shell(const TempDataFolder& folder, const std::string& script,
                               const std::string& clock = "2026-06-21T12:00:00") {
  return RunTool({"shell", "--json", "--data-folder", folder.path(), "--clock", clock}, script)
      .lines;
}

// The answers only, without the events raised before them.
std::vector<nlohmann::json> Results(const std::vector<std::string>& lines) {
  std::vector<nlohmann::json> results;
  for (const std::string& line : lines) {
    auto parsed = nlohmann::json::parse(line);
    if (parsed.contains("result")) results.push_back(parsed["result"]);
  }
  return results;
}

TEST(ShellLookup, ParsingLongestMatchAndTheirWriteBacksAsAHostSeesThem) {
  TempDataFolder folder;
  folder.Execute(folder.PrefixDatabase(), kSamplePrefixRows);
  // ZZ has no DXCC number: its Null column would keep the previous call's number, so it is
  // asked on a fresh object, where the first read gives "0" and writes back 291.
  const auto lines = Shell(folder, R"({"call": "GetRealPrefix", "args": ["W1AW/4"]}
{"call": "GetQuickCountry", "args": ["W1AW"]}
{"call": "GetQuickCountry", "args": ["W1AWX"]}
{"call": "GetRealPrefix", "args": ["KH6/W1AW"]}
{"call": "GetRealPrefix", "args": ["KH7/W1XX"]}
{"call": "GetRealPrefix", "args": ["KG4ABC"]}
{"call": "GetQuickCountry", "args": ["KG4AB"]}
{"call": "GetPrefixHoursOffset", "args": ["DL1ABC"]}
{"call": "GetPrefixWPX", "args": ["3DA0XY"]}
{"call": "GetQuickPrefixCQZone", "args": ["KG4AB"]}
{"meta": "restart"}
{"call": "GetQuickDXCCNumber", "args": ["ZZ1AA"]}
{"call": "GetQuickDXCCNumber", "args": ["ZZ1AA"]}
{"call": "GetQuickPrefixCountry", "args": [""]}
)");
  const std::string event = R"({"event":"CallDataOK","args":[true]})";
  EXPECT_THAT(lines,
              ElementsAre(event, R"({"result":"W4","type":"string","args":["W1AW/4"]})",
                          event,
                          R"({"result":"Fed. Rep. of Germany","type":"string","args":["W1AW"]})",
                          event, R"({"result":"United States","type":"string","args":["W1AWX"]})",
                          event, R"({"result":"KH6","type":"string","args":["KH6/W1AW"]})",
                          event, R"({"result":"","type":"string","args":["KH7/W1XX"]})", event,
                          R"({"result":"W4","type":"string","args":["KG4ABC"]})", event,
                          R"({"result":"Guantanamo Bay","type":"string","args":["KG4AB"]})",
                          event, R"({"result":1.0,"type":"double","args":["DL1ABC"]})", event,
                          R"({"result":"3DA0","type":"string","args":["3DA0XY"]})", event,
                          R"({"result":"08","type":"string","args":["KG4AB"]})",
                          R"({"ok": true})", event,
                          R"({"result":"0","type":"string","args":["ZZ1AA"]})", event,
                          R"({"result":"291","type":"string","args":["ZZ1AA"]})",
                          R"({"result":"","type":"string","args":[""]})"));
}

// Stations at chosen places: designator calls keep their deciding prefix through the callbook
// chain, so their record takes the entity's position and offset.
constexpr const char* kSunStations = R"sql(
  INSERT INTO Prefixes (ID, master_prefix, DXCC, Country, Continent, Latitude, Longitude,
                        Time_Offset, CQ_Zone, ITU_Zone)
  VALUES (1, 'FR/G', 1, 'Mid north', 'NA', 40.4, -74.6, 5, '5', '8'),
         (2, 'FR/J', 2, 'Mid south', 'OC', -33.9, 151.2, -10, '30', '59'),
         (3, 'FR/T', 3, 'Far north', 'EU', 78.2, 15.6, -1, '40', '18'),
         (4, 'VP8/O', 4, 'Equator', 'AF', 0.4, 32.6, -3, '37', '48');
  INSERT INTO plink (prefix, plink) VALUES ('FR/G', 1), ('FR/J', 2), ('FR/T', 3), ('VP8/O', 4);
)sql";

TEST(ShellSun, SunriseAndSunsetAgreeWithAnIndependentSolarCalculation) {
  TempDataFolder folder;
  folder.Execute(folder.PrefixDatabase(), kSunStations);
  // The computation works in whole degrees and hours: 40.4 -> 40, -74.6 -> -75, and so on.
  const struct {
    const char* call;
    int offset;
    int latitude;
    int longitude;
  } stations[] = {{"FR5XX/G", -5, 40, -75},
                  {"FR5XX/J", 10, -34, 151},
                  {"VP8XX/O", 3, 0, 33}};
  for (const char* date : {"2026-06-21", "2026-12-21", "2027-03-20"}) {
    std::string script;
    for (const auto& station : stations) {
      script += std::string(R"({"call": "GetSunrise", "args": [")") + station.call + "\"]}\n";
      script += std::string(R"({"call": "GetSunset", "args": [")") + station.call + "\"]}\n";
    }
    const auto results = Results(Shell(folder, script, std::string(date) + "T12:00:00"));
    ASSERT_EQ(results.size(), 6u);
    const int year = std::stoi(std::string(date).substr(0, 4));
    const int month = std::stoi(std::string(date).substr(5, 2));
    const int day = std::stoi(std::string(date).substr(8, 2));
    for (std::size_t i = 0; i < std::size(stations); ++i) {
      const auto& s = stations[i];
      const double rise = *NoaaEvent(year, month, day, s.offset, s.latitude, s.longitude, true);
      const double set = *NoaaEvent(year, month, day, s.offset, s.latitude, s.longitude, false);
      EXPECT_NEAR(std::stod(results[2 * i].get<std::string>()), rise, 3.0 / 60)
          << s.call << " " << date;
      EXPECT_NEAR(std::stod(results[2 * i + 1].get<std::string>()), set, 3.0 / 60)
          << s.call << " " << date;
    }
  }
}

TEST(ShellSun, PolarDayHasNoSunriseAndDaylightFollowsTheClock) {
  TempDataFolder folder;
  folder.Execute(folder.PrefixDatabase(), kSunStations);
  const auto results = Results(Shell(folder, R"({"call": "GetSunrise", "args": ["FR5XX/T"]}
{"call": "GetIsNowDaylight", "args": ["FR5XX/G"]}
{"meta": "clock", "value": "2026-06-21T03:00:00"}
{"call": "GetIsNowDaylight", "args": ["FR5XX/G"]}
)"));
  EXPECT_THAT(results, ElementsAre("not found", true, false));
}

}  // namespace
}  // namespace torvane::testing
