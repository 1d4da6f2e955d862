#include "geo/sun.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <string>

#include "torvane/variant.h"

namespace torvane::geo {
namespace {

constexpr double kRadian = 3.14159265358979323846 / 180;

// Days from 1970-01-01 to a Gregorian date (H. Hinnant's days_from_civil).
long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// Sunrise or sunset in zone hours by the NOAA solar calculator's algorithm (Meeus, low
// precision), evaluated at the event itself; none in polar day or night. An independent
// reference: another ephemeris, and an hour angle instead of an hourly search.
std::optional<double> NoaaEvent(int year, int month, int day, int offset, double lat, double lon,
                                bool rise) {
  const double jd_midnight_utc = DaysFromCivil(year, month, day) + 2440587.5;
  double utc_hours = 12 - offset;
  for (int iteration = 0; iteration < 6; ++iteration) {
    const double t = (jd_midnight_utc + utc_hours / 24 - 2451545) / 36525;
    const double l0 = std::fmod(280.46646 + t * (36000.76983 + t * 0.0003032), 360);
    const double m = (357.52911 + t * (35999.05029 - 0.0001537 * t)) * kRadian;
    const double e = 0.016708634 - t * (0.000042037 + 0.0000001267 * t);
    const double centre = std::sin(m) * (1.914602 - t * (0.004817 + 0.000014 * t)) +
                          std::sin(2 * m) * (0.019993 - 0.000101 * t) + std::sin(3 * m) * 0.000289;
    const double omega = (125.04 - 1934.136 * t) * kRadian;
    const double lambda = (l0 + centre - 0.00569 - 0.00478 * std::sin(omega)) * kRadian;
    const double epsilon0 =
        23 + (26 + (21.448 - t * (46.815 + t * (0.00059 - t * 0.001813))) / 60) / 60;
    const double epsilon = (epsilon0 + 0.00256 * std::cos(omega)) * kRadian;
    const double declination = std::asin(std::sin(epsilon) * std::sin(lambda));
    const double y = std::pow(std::tan(epsilon / 2), 2);
    const double l0r = l0 * kRadian;
    const double equation_of_time_min =
        4 / kRadian *
        (y * std::sin(2 * l0r) - 2 * e * std::sin(m) + 4 * e * y * std::sin(m) * std::cos(2 * l0r) -
         0.5 * y * y * std::sin(4 * l0r) - 1.25 * e * e * std::sin(2 * m));
    const double cos_hour_angle =
        std::cos(90.833 * kRadian) / (std::cos(lat * kRadian) * std::cos(declination)) -
        std::tan(lat * kRadian) * std::tan(declination);
    if (std::fabs(cos_hour_angle) > 1) return std::nullopt;
    const double hour_angle_deg = std::acos(cos_hour_angle) / kRadian;
    const double minutes =
        720 - 4 * (lon + (rise ? hour_angle_deg : -hour_angle_deg)) - equation_of_time_min;
    utc_hours = minutes / 60;
  }
  return utc_hours + offset;
}

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
  const struct {
    int year, month, day;
    int offset, lat, lon;
  } cases[] = {
      {2026, 6, 21, -5, 40, -75},   {2026, 12, 21, -5, 40, -75}, {2026, 3, 20, 0, 51, 0},
      {2026, 6, 21, 10, -34, 151},  {2026, 9, 23, 0, 0, 0},      {2026, 6, 21, 2, 60, 25},
      {2026, 1, 15, 9, 35, 139},    {2026, 6, 21, -3, -23, -43}, {1999, 7, 4, -8, 37, -122},
      {2028, 2, 29, -10, 21, -158}, {2026, 11, 1, 5, -5, 80},    {2026, 12, 21, 2, 65, 25},
  };
  for (const auto& c : cases) {
    FixedClock clock;
    clock.Set(c.year, c.month, c.day);
    Sun sun(clock.clock());
    const auto label = ::testing::Message() << c.year << "-" << c.month << "-" << c.day << " at "
                                            << c.lat << "," << c.lon << " UTC" << c.offset;
    ASSERT_EQ(sun.SunTimes(c.offset, c.lat, c.lon), 0) << label;
    const double rise = *NoaaEvent(c.year, c.month, c.day, c.offset, c.lat, c.lon, true);
    const double set = *NoaaEvent(c.year, c.month, c.day, c.offset, c.lat, c.lon, false);
    EXPECT_NEAR(LeadingNumber(sun.SunriseText()), rise, 2.0 / 60) << label;
    EXPECT_NEAR(LeadingNumber(sun.SunsetText()), set, 2.0 / 60) << label;
  }
}

TEST(SunTimes, TheFirstCrossingOfTheZoneDayIsStoredAsTheSunrise) {
  // A zone twelve hours off: the sun sets in the morning of zone time and rises at night.
  FixedClock clock;
  clock.Set(2026, 6, 21);
  Sun sun(clock.clock());
  ASSERT_EQ(sun.SunTimes(7, 40, -75), 0);
  const double set = std::fmod(*NoaaEvent(2026, 6, 21, 7, 40, -75, false), 24);
  const double rise = *NoaaEvent(2026, 6, 21, 7, 40, -75, true);
  EXPECT_NEAR(LeadingNumber(sun.SunriseText()), set, 2.0 / 60);
  EXPECT_NEAR(LeadingNumber(sun.SunsetText()), rise, 2.0 / 60);
}

TEST(SunTimes, PolarDayAndNightFindNoCrossingAndLeaveTheOlderTexts) {
  FixedClock clock;
  clock.Set(2026, 6, 21);
  Sun sun(clock.clock());
  ASSERT_EQ(sun.SunTimes(-5, 40, -75), 0);
  const std::string rise = sun.SunriseText();
  const std::string set = sun.SunsetText();
  EXPECT_EQ(sun.SunTimes(1, 80, 16), 1);   // midnight sun
  EXPECT_EQ(sun.SunTimes(-3, -80, 0), 1);  // polar night
  clock.Set(2026, 12, 21);
  EXPECT_EQ(sun.SunTimes(1, 80, 16), 1);
  EXPECT_EQ(sun.SunriseText(), rise);
  EXPECT_EQ(sun.SunsetText(), set);
}

TEST(SunTimes, ReportsWholeMinutesAsDecimalHoursRoundedToTheNearestMinute) {
  const struct {
    double crossing_hours;
    const char* text;
  } cases[] = {
      {6 + 5.9 / 60, "6.1"},  // the added half minute turns 6 h 5.9 min into 6 h 6 min
      {6 + 5.4 / 60, "6.08333333333333"},
      {6 + 29.5 / 60, "6.5"},
      {18 + 12.6 / 60, "18.2166666666667"},
      {23 + 59.7 / 60, "24"},
      {0.001, "0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NumberToText(EventHours(c.crossing_hours)), c.text) << c.crossing_hours;
  }
}

TEST(SunInputs, AreReadAsLeadingNumbersAndRoundedHalfToEven) {
  const struct {
    StationZone zone;
    SunInputs inputs;
  } cases[] = {
      {{"-4.5", "40.5", "-74.5"}, {-4, 40, -74}},
      {{"-5.5", "41.5", "-73.5"}, {-6, 42, -74}},
      {{"2.5", "-0.5", "0.5"}, {2, 0, 0}},
      {{"-5 EST", "40.7N", "74W"}, {-5, 41, 74}},
      {{"", "abc", "  "}, {0, 0, 0}},
      {{"40000", "1e12", "-3e9"}, {0, 0, 0}},  // beyond the integer types
      {{"32767.4", "2147483647", "-2147483648"}, {32767, 2147483647, -2147483647 - 1}},
  };
  for (const auto& c : cases) {
    const SunInputs inputs = RoundSunInputs(c.zone);
    EXPECT_EQ(inputs.offset_hours, c.inputs.offset_hours) << c.zone.HoursOffset;
    EXPECT_EQ(inputs.latitude_deg, c.inputs.latitude_deg) << c.zone.Latitude;
    EXPECT_EQ(inputs.longitude_deg, c.inputs.longitude_deg) << c.zone.Longitude;
  }
}

TEST(SunTimes, ExtremeInputsGiveAnAnswerWithoutFailing) {
  FixedClock clock;
  clock.Set(1500, 3, 1);  // before the Gregorian calendar
  Sun sun(clock.clock());
  EXPECT_EQ(sun.SunTimes(0, 0, 0), 0);
  clock.Set(2026, 6, 21);
  for (const SunInputs& inputs : {SunInputs{32767, 2147483647, -2147483647 - 1},
                                  SunInputs{-32768, 90, 180}, SunInputs{0, -90, 0}}) {
    const std::int16_t result =
        sun.SunTimes(inputs.offset_hours, inputs.latitude_deg, inputs.longitude_deg);
    EXPECT_TRUE(result == 0 || result == 1);
  }
}

TEST(SunGetters, SunriseAndSunsetShareOneComputationPerCall) {
  FixedClock clock;
  clock.Set(2026, 6, 21);
  Sun sun(clock.clock());
  StationStub station{{"-5", "40", "-75"}};
  const std::string rise = sun.GetSunrise("W1AW", station.check());
  EXPECT_EQ(sun.GetSunset("W1AW", station.check()), sun.SunsetText());
  EXPECT_EQ(station.checks, 1);
  EXPECT_EQ(sun.SunCall(), "W1AW");
  EXPECT_EQ(rise, sun.SunriseText());
  EXPECT_NEAR(LeadingNumber(rise), *NoaaEvent(2026, 6, 21, -5, 40, -75, true), 2.0 / 60);

  // Compared exactly: another spelling of the same call computes again.
  sun.GetSunrise("w1aw", station.check());
  sun.GetSunrise("K1ABC", station.check());
  EXPECT_EQ(station.checks, 3);
}

TEST(SunGetters, NotFoundOnlyFromTheComputationOfThatSameCall) {
  FixedClock clock;
  clock.Set(2026, 6, 21);
  Sun sun(clock.clock());
  StationStub home{{"-5", "40", "-75"}};
  const std::string rise = sun.GetSunrise("W1AW", home.check());
  StationStub arctic{{"1", "80", "16"}};
  EXPECT_EQ(sun.GetSunrise("JW5X", arctic.check()), "not found");
  // The same call again computes nothing, so the older texts come back.
  EXPECT_EQ(sun.GetSunset("JW5X", arctic.check()), sun.SunsetText());
  EXPECT_EQ(sun.GetSunrise("JW5X", arctic.check()), rise);
  EXPECT_EQ(arctic.checks, 1);
}

TEST(SunGetters, InputsAreRoundedToWholeDegreesAndHours) {
  FixedClock clock;
  clock.Set(2026, 3, 20);
  Sun rounded(clock.clock());
  Sun whole(clock.clock());
  const struct {
    StationZone zone;
    SunInputs same_as;
  } cases[] = {
      {{"-4.5", "40.5", "-74.5"}, {-4, 40, -74}},
      {{"-3.5", "41.5", "-73.5"}, {-4, 42, -74}},
  };
  for (const auto& c : cases) {
    StationStub station{c.zone};
    const std::string rise = rounded.GetSunrise("CALL" + c.zone.Latitude, station.check());
    whole.SunTimes(c.same_as.offset_hours, c.same_as.latitude_deg, c.same_as.longitude_deg);
    EXPECT_EQ(rise, whole.SunriseText()) << c.zone.Latitude;
    EXPECT_EQ(rounded.SunsetText(), whole.SunsetText()) << c.zone.Latitude;
  }
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
