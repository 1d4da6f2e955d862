#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "tests/support/tool_runner.h"
#include "tests/weather/weather_fixture.h"
#include "tests/weather/weather_pages.h"

namespace torvane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

using WeatherCommand = WeatherTest;

TEST_F(WeatherCommand, PrintsTheStationItsDistanceAndTheReport) {
  AddStations(kSampleStations);
  xml_.Script("/xml/current_obs/display.php", {Reply{.body = kBostonObservationXml}});
  std::vector<std::string> args = {"weather", "W1XYZ",         "--json",      "--home",
                                   "40,-75",  "--data-folder", folder_.path()};
  for (const std::string& argument : HostArguments()) args.push_back(argument);
  const ToolOutcome outcome = RunTool(args);
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  const auto report = nlohmann::json::parse(outcome.out);
  EXPECT_EQ(report["station"], "Columbia Regional, MO");
  EXPECT_EQ(report["station_distance_miles"].get<std::string>().substr(0, 5), "86.34");
  EXPECT_EQ(report["temperature"], "29.0");
  EXPECT_EQ(report["wind"], "Southwest at 5.8 MPH (5 KT)");
  EXPECT_EQ(report["observed"], "Last Updated on Feb 12 2015, 2:54 pm EST");
  EXPECT_EQ(report["country"], "United States");
  EXPECT_TRUE(report.contains("distance_from_home_miles"));
  EXPECT_THAT(Targets(xml_), ElementsAre("/xml/current_obs/display.php?stid=KCOU"));

  // A source the service does not know is refused before anything is asked.
  args[1] = "W2XYZ";
  args.insert(args.end(), {"--source", "IWIN"});
  EXPECT_NE(RunTool(args).status, 0);
  EXPECT_EQ(Targets(xml_).size(), 1u);
}

TEST_F(WeatherCommand, ImportReplacesTheStationsInOneStepOrNotAtAll) {
  AddStations(kSampleStations);
  const std::string good = folder_.path() + "/Locations.xml";
  std::ofstream(good) << R"(<gweather format="1.0"><region><_name>North America</_name>
    <country><_name>United States</_name><iso-code>US</iso-code>
      <state><_name>Massachusetts</_name>
        <location><name>Boston Logan</name><code>KBOS</code>
          <coordinates>42.360556 -71.010556</coordinates></location>
      </state></country></region></gweather>)";
  const std::string bad = folder_.path() + "/broken.xml";
  std::ofstream(bad) << "<gweather><region>";
  const auto import = [&](const std::string& file) {
    return RunTool({"import", "weather", file, "--data-folder", folder_.path()});
  };

  const ToolOutcome refused = import(bad);
  EXPECT_EQ(refused.status, 1);
  EXPECT_THAT(refused.err, HasSubstr("nothing was changed"));
  EXPECT_EQ(Query("SELECT count(*) FROM Weather"), "4");

  const ToolOutcome imported = import(good);
  EXPECT_EQ(imported.status, 0) << imported.err;
  EXPECT_THAT(imported.out, HasSubstr("1 weather stations"));
  EXPECT_EQ(Query("SELECT Location || ' ' || State || ' ' || ifnull(RBSN, 'NULL') FROM Weather"),
            "KBOS MA NULL");
  EXPECT_EQ(Query("SELECT count(*) FROM Weather"), "1");

  EXPECT_EQ(RunTool({"import", "weather", good, "--data-folder", folder_.path() + "/none"}).status,
            1);
}

}  // namespace
}  // namespace torvane::testing
