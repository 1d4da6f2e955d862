#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "service/service.h"
#include "tests/weather/weather_fixture.h"
#include "tests/weather/weather_pages.h"
#include "weather/weather_state.h"

namespace torvane::testing {
namespace {

using ::testing::ElementsAre;

class WeatherReportTest : public WeatherTest {
 protected:
  void SetUp() override {
    WeatherTest::SetUp();
    AddStations(kSampleStations);
    AddStations(R"sql(
      INSERT INTO Weather (Location, Place, IwinPlace, State, Country, Stn_Lat, Stn_Lon) VALUES
        ('KBOS', 'Boston/Logan', 'BOSTON', 'MA', 'United States', 42.36, -71.01),
        ('KSFO', 'San Francisco, International', 'SAN FRAN', 'CA', 'United States', 37.62,
         -122.37),
        ('CYYZ', 'Toronto Pearson', NULL, 'ON', 'Canada', 43.68, -79.63);
    )sql");
    Options options = folder_.MakeOptions();
    options.weather_iwin_host = roundup_.HostPort();
    options.weather_xml_host = xml_.HostPort();
    options.weather_noaa_host = noaa_.HostPort();
    options.weather_wech_host = wech_.HostPort();
    options.weather_file = ReportFile();
    service_ = std::make_unique<Service>(options, nullptr, nullptr);
    service_->settings().SetCDSource("QRZ via internet");
    service_->settings().SetCDDXSource("QRZ via internet");
  }

  // Makes the call current, then gives its record the position and city a callbook would.
  void Current(const std::string& call, const std::string& latitude, const std::string& longitude,
               const std::string& city) {
    service_->call_check().CheckCall(call, true);
    CallbookRecord& record = service_->callbook().record;
    record.Latitude = latitude;
    record.Longitude = longitude;
    record.City = city;
  }

  std::unique_ptr<Service> service_;
};

TEST_F(WeatherReportTest, TheCommercialSiteIsAskedForUnitedStatesCitiesOnly) {
  wech_.Script("/weather/cities/us_ma_boston.html", {Reply{.body = kHeathrowPage}});
  wech_.Script("/weather/cities/us_ca_san_francisco.html", {Reply{.body = kHeathrowPage}});
  const struct {
    const char* latitude;
    const char* longitude;
    const char* city;
    const char* target;  // "" when no request is made
  } cases[] = {
      // The city is the station's place before its "/" or else its ",", blanks as "_".
      {"42.3", "-71.0", "Chelsea", "/weather/cities/us_ma_boston.html"},
      {"37.7", "-122.4", "Oakland", "/weather/cities/us_ca_san_francisco.html"},
      // No city in the record, a station outside the United States, a state that is no
      // two-letter code (Germany's station has none).
      {"42.3", "-71.0", "", ""},
      {"43.7", "-79.6", "Toronto", ""},
      {"50.0", "8.6", "Frankfurt", ""},
  };
  int number = 0;
  for (const auto& c : cases) {
    ASSERT_EQ(service_->weather().SetWeatherSourceSite("wech"), 0);
    const std::size_t before = wech_.Requests().size();
    const std::string call = "W" + std::to_string(++number) + "XYZ";
    Current(call, c.latitude, c.longitude, c.city);
    service_->weather().GetTemperature(call);
    const auto targets = Targets(wech_);
    std::vector<std::string> expected;
    if (*c.target != '\0') expected.push_back(c.target);
    EXPECT_EQ(std::vector<std::string>(targets.begin() + before, targets.end()), expected)
        << c.latitude << "," << c.longitude << " " << c.city;
  }
}

TEST_F(WeatherReportTest, APortableCallIsWeatheredAtItsEntityNotAtItsCallbookPosition) {
  noaa_.Script("/weather/current/PHNL.html", {Reply{.body = kHeathrowPage}});
  xml_.Script("/xml/current_obs/display.php", {Reply{.body = kBostonObservationXml}});
  service_->weather().SetWeatherSourceSite("tgsv");

  // A callbook position in Boston: the plain call is weathered there.
  Current("W1XYZ", "42.36", "-71.01", "Boston");
  EXPECT_EQ(service_->weather().GetWeatherStation("W1XYZ"), "Boston/Logan, MA");
  // The portable call, with the same callbook position, at Hawaii's reference position.
  Current("KH6/W1XYZ", "42.36", "-71.01", "Boston");
  EXPECT_EQ(service_->weather().GetWeatherStation("KH6/W1XYZ"), "Honolulu, HI");
  EXPECT_EQ(service_->callbook().record.Latitude, "21.12");
  EXPECT_THAT(Targets(xml_), ElementsAre("/xml/current_obs/display.php?stid=KBOS"));
  EXPECT_THAT(Targets(noaa_), ElementsAre("/weather/current/PHNL.html"));
}

TEST_F(WeatherReportTest, ATemperatureThatReadsZeroIsAskedAgainUnderTemp) {
  service_->weather().SetWeatherSourceSite("tgsv");
  noaa_.Script("/weather/current/EDDF.html",
               {Reply{.body = "<B>Temperature</B><FONT FACE=\"A\">see below</FONT>"
                              "<B>Temp:</B><FONT FACE=\"A\">3 C</FONT>"}});
  Current("DL1ABC", "50.1", "8.7", "Frankfurt");
  EXPECT_EQ(service_->weather().GetTemperature("DL1ABC"), "3 C");
}

}  // namespace
}  // namespace torvane::testing
