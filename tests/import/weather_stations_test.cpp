#include "import/weather_stations.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "core/db/database_set.h"
#include "core/db/sqlite.h"
#include "import/us_states.h"
#include "tests/import/import_fixtures.h"
#include "tests/support/temp_folder.h"

namespace torvane::import {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using torvane::testing::TempDataFolder;

// The structure of the real file, with a few of its stations.
constexpr const char* kLocationsFixture = R"(<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE gweather SYSTEM "locations.dtd">
<gweather format="1.0">
  <named-timezone>
    <_name>Coordinated Universal Time (UTC)</_name>
    <timezones><timezone id="UTC" /></timezones>
    <tz-hint>UTC</tz-hint>
    <code>@UTC</code>
  </named-timezone>
  <region>
    <_name>North America</_name>
    <country>
      <_name>United States</_name>
      <iso-code>US</iso-code>
      <fips-code>US</fips-code>
      <timezones><timezone id="America/New_York" /></timezones>
      <state>
        <_name>District of Columbia</_name>
        <fips-code>US11</fips-code>
        <location>
          <name>Washington DC, Reagan National Airport</name>
          <code>KDCA</code>
          <coordinates>38.848333 -77.034167</coordinates>
        </location>
      </state>
      <state>
        <_name>New York</_name>
        <fips-code>US36</fips-code>
        <city>
          <_name>New York</_name>
          <coordinates>40.714167 -74.006389</coordinates>
        </city>
        <location>
          <name>Kennedy International Airport</name>
          <code>KJFK</code>
          <zone>NYZ076</zone>
          <radar>nyc</radar>
          <coordinates>40.638611 -73.762222</coordinates>
        </location>
      </state>
      <state>
        <_name>Virginia</_name>
        <fips-code>US51</fips-code>
        <location>
          <name>Washington DC, Reagan National Airport</name>
          <code>KDCA</code>
          <coordinates>38.848333 -77.034167</coordinates>
        </location>
      </state>
    </country>
    <country>
      <_name>Puerto Rico</_name>
      <iso-code>PR</iso-code>
      <fips-code>RQ</fips-code>
      <timezones><timezone id="America/Puerto_Rico" /></timezones>
      <location>
        <name>San Juan, Luis Munoz Marin International Airport</name>
        <code>TJSJ</code>
        <radar>sju</radar>
        <coordinates>18.450000 -66.000000</coordinates>
      </location>
    </country>
    <country>
      <_name>Canada</_name>
      <iso-code>CA</iso-code>
      <fips-code>CA</fips-code>
      <timezones><timezone id="America/Toronto" /></timezones>
      <state>
        <_name>Ontario</_name>
        <fips-code>CA08</fips-code>
        <location>
          <name>Toronto Pearson International</name>
          <code>CYYZ</code>
          <coordinates>43.666667 -79.633333</coordinates>
        </location>
      </state>
    </country>
  </region>
  <region>
    <_name>Oceania</_name>
    <country>
      <_name>Australia</_name>
      <iso-code>AU</iso-code>
      <fips-code>AS</fips-code>
      <timezones><timezone id="Australia/Sydney" /></timezones>
      <location>
        <name>Station without an ICAO code</name>
        <code>@XYZ</code>
        <coordinates>-33.0 151.0</coordinates>
      </location>
      <location>
        <name>Sydney Airport</name>
        <code>YSSY</code>
        <coordinates>-33.950000 151.183333</coordinates>
      </location>
      <location>
        <name>Station without coordinates</name>
        <code>YXXX</code>
      </location>
    </country>
  </region>
</gweather>
)";

TEST(LocationsXml, StationsWithIcaoCodesBecomeWeatherRows) {
  TempDataFolder folder;
  const auto parsed = ParseLocationsXml(kLocationsFixture, "Locations.xml");
  ASSERT_TRUE(parsed.ok()) << parsed.error().description;
  EXPECT_EQ(parsed.value().duplicate_codes, 1);
  {
    auto connection =
        db::Connection::Open(folder.PrefixDatabase(), db::Connection::Mode::kReadWrite);
    ASSERT_TRUE(connection.ok());
    ASSERT_TRUE(WriteWeatherTable(*connection, parsed.value().stations).ok());
  }

  db::DatabaseSet set;
  testing::OpenTables(folder, set);
  db::Table& weather = set.Data3;
  std::vector<std::string> rows;
  for (weather.MoveFirst(); !weather.Eof(); weather.MoveNext()) {
    std::string row;
    for (const char* field :
         {"Location", "Place", "IwinPlace", "State", "Country", "Stn_Lat", "Stn_Lon", "RBSN"}) {
      if (!row.empty()) row += "|";
      row += testing::FieldText(weather, field);
    }
    rows.push_back(row);
  }
  EXPECT_THAT(
      rows, ElementsAre(
                "KDCA|Washington DC, Reagan National Airport|Washington DC, Reagan National "
                "Airport|DC|United States|38.848333|-77.034167|<null>",
                "KJFK|Kennedy International Airport|Kennedy International Airport|NY|United "
                "States|40.638611|-73.762222|<null>",
                "TJSJ|San Juan, Luis Munoz Marin International Airport|San Juan, Luis Munoz Marin "
                "International Airport|<null>|Puerto Rico|18.45|-66|<null>",
                "CYYZ|Toronto Pearson International|Toronto Pearson International|<null>|Canada|"
                "43.666667|-79.633333|<null>",
                "YSSY|Sydney Airport|Sydney Airport|<null>|Australia|-33.95|151.183333|<null>",
                "YXXX|Station without coordinates|Station without coordinates|<null>|Australia|"
                "<null>|<null>|<null>"));
}

