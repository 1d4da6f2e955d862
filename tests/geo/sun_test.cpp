#include "geo/sun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <utility>

#include "tests/support/solar_reference.h"
#include "torvane/variant.h"

namespace torvane::geo {
namespace {

using torvane::testing::NoaaEvent;

// A clock fixed to a date and time the test may change.
struct FixedClock {
  std::shared_ptr<LocalDateTime> now = std::make_shared<LocalDateTime>();
  Clock clock() const {
    return [now = now] { return *now; };
  }
  void Set(int year, int month, int day, int hour = 12, int minute = 0) {
    *now = {year, month, day, hour, minute, 0};
  }
};

// Stands in for the call check: counts its runs and answers with the zone it holds.
struct StationStub {
  StationZone zone;
  int checks = 0;
  StationCheck check() {
    return [this](const std::string&) {
      ++checks;
      return zone;
    };
  }
};

TEST(SunTimes, AgreesWithTheNoaaAlgorithmWithinTwoMinutes) {
  // The last row is a zone twelve hours off: the sun sets in the zone's morning and rises at
  // night, and the first crossing of the zone day is stored as the sunrise all the same.
  const struct {
    int year, month, day;
    int offset, lat, lon;
  } cases[] = {
      {2026, 6, 21, -5, 40, -75},   {2026, 12, 21, -5, 40, -75}, {2026, 3, 20, 0, 51, 0},
      {2026, 6, 21, 10, -34, 151},  {2026, 9, 23, 0, 0, 0},      {2026, 6, 21, 2, 60, 25},
      {2026, 1, 15, 9, 35, 139},    {2026, 6, 21, -3, -23, -43}, {1999, 7, 4, -8, 37, -122},
      {2028, 2, 29, -10, 21, -158}, {2026, 11, 1, 5, -5, 80},    {2026, 12, 21, 2, 65, 25},
      {2026, 6, 21, 7, 40, -75},
  };
  for (const auto& c : cases) {
    FixedClock clock;
    clock.Set(c.year, c.month, c.day);
    Sun sun(clock.clock());
    const auto label = ::testing::Message() << c.year << "-" << c.month << "-" << c.day << " at "
                                            << c.lat << "," << c.lon << " UTC" << c.offset;
    ASSERT_EQ(sun.SunTimes(c.offset, c.lat, c.lon), 0) << label;
    double first = *NoaaEvent(c.year, c.month, c.day, c.offset, c.lat, c.lon, true);
    double second =
        std::fmod(*NoaaEvent(c.year, c.month, c.day, c.offset, c.lat, c.lon, false), 24);
    if (first > second) std::swap(first, second);
    EXPECT_NEAR(LeadingNumber(sun.SunriseText()), first, 2.0 / 60) << label;
    EXPECT_NEAR(LeadingNumber(sun.SunsetText()), second, 2.0 / 60) << label;
  }
}

TEST(SunTimes, ReportsDecimalHoursRoundedToTheNearestMinute) {
  const struct {
    double crossing_hours;
    const char* text;
  } cases[] = {
      {6 + 5.9 / 60, "6.1"},  // the added half minute turns 6 h 5.9 min into 6 h 6 min
      {6 + 5.4 / 60, "6.08333333333333"},
      {23 + 59.7 / 60, "24"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NumberToText(EventHours(c.crossing_hours)), c.text) << c.crossing_hours;
  }
}

TEST(SunGetters, ShareOneRoundedComputationPerCallAndAreNotFoundOnlyFromIt) {
  FixedClock clock;
  clock.Set(2026, 6, 21);
  Sun sun(clock.clock());
  Sun whole(clock.clock());
  // Leading numbers rounded half to even, neither cut nor rounded half away from zero; a value
  // beyond its integer type reads as 0.
  const struct {
    StationZone zone;
    SunInputs same_as;
  } cases[] = {
      {{"-3.5", "40.5N", "-73.5"}, {-4, 40, -74}},
      {{"-4.5 EST", "41.5", "-74.5"}, {-4, 42, -74}},
      {{"40000", "1e12", "-3e9"}, {0, 0, 0}},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(
        whole.SunTimes(c.same_as.offset_hours, c.same_as.latitude_deg, c.same_as.longitude_deg), 0);
    StationStub station{c.zone};
    EXPECT_EQ(sun.GetSunrise(c.zone.Latitude, station.check()), whole.SunriseText());
    EXPECT_EQ(sun.GetSunset(c.zone.Latitude, station.check()), whole.SunsetText());
    EXPECT_EQ(station.checks, 1) << c.zone.Latitude;  // one computation for the pair
  }
  // SunCall is compared exactly: another spelling of the same call computes again.
  StationStub station{{"-5", "40", "-75"}};
  for (const char* call : {"W1AW", "W1AW", "w1aw", "K1ABC"}) sun.GetSunrise(call, station.check());
  EXPECT_EQ(station.checks, 3);
  EXPECT_EQ(sun.SunCall(), "K1ABC");

  // Polar day and night find no crossing (1) and leave the older texts; "not found" comes only
  // from the computation of that same call, so asking again gives the older texts.
  const std::string rise = sun.SunriseText();
  const std::string set = sun.SunsetText();
  StationStub arctic{{"1", "80", "16"}};
  EXPECT_EQ(sun.GetSunrise("JW5X", arctic.check()), "not found");
  EXPECT_EQ(sun.GetSunset("JW5X", arctic.check()), set);
  EXPECT_EQ(arctic.checks, 1);
  EXPECT_EQ(sun.SunTimes(-3, -80, 0), 1);
  clock.Set(2026, 12, 21);
  EXPECT_EQ(sun.SunTimes(1, 80, 16), 1);
  EXPECT_EQ(sun.SunriseText(), rise);
  EXPECT_EQ(sun.SunsetText(), set);
}

TEST(SunGetters, DaylightComparesTheClockWithTheStationsTexts) {
  FixedClock clock;
  Sun sun(clock.clock());
  StationStub station{{"-5", "40", "-75"}};  // sunrise about 4.5, sunset about 19.5 in June
  const struct {
    int hour, minute;
    bool daylight;
  } cases[] = {{12, 0, true}, {4, 0, false}, {19, 30, true}, {19, 40, false}, {23, 59, false}};
  for (const auto& c : cases) {
    clock.Set(2026, 6, 21, c.hour, c.minute);
    EXPECT_EQ(sun.GetIsNowDaylight("W1AW", station.check()), c.daylight)
        << c.hour << ":" << c.minute;
  }
  EXPECT_EQ(station.checks, 5);  // every call checks and computes
  EXPECT_EQ(sun.SunCall(), "");  // and leaves the sunrise/sunset cache alone

  // Polar day finds no crossing: the comparison uses the texts the last computation left.
  StationStub arctic{{"1", "80", "16"}};
  clock.Set(2026, 6, 21, 12, 0);
  EXPECT_TRUE(sun.GetIsNowDaylight("JW5X", arctic.check()));
  clock.Set(2026, 6, 21, 2, 0);
  EXPECT_FALSE(sun.GetIsNowDaylight("JW5X", arctic.check()));
}

}  // namespace
}  // namespace torvane::geo
