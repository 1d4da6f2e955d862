#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/tool_runner.h"
#include "tools/torvane/run.h"

namespace torvane::tool {
namespace {

using nlohmann::json;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using torvane::testing::ReadFile;
using torvane::testing::TempDataFolder;

std::vector<json> ShellJson(const TempDataFolder& folder, const std::string& input) {
  std::vector<json> answers;
  for (const std::string& line :
       torvane::testing::RunTool(
           {"shell", "--json", "--data-folder", folder.path(), "--clock", "2026-06-21T12:00:10"},
           input)
           .lines) {
    answers.push_back(json::parse(line));
  }
  return answers;
}

TEST(ShellGeo, BearingFromLatLonWritesTheFarLongitudeBackAndLogsTheCall) {
  TempDataFolder folder;
  const auto answers =
      ShellJson(folder, R"({"call": "GetBearingFromLatLon", "args": [40, -75, 51.5, 0]}
{"call": "GetBearingFromLatLon", "args": ["40", "-75", "35", "-120"]}
{"call": "GetPrefixBearingFromLatLon", "args": [40, -75, 35, -120]}
{"call": "GetBearingFromLatLon", "args": [40, -75, "north", -75]}
)");
  ASSERT_EQ(answers.size(), 4u);
  EXPECT_NEAR(answers[0]["result"].get<double>(), 50.49, 0.01);
  EXPECT_EQ(answers[0]["args"][3], 0.0);
  EXPECT_NEAR(answers[1]["result"].get<double>(), 276.60, 0.01);
  EXPECT_EQ(answers[1]["args"][3], 240.0);  // the text "-120" comes back as the number 240
  EXPECT_EQ(answers[2]["result"], answers[1]["result"]);
  EXPECT_EQ(answers[2]["args"][3], 240.0);
  EXPECT_EQ(answers[3]["type"], "empty");
  EXPECT_EQ(answers[3]["args"][3], 285.0);
  EXPECT_THAT(ReadFile(folder.LogFolder() + "/tvlog.txt"),
              HasSubstr("MyLat: 40 MyLon: -75 Lat: 51.5 Lon: 0\r\n"
                        "MyLat: 40 MyLon: -75 Lat: 35 Lon: -120\r\n"
                        "MyLat: 40 MyLon: -75 Lat: 35 Lon: -120\r\n"
                        "MyLat: 40 MyLon: -75 Lat: north Lon: -75\r\n"));
}

TEST(ShellGeo, HomeDistanceMeasuresFromTheStoredHomePosition) {
  TempDataFolder folder;
  const auto answers = ShellJson(folder, R"({"call": "GetHomeDistance", "args": [1, 0, true]}
{"call": "SetHomeLatitude", "args": ["40"]}
{"call": "SetHomeLongitude", "args": ["-75"]}
{"call": "GetHomeDistance", "args": [51.5, 0, true]}
{"call": "GetHomeDistance", "args": ["51.5", "0", false]}
{"call": "GetHomeDistance", "args": [91, 0, true]}
{"call": "GetHomeDistance", "args": ["somewhere", 0, false]}
{"call": "GetHomeDistance", "args": [40, -75, true]}
)");
  ASSERT_EQ(answers.size(), 8u);
  EXPECT_NEAR(answers[0]["result"].get<double>(), 69.041, 1e-9);  // no home reads as 0, 0
  EXPECT_NEAR(answers[3]["result"].get<double>(), 3535.65, 0.01);
  EXPECT_NEAR(answers[4]["result"].get<double>(), 3535.65 * 1.6, 0.02);
  for (std::size_t i : {5u, 6u, 7u}) {
    EXPECT_EQ(answers[i]["result"], 0) << i;
    EXPECT_EQ(answers[i]["type"], "int16") << i;
  }
}

TEST(ShellGeo, GridLocatorTakesTheLongitudeFirst) {
  TempDataFolder folder;
  const auto answers = ShellJson(folder, R"({"call": "GetGridLocator", "args": [-75, 40]}
{"call": "GetGridLocator", "args": [-71.1, 42.4]}
{"call": "GetGridLocator", "args": [0, 0]}
{"call": "GetGridLocator", "args": ["-0.5", "51.5"]}
{"call": "GetGridLocator", "args": [40, -75]}
{"call": "GetGridLocator", "args": [-180, -90]}
{"call": "GetGridLocator", "args": [180, 90]}
{"call": "GetGridLocator", "args": ["west", 40]}
{"call": "GetGridLocator", "args": [1e9, 40]}
)");
  std::vector<std::string> locators;
  for (const json& answer : answers) locators.push_back(answer["result"].get<std::string>());
  EXPECT_THAT(locators,
              ElementsAre("FN20", "FN42", "JJ00", "IO91", "LB05", "AA00", "SS00", "", ""));
}

}  // namespace
}  // namespace torvane::tool
