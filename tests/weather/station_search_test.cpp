#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "service/service.h"
#include "tests/support/default_data.h"
#include "tests/support/recording_events.h"
#include "tests/support/temp_folder.h"
#include "weather/weather_state.h"

namespace torvane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

constexpr const char* kInsert =
    "INSERT INTO Weather (Location, Place, IwinPlace, State, Country, Stn_Lat, Stn_Lon, RBSN) "
    "VALUES ";

// The search from (40, -75). One degree of latitude is 69.041 miles; 0.1434 degrees 9.9.
TEST(FindWeatherStation, ChoosesTheFirstNearestUsableStationInTableOrder) {
  const struct {
    const char* what;
    const char* rows;
    bool iwin;
    const char* location;
    const char* display_name;
  } cases[] = {
      {"a tie keeps the station met first",
       "('KAAA', 'East', 'EAST', 'NJ', 'United States', 40, -74, NULL),"
       "('KBBB', 'West', 'WEST', 'PA', 'United States', 40, -76, NULL)",
       false, "KAAA", "East, NJ"},
      {"a tie keeps the station met first, whichever it is",
       "('KBBB', 'West', 'WEST', 'PA', 'United States', 40, -76, NULL),"
       "('KAAA', 'East', 'EAST', 'NJ', 'United States', 40, -74, NULL)",
       false, "KBBB", "West, PA"},
      {"a station under 10 miles ends the scan before a nearer one",
       "('KFAR', 'Far', NULL, 'NJ', 'United States', 41, -75, NULL),"
       "('KTEN', 'Ten', NULL, 'NJ', 'United States', 40.1434, -75, NULL),"
       "('KONE', 'One', NULL, 'NJ', 'United States', 40.01, -75, NULL)",
       false, "KTEN", "Ten, NJ"},
      {"an inactive station is passed over; a Null mark is no mark",
       "('KINA', 'Silent', NULL, 'PA', 'United States', 40.5, -75, 'I'),"
       "('KNUL', 'Unmarked', NULL, 'PA', 'United States', 41, -75, NULL),"
       "('KACT', 'Marked', NULL, 'PA', 'United States', 40.8, -75, 'A')",
       false, "KACT", "Marked, PA"},
      {"without a state the country names the place",
       "('EGLL', 'Heathrow Airport', NULL, NULL, ' United Kingdom ', 40.5, -75, NULL)", false,
       "EGLL", "Heathrow Airport, United Kingdom"},
      {"the state is trimmed",
       "('KBOS', 'Boston', NULL, '  MA ', 'United States', 40.5, -75, NULL)", false, "KBOS",
       "Boston, MA"},
      {"rows without usable coordinates or place are passed over",
       "('KEMP', 'Empty', NULL, 'NJ', 'United States', '', -75, NULL),"
       "('KTXT', 'Text', NULL, 'NJ', 'United States', 'north', -75, NULL),"
       "('KNUL', 'Null', NULL, 'NJ', 'United States', NULL, -75, NULL),"
       "('KLON', 'Text lon', NULL, 'NJ', 'United States', 40.1, '75 W', NULL),"
       "('KNOP', NULL, NULL, 'NJ', 'United States', 40.2, -75, NULL),"
       "('KOKK', 'Fine', NULL, 'NJ', 'United States', 42, -75, NULL)",
       false, "KOKK", "Fine, NJ"},
      {"the roundup source names places by their IwinPlace",
       "('KPLC', 'Place only', NULL, 'NJ', 'United States', 40.2, -75, NULL),"
       "('KIWN', 'Both', 'BOTH', 'NJ', 'United States', 41, -75, NULL)",
       true, "KIWN", "BOTH, NJ"},
      {"other sources by their Place",
       "('KPLC', 'Place only', NULL, 'NJ', 'United States', 40.2, -75, NULL),"
       "('KIWN', 'Both', 'BOTH', 'NJ', 'United States', 41, -75, NULL)",
       false, "KPLC", "Place only, NJ"},
      {"every station inactive", "('KINA', 'Silent', NULL, 'PA', 'United States', 40.5, -75, 'I')",
       false, "", "Not found"},
      {"an empty table", nullptr, false, "", "Not found"},
  };
  for (const auto& c : cases) {
    TempDataFolder folder;
    if (c.rows != nullptr) folder.Execute(folder.PrefixDatabase(), kInsert + std::string(c.rows));
    Service service(folder.MakeOptions(), nullptr, nullptr);
    if (c.iwin) service.weather().SetWeatherSourceSite("iwin");
    EXPECT_EQ(service.weather().FindWeatherStation(Variant("40"), Variant("-75")), c.location)
        << c.what;
    EXPECT_EQ(weather::ThreadWeatherValues().station_name, c.display_name) << c.what;
  }
}

