#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "tests/support/tool_runner.h"
#include "tests/weather/weather_fixture.h"
#include "tests/weather/weather_pages.h"

namespace torvane::testing {
namespace {

using ::testing::_;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::StartsWith;

// Requests that select a callbook source asking nothing, so that a call's record takes its
// entity's position and the callbook chain never resets the weather, and a weather source.
std::string Prelude(const std::string& weather_source) {
  return R"({"call": "SetCDSource", "args": ["QRZ via internet"]}
{"call": "SetCDDXSource", "args": ["QRZ via internet"]}
{"call": "SetWeatherSourceSite", "args": [")" +
         weather_source + "\"]}\n";
}

std::string Request(const std::string& method, const std::string& call) {
  return R"({"call": ")" + method + R"(", "args": [")" + call + "\"]}\n";
}

// The prelude, GetCountry for the call, then each method for it.
std::string Calls(const std::string& source, const std::string& call,
                  std::initializer_list<const char*> methods) {
  std::string script = Prelude(source) + Request("GetCountry", call);
  for (const char* method : methods) script += Request(method, call);
  return script;
}

class ShellWeather : public WeatherTest {
 protected:
  // The answers of a shell run after the prelude and GetCountry, without the events.
  std::vector<nlohmann::json> Answers(const std::string& script) {
    std::vector<std::string> args = {"shell", "--json", "--data-folder", folder_.path()};
    for (const std::string& argument : HostArguments()) args.push_back(argument);
    lines_ = RunTool(args, script).lines;
    std::vector<nlohmann::json> results;
    for (const std::string& line : lines_) {
      auto parsed = nlohmann::json::parse(line);
      if (parsed.contains("result")) results.push_back(parsed["result"]);
    }
    EXPECT_GE(results.size(), 4u);
    if (results.size() < 4) return {};
    return {results.begin() + 4, results.end()};
  }

  std::vector<std::string> lines_;
};

TEST_F(ShellWeather, AUnitedStatesCallReadsTheObservationDocumentOnceForEveryGetter) {
  AddStations(kSampleStations);
  xml_.Script("/xml/current_obs/display.php", {Reply{.body = kBostonObservationXml}});
  const auto values = Answers(
      Calls("tgsv", "W1XYZ",
            {"GetTemperature", "GetPrecipitation", "GetWind", "GetSky", "GetDew", "GetVisibility",
             "GetRelative", "GetAltimeter", "GetTendency", "GetCurrentWeather", "GetWeatherStation",
             "GetDistanceToWeatherStation", "GetWeatherDateTime"}));
  EXPECT_THAT(values,
              ElementsAre("29.0", "", "Southwest at 5.8 MPH (5 KT)", "", "23.0 F (-5.0 C)", "9.00",
                          "78", "1005.4 mb", "", "Overcast", "Columbia Regional, MO",
                          StartsWith("86.34"), "Last Updated on Feb 12 2015, 2:54 pm EST"));
  EXPECT_THAT(Targets(xml_), ElementsAre("/xml/current_obs/display.php?stid=KCOU"));
  EXPECT_THAT(Targets(noaa_), IsEmpty());
  // The first getter's progress: the search, then the address being read.
  const std::string url = "http://" + xml_.HostPort() + "/xml/current_obs/display.php?stid=KCOU";
  EXPECT_THAT(
      std::vector<std::string>(lines_.begin() + 6, lines_.begin() + 11),
      ElementsAre(
          R"({"event":"CallDataOK","args":[true]})",
          R"({"event":"WebStatus","args":["Finding closest weather station..."]})",
          R"({"event":"WebStatus","args":["Closest weather station is 86.3433755846221 away."]})",
          R"({"event":"WebStatus","args":[")" + url + R"("]})", StartsWith(R"({"result":"29.0")")));
}

struct SourceCase {
  const char* source;
  const char* call;
  TestServer* server;  // nullptr: the local file
  const char* target;
  const char* page;
  std::vector<std::string> expected;  // temperature, wind, sky, altimeter, station
};

TEST_F(ShellWeather, EachSourceIsAskedAtItsOwnAddressAndReadByItsOwnRules) {
  AddStations(kSampleStations);
  const char* roundup =
      "REGIONAL WEATHER ROUNDUP\nNATIONAL WEATHER SERVICE ST LOUIS MO\n\n"
      "CITY           SKY/WX    TMP DP  RH WIND       PRES   REMARKS\n"
      "COLUMBIA       SUNNY     45  30  55 S10       30.02F \n";
  const std::vector<std::string> heathrow = {"29 F (-2 C)",
                                             "from the SW (220 degrees) at 6 MPH (5 KT)",
                                             "overcast", "29.69 in. Hg (1005 hPa)"};
  const auto at = [&](const char* station) {
    auto values = heathrow;
    values.push_back(station);
    return values;
  };
  const SourceCase cases[] = {
      {"tgsv", "DL1ABC", &noaa_, "/weather/current/EDDF.html", kHeathrowPage,
       at("Frankfurt, Germany")},
      // Hawaii is not among the entities whose stations have observation documents.
      {"tgsv", "KH6/W1XYZ", &noaa_, "/weather/current/PHNL.html", kHeathrowPage,
       at("Honolulu, HI")},
      {"iwin",
       "W1XYZ",
       &roundup_,
       "/iwin/mo/hourly.html",
       roundup,
       {"45", "s10", "sunny", "30.02", "COLUMBIA, MO"}},
      // The file is read by the rules of the call's entity: a document for this one.
      {"file",
       "W1XYZ",
       nullptr,
       "",
       kBostonObservationXml,
       {"29.0", "Southwest at 5.8 MPH (5 KT)", "", "1005.4 mb", "Columbia Regional, MO"}},
  };
  for (const SourceCase& c : cases) {
    TestServer& server = c.server == nullptr ? wech_ : *c.server;
    const std::size_t before = server.Requests().size();
    if (c.server == nullptr) {
      std::ofstream(ReportFile()) << c.page;
    } else {
      server.Script(std::string(c.target).substr(0, std::string(c.target).find('?')),
                    {Reply{.body = c.page}});
    }
    EXPECT_THAT(Answers(Calls(
                    c.source, c.call,
                    {"GetTemperature", "GetWind", "GetSky", "GetAltimeter", "GetWeatherStation"})),
                ElementsAreArray(c.expected))
        << c.source << " " << c.call;
    const auto targets = Targets(server);
    if (c.server != nullptr) {
      EXPECT_THAT(std::vector<std::string>(targets.begin() + before, targets.end()),
                  ElementsAre(c.target))
          << c.source << " " << c.call;
    } else {
      EXPECT_EQ(targets.size(), before);
    }
  }
}

TEST_F(ShellWeather, StationsThatAllSayNotFoundAreMarkedInactiveFiveAtMost) {
  // Seven stations north of the United States' reference position, nearest first.
  AddStations(R"sql(
    INSERT INTO Weather (Location, Place, State, Country, Stn_Lat, Stn_Lon) VALUES
      ('KS01', 'One', 'MO', 'United States', 38.0, -91.87),
      ('KS02', 'Two', 'MO', 'United States', 38.5, -91.87),
      ('KS03', 'Three', 'MO', 'United States', 39.0, -91.87),
      ('KS04', 'Four', 'MO', 'United States', 39.5, -91.87),
      ('KS05', 'Five', 'MO', 'United States', 40.0, -91.87),
      ('KS06', 'Six', 'IA', 'United States', 40.5, -91.87),
      ('KS07', 'Seven', 'IA', 'United States', 41.0, -91.87);
  )sql");
  xml_.Script("/xml/current_obs/display.php",
              {Reply{.body = "<html><body>Station not found</body></html>"}});
  // The lookup failed; asked again, the same call answers from the (empty) values.
  EXPECT_THAT(
      Answers(Calls("tgsv", "W1XYZ", {"GetTemperature", "GetWeatherStation", "GetTemperature"})),
      ElementsAre("not found", "Six, IA", ""));
  std::vector<std::string> expected;
  for (const char* station : {"KS01", "KS02", "KS03", "KS04", "KS05", "KS06"}) {
    expected.push_back(std::string("/xml/current_obs/display.php?stid=") + station);
  }
  EXPECT_THAT(Targets(xml_), ElementsAreArray(expected));
  EXPECT_EQ(Query("SELECT group_concat(Location || '=' || ifnull(RBSN, 'NULL'), ' ') FROM Weather"),
            "KS01=I KS02=I KS03=I KS04=I KS05=I KS06=NULL KS07=NULL");
}

TEST_F(ShellWeather, UnusableRepliesGiveEmptyValuesOrNotFoundNeverACrash) {
  AddStations(kSampleStations);
  noaa_.Script("/weather/current/EDDF.html", {Reply{.body = "<html>No labels here</html>"}});
  // A page without the labels is a report with nothing in it.
  EXPECT_THAT(Answers(Calls("tgsv", "DL1ABC", {"GetTemperature", "GetSky", "GetWeatherStation"})),
              ElementsAre("", "", "Frankfurt, Germany"));
  EXPECT_EQ(Query("SELECT ifnull(RBSN, 'NULL') FROM Weather WHERE Location = 'EDDF'"), "NULL");

  // A missing local file is no report: every station is marked in turn, nearest first, and once
  // none is left there is nothing to fetch, which is no failure.
  EXPECT_THAT(Answers(Calls("file", "W1XYZ", {"GetTemperature", "GetWeatherStation"})),
              ElementsAre("", "Not found"));
  EXPECT_EQ(Query("SELECT group_concat(Location, ' ') FROM Weather WHERE RBSN = 'I'"),
            "KSTL KCOU EDDF PHNL");
}

TEST_F(ShellWeather, OnlyTheFourSourceCodesAreAcceptedExactlyAsWritten) {
  AddStations(kSampleStations);
  roundup_.Script("/iwin/mo/hourly.html", {Reply{.body = "CITY SKY\nCOLUMBIA CLEAR\n"}});
  std::string script = Calls("iwin", "W1XYZ", {});
  for (const char* code : {"IWIN", "tgsv ", "", "wech", "file", "tgsv", "iwin"}) {
    script += Request("SetWeatherSourceSite", code);
  }
  EXPECT_THAT(Answers(script + Request("GetSky", "W1XYZ")), ElementsAre(1, 1, 1, 0, 0, 0, 0, _));
  EXPECT_THAT(Targets(roundup_), ElementsAre("/iwin/mo/hourly.html"));
}

TEST_F(ShellWeather, TheCallbookResetEmptiesTheWeatherAndItsSource) {
  AddStations(kSampleStations);
  xml_.Script("/xml/current_obs/display.php", {Reply{.body = kBostonObservationXml}});
  const auto answers =
      Answers(Calls("tgsv", "W1XYZ", {"GetTemperature"}) +
              // No callbook source: the next new call resets all call data, the weather with it.
              Request("SetCDSource", "none") + Request("GetCountry", "W2XYZ") +
              Request("GetTemperature", "W1XYZ") + Request("GetWeatherStation", "W1XYZ") +
              // A source again, but no weather source: the station is found, nothing is fetched.
              Request("SetCDSource", "QRZ via internet") + Request("GetCountry", "W3XYZ") +
              Request("GetTemperature", "W3XYZ") + Request("GetWeatherStation", "W3XYZ"));
  EXPECT_THAT(answers, ElementsAre("29.0", 1, "", "", "", 0, "", "", "Columbia Regional, MO"));
  EXPECT_EQ(Targets(xml_).size(), 1u);
}

}  // namespace
}  // namespace torvane::testing
