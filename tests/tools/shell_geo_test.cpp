#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/tool_runner.h"

namespace torvane::tool {
namespace {

using nlohmann::json;
using torvane::testing::TempDataFolder;

// One call of the shell and what it must answer; a double within 0.02, as the worked values
// are quoted to two decimals.
struct Exchange {
  const char* call;  // the fields of the request line
  json result;
  const char* type;
  json end_lon = nullptr;  // the fourth argument as it comes back, when given
};

// Runs the calls in one shell on a fresh data folder and checks each answer; returns the
// activity log the shell left.
std::string ExpectAnswers(const std::vector<Exchange>& exchanges) {
  TempDataFolder folder;
  std::string script;
  for (const Exchange& e : exchanges) script += std::string("{\"call\": ") + e.call + "}\n";
  const auto lines = torvane::testing::RunTool({"shell", "--json", "--data-folder", folder.path(),
                                                "--clock", "2026-06-21T12:00:10"},
                                               script)
                         .lines;
  EXPECT_EQ(lines.size(), exchanges.size());
  for (std::size_t i = 0; i < lines.size() && i < exchanges.size(); ++i) {
    const json answer = json::parse(lines[i]);
    const Exchange& e = exchanges[i];
    if (e.result.is_number_float()) {
      EXPECT_NEAR(answer["result"].get<double>(), e.result.get<double>(), 0.02) << e.call;
    } else {
      EXPECT_EQ(answer["result"], e.result) << e.call;
    }
    EXPECT_EQ(answer["type"], e.type) << e.call;
    if (!e.end_lon.is_null()) {
      EXPECT_EQ(answer["args"][3], e.end_lon) << e.call;
    }
  }
  return torvane::testing::ReadFile(folder.LogFolder() + "/tvlog.txt");
}

TEST(ShellGeo, HomeDistanceMeasuresFromTheStoredHomeAndRefusesPointsOutOfRange) {
  ExpectAnswers({
      {R"("GetHomeDistance", "args": [1, 0, true])", 69.041, "double"},  // no home reads as 0, 0
      {R"("GetHomeDistance", "args": [0, -180, true])", 180 * 69.041, "double"},  // an edge
      {R"("SetHomeLatitude", "args": ["40"])", 0, "int16"},
      {R"("SetHomeLongitude", "args": ["-75"])", 0, "int16"},
      {R"("GetHomeDistance", "args": [51.5, 0, true])", 3535.65, "double"},
      {R"("GetHomeDistance", "args": ["51.5", "0", false])", 3535.65 * 1.6, "double"},
      {R"("GetHomeDistance", "args": [-90, -75, true])", 130 * 69.041, "double"},  // an edge
      {R"("GetHomeDistance", "args": [91, 0, true])", 0, "int16"},
      {R"("GetHomeDistance", "args": [0, 180.5, true])", 0, "int16"},
      {R"("GetHomeDistance", "args": ["somewhere", 0, false])", 0, "int16"},
      {R"("GetHomeDistance", "args": [40, -75, true])", 0, "int16"},  // home itself
  });
}

TEST(ShellGeo, BearingFromLatLonWritesTheFarLongitudeBackAndLogsTheCallAsPassed) {
  const std::string log = ExpectAnswers({
      {R"("GetBearingFromLatLon", "args": [40, -75, 51.5, 0])", 50.49, "double", 0},
      // The text "-120" comes back as the number 240.
      {R"("GetBearingFromLatLon", "args": ["40.0", "-75", "35", "-120"])", 276.60, "double", 240},
      {R"("GetPrefixBearingFromLatLon", "args": [40, -75, 35, -120])", 276.60, "double", 240},
      {R"("GetBearingFromLatLon", "args": [40, -75, "north", -75])", nullptr, "empty", 285},
  });
  EXPECT_THAT(log, ::testing::HasSubstr("MyLat: 40 MyLon: -75 Lat: 51.5 Lon: 0\r\n"
                                        "MyLat: 40.0 MyLon: -75 Lat: 35 Lon: -120\r\n"
                                        "MyLat: 40 MyLon: -75 Lat: 35 Lon: -120\r\n"
                                        "MyLat: 40 MyLon: -75 Lat: north Lon: -75\r\n"));
}

TEST(ShellGeo, GridLocatorTakesTheLongitudeFirst) {
  ExpectAnswers({
      {R"("GetGridLocator", "args": [-75, 40])", "FN20", "string"},
      {R"("GetGridLocator", "args": [40, -75])", "LB05", "string"},  // the arguments swapped
      {R"("GetGridLocator", "args": [-71.1, 42.4])", "FN42", "string"},
      {R"("GetGridLocator", "args": [0, 0])", "JJ00", "string"},
      {R"("GetGridLocator", "args": ["-0.5", "51.5"])", "IO91", "string"},  // -0.5 is cut to -1
      {R"("GetGridLocator", "args": [-180, -90])", "AA00", "string"},
      {R"("GetGridLocator", "args": [180, 90])", "SS00", "string"},  // no range check
      {R"("GetGridLocator", "args": ["west", 40])", "", "string"},
      {R"("GetGridLocator", "args": [1e9, 40])", "", "string"},  // beyond ASCII
  });
}

}  // namespace
}  // namespace torvane::tool