TEST(FindWeatherStation, ReportsTheDistanceUnlessWebActivityIsStopped) {
  TempDataFolder folder;
  folder.Execute(folder.PrefixDatabase(),
                 kInsert + std::string("('KNTH', 'North', NULL, 'PA', 'US', 41, -75, NULL)"));
  RecordingEvents events;
  Service service(folder.MakeOptions(), &events, nullptr);
  events.Take();
  weather::WeatherValues& values = weather::ThreadWeatherValues();

  EXPECT_EQ(service.weather().FindWeatherStation(Variant(40.0), Variant(-75.0)), "KNTH");
  EXPECT_NEAR(std::stod(values.station_distance), 69.041, 1e-9);
  EXPECT_THAT(events.Take(), ElementsAre("WebStatus Finding closest weather station...",
                                         StartsWith("WebStatus Closest weather station is 69.04")));

  // Both coordinates 0: no search, no event, the last station stays.
  EXPECT_EQ(service.weather().FindWeatherStation(Variant("0"), Variant(std::int16_t{0})), "none");
  EXPECT_EQ(values.station_name, "North, PA");
  EXPECT_THAT(events.Take(), ElementsAre());

  service.web().webStopped = true;
  EXPECT_EQ(service.weather().FindWeatherStation(Variant("40"), Variant("-75")), "KNTH");
  EXPECT_THAT(events.Take(), ElementsAre());

  TempDataFolder empty;
  Service without_stations(empty.MakeOptions(), &events, nullptr);
  events.Take();
  EXPECT_EQ(without_stations.weather().FindWeatherStation(Variant("40"), Variant("-75")), "");
  EXPECT_EQ(values.station_distance, "Not found");
  EXPECT_THAT(events.Take(), ElementsAre("WebStatus Finding closest weather station...",
                                         "WebStatus Closest weather station is 100000 away."));
}

TEST(FindWeatherStation, FindsTheAirportOfWellKnownPlacesInTheDefaultData) {
  Options options;
  options.data_folder = DefaultDataFolder();
  Service service(options, nullptr, nullptr);
  const struct {
    const char* place;
    const char* latitude;
    const char* longitude;
    const char* station;
  } places[] = {
      {"Boston Logan", "42.3656", "-71.0096", "KBOS"},
      {"Chicago O'Hare", "41.9786", "-87.9048", "KORD"},
      {"Denver airport", "39.8561", "-104.6737", "KDEN"},
      // Hawthorne's field lies within 10 miles of the Los Angeles airport and comes first in
      // the table, so the scan stops there.
      {"Los Angeles airport", "33.9416", "-118.4085", "KHHR"},
      {"Heathrow", "51.4700", "-0.4543", "EGLL"},
      {"Frankfurt airport", "50.0379", "8.5622", "EDDF"},
      {"Sydney airport", "-33.9399", "151.1753", "YSSY"},
      {"Narita", "35.7720", "140.3929", "RJAA"},
  };
  for (const auto& place : places) {
    EXPECT_EQ(
        service.weather().FindWeatherStation(Variant(place.latitude), Variant(place.longitude)),
        place.station)
        << place.place << ": " << weather::ThreadWeatherValues().station_name;
  }
}

}  // namespace
}  // namespace torvane::testing
