#include "import/weather_stations.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/import/import_fixtures.h"
#include "tests/support/default_data.h"

namespace torvane::import {
namespace {

using namespace testing;

TEST(LocationsXml, IcaoStationsReplaceTheWeatherTableWholeOrNotAtAll) {
  // A station listed again under a second state, one without an ICAO code, one without a
  // position.
  auto parsed = ParseLocationsXml(R"(<gweather format="1.0"><region><_name>Earth</_name>
    <country><_name>United States</_name><iso-code>US</iso-code>
      <state><_name>New York</_name><location><name>Kennedy International Airport</name>
        <code>KJFK</code><coordinates>40.638611 -73.762222</coordinates></location></state>
      <state><_name>Virginia</_name><location><name>Kennedy again</name><code>KJFK</code>
        <coordinates>1 1</coordinates></location></state></country>
    <country><_name>Australia</_name>
      <location><name>A</name><code>@XYZ</code><coordinates>-33 151</coordinates></location>
      <location><name>Nowhere</name><code>YXXX</code></location></country></region></gweather>)",
                                  "Locations.xml");
  ASSERT_TRUE(parsed.ok()) << parsed.error().description;
  EXPECT_EQ(parsed->duplicate_codes, 1);

  TempDataFolder folder;
  const std::string database = folder.PrefixDatabase();
  folder.Execute(database,
                 "INSERT INTO Weather (Location, Place) VALUES ('EGLL', 'Heathrow');"
                 "CREATE TRIGGER refuse BEFORE INSERT ON Weather WHEN NEW.Location = 'YXXX' "
                 "BEGIN SELECT RAISE(ABORT, 'refused'); END;");
  auto connection = db::Connection::Open(database, db::Connection::Mode::kReadWrite);
  ASSERT_TRUE(connection.ok());
  EXPECT_FALSE(WriteWeatherTable(*connection, parsed->stations, false).ok());
  EXPECT_EQ(Sql(database, "SELECT group_concat(Location) FROM Weather"), "EGLL");
  ASSERT_TRUE(connection->Execute("DROP TRIGGER refuse").ok());
  ASSERT_TRUE(WriteWeatherTable(*connection, parsed->stations, false).ok());

  EXPECT_EQ(Sql(database,
                "SELECT group_concat(Location || '|' || Place || '|' || IwinPlace || '|' || "
                "ifnull(State, '-') || '|' || Country || '|' || ifnull(Stn_Lat, '-') || "
                "'|' || ifnull(Stn_Lon, '-') || '|' || ifnull(RBSN, '-'), ' / ') FROM "
                "Weather"),
            "KJFK|Kennedy International Airport|Kennedy International Airport|NY|United States|"
            "40.638611|-73.762222|- / YXXX|Nowhere|Nowhere|-|Australia|-|-|-");
}

TEST(LocationsXml, AFileThatCannotBeUsedIsReportedWithWhereItFailed) {
  const std::string station =
      "<gweather><region><country><_name>X</_name><location><name>A</name>"
      "<code>ABCD</code><coordinates>";
  const struct {
    std::string text;
    const char* message;
  } cases[] = {
      {"<gweather>\n<region>\n<country>\n</region>\n</gweather>", "Locations.xml line 4: "},
      {"<weather/>", "no <gweather> element"},
      {"<gweather><region><country><_name>X</_name></country></region></gweather>",
       "no weather stations"},
      {station + "north east</coordinates></location></country></region></gweather>",
       "station ABCD: \"north east\" is not a latitude and longitude"},
  };
  for (const auto& c : cases) {
    const auto parsed = ParseLocationsXml(c.text, "Locations.xml");
    ASSERT_FALSE(parsed.ok()) << c.text;
    EXPECT_THAT(parsed.error().description, HasSubstr(c.message)) << c.text;
  }
}

TEST(LocationsXml, TheDebianFileGivesKnownStationsTheirStateAndSigns) {
  const std::string database = torvane::testing::DefaultDataFolder() + "/Databases/bandplan.db";
  // Many stations, each code once, every one in the United States with a state.
  EXPECT_EQ(Sql(database,
                "SELECT (COUNT(*) > 3000) || (COUNT(DISTINCT Location) = COUNT(*)) || "
                "COUNT(Country = 'United States' AND length(State) IS NOT 2 OR NULL) "
                "FROM Weather"),
            "110");
  EXPECT_EQ(Sql(database,
                "SELECT group_concat(Location || ' ' || Place || '|' || ifnull(State, "
                "'') || '|' || Country || '|' || Stn_Lat || '|' || Stn_Lon, '\n') FROM "
                "(SELECT * FROM Weather WHERE Location IN ('CYYZ', 'EGLL', 'KCRW', "
                "'KDCA', 'KJFK', 'PHNL', 'TJSJ', 'YSSY') ORDER BY Location)"),
            "CYYZ Toronto Pearson International||Canada|43.666667|-79.633333\n"
            "EGLL Heathrow Airport||United Kingdom|51.483333|-0.45\n"
            "KCRW Yeager Airport|WV|United States|38.379444|-81.591389\n"
            "KDCA Washington DC, Reagan National Airport|DC|United States|38.848333|-77.034167\n"
            "KJFK Kennedy International Airport|NY|United States|40.638611|-73.762222\n"
            "PHNL Honolulu International Airport|HI|United States|21.3275|-157.943056\n"
            "TJSJ San Juan, Luis Munoz Marin International Airport||Puerto Rico|18.45|-66.0\n"
            "YSSY Sydney Airport||Australia|-33.95|151.183333");
}

}  // namespace
}  // namespace torvane::import