TEST(LocationsXml, AFileThatCannotBeUsedIsReportedWithWhereItFailed) {
  const struct {
    std::string text;
    const char* message;
  } cases[] = {
      {"<gweather>\n<region>\n<country>\n</region>\n</gweather>", "Locations.xml line 4: "},
      {"<weather/>", "no <gweather> element"},
      {"<gweather><region><country><_name>X</_name></country></region></gweather>",
       "no weather stations"},
      {"<gweather><region><country><_name>X</_name><location><name>A</name><code>ABCD</code>"
       "<coordinates>north east</coordinates></location></country></region></gweather>",
       "station ABCD: \"north east\" is not a latitude and longitude"},
      {"<gweather><region><country><_name>X</_name><location><name>A</name><code>ABCD</code>"
       "<coordinates>12.5</coordinates></location></country></region></gweather>",
       "station ABCD: \"12.5\""},
  };
  for (const auto& c : cases) {
    const auto parsed = ParseLocationsXml(c.text, "Locations.xml");
    ASSERT_FALSE(parsed.ok()) << c.text;
    EXPECT_THAT(parsed.error().description, HasSubstr(c.message)) << c.text;
  }
}

TEST(LocationsXml, ReplacingTheTableFailsWholeOrNotAtAll) {
  TempDataFolder folder;
  folder.Execute(folder.PrefixDatabase(),
                 "INSERT INTO Weather (Location, Place) VALUES ('EGLL', 'Heathrow');"
                 "CREATE TRIGGER refuse BEFORE INSERT ON Weather WHEN NEW.Location = 'YSSY' "
                 "BEGIN SELECT RAISE(ABORT, 'refused'); END;");
  const auto parsed = ParseLocationsXml(kLocationsFixture, "Locations.xml");
  ASSERT_TRUE(parsed.ok());
  auto connection = db::Connection::Open(folder.PrefixDatabase(), db::Connection::Mode::kReadWrite);
  ASSERT_TRUE(connection.ok());
  EXPECT_FALSE(WriteWeatherTable(*connection, parsed.value().stations).ok());
  auto count = connection->Prepare("SELECT group_concat(Location) FROM Weather");
  ASSERT_TRUE(count.ok() && *count->Step());
  EXPECT_EQ(count->ColumnText(0), "EGLL");
}

TEST(UsStates, NamesMapToPostalCodes) {
  EXPECT_EQ(UsStateCode("New York"), "NY");
  EXPECT_EQ(UsStateCode("District of Columbia"), "DC");
  EXPECT_EQ(UsStateCode("West Virginia"), "WV");
  EXPECT_EQ(UsStateCode("Virginia"), "VA");
  EXPECT_EQ(UsStateCode("Ontario"), "");
  EXPECT_EQ(UsStateCode("new york"), "");
}

TEST(LocationsXml, TheDebianFileGivesKnownStationsTheirStateAndSigns) {
  const auto parsed = ReadLocationsXml(testing::kDebianLocationsXml);
  ASSERT_TRUE(parsed.ok()) << parsed.error().description;
  std::map<std::string, const WeatherStation*> by_code;
  int us_without_state = 0;
  for (const WeatherStation& station : parsed.value().stations) {
    by_code.emplace(station.code, &station);
    if (station.country == "United States" && station.state.size() != 2) ++us_without_state;
  }
  EXPECT_EQ(by_code.size(), parsed.value().stations.size());
  EXPECT_GT(parsed.value().stations.size(), 3000u);
  EXPECT_EQ(us_without_state, 0);

  const struct {
    const char* code;
    const char* name;
    const char* state;
    const char* country;
    double latitude, longitude;
  } cases[] = {
      {"KJFK", "Kennedy International Airport", "NY", "United States", 40.638611, -73.762222},
      {"PHNL", "Honolulu International Airport", "HI", "United States", 21.3275, -157.943056},
      {"PANC", "Ted Stevens Anchorage International Airport", "AK", "United States", 61.174444,
       -149.996111},
      {"KDCA", "Washington DC, Reagan National Airport", "DC", "United States", 38.848333,
       -77.034167},
      {"TJSJ", "San Juan, Luis Munoz Marin International Airport", "", "Puerto Rico", 18.45, -66},
      {"YSSY", "Sydney Airport", "", "Australia", -33.95, 151.183333},
      {"EGLL", "Heathrow Airport", "", "United Kingdom", 51.483333, -0.45},
      {"CYYZ", "Toronto Pearson International", "", "Canada", 43.666667, -79.633333},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(by_code.count(c.code)) << c.code;
    const WeatherStation& station = *by_code[c.code];
    EXPECT_EQ(station.name, c.name) << c.code;
    EXPECT_EQ(station.state, c.state) << c.code;
    EXPECT_EQ(station.country, c.country) << c.code;
    EXPECT_DOUBLE_EQ(station.latitude_deg.value_or(0), c.latitude) << c.code;
    EXPECT_DOUBLE_EQ(station.longitude_deg.value_or(0), c.longitude) << c.code;
  }
}

}  // namespace
}  // namespace torvane::import
