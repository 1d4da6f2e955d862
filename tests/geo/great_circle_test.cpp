#include "geo/great_circle.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace torvane::geo {
namespace {

constexpr double kGeoPi = 3.1415;
const Variant kIntegerZero{std::int16_t{0}};

struct Point {
  Variant lat;
  Variant lon;
};

TEST(GreatCircleMiles, MatchesWorkedDistancesAndTheMilesPerDegree) {
  const struct {
    Point home;
    Point far;
    double miles;
    double tolerance;
  } cases[] = {
      {{40, -75}, {51.5, 0}, 3535.65, 0.01},
      {{40, -75}, {35, -120}, 2462.64, 0.01},
      // The GeoPi factors cancel along a meridian: one degree is exactly the mileage constant.
      {{0, 0}, {1, 0}, 69.041, 1e-9},
      {{"40.0", "-75"}, {"51.5", "0"}, 3535.65, 0.01},
      // The first position goes through the leading-number parse, so trailing letters pass.
      {{"40N", "-75W"}, {51.5, 0}, 3535.65, 0.01},
      {{"abc", ""}, {1, 0}, 69.041, 1e-9},
      {{Variant(), Variant()}, {Variant(), 1}, 69.041, 1e-9},
  };
  for (const auto& c : cases) {
    const Variant miles = GreatCircleMiles(kGeoPi, c.home.lat, c.home.lon, c.far.lat, c.far.lon);
    ASSERT_EQ(miles.type(), Variant::Type::kDouble) << c.far.lat.ToText();
    EXPECT_NEAR(*miles.AsDouble(), c.miles, c.tolerance) << c.far.lat.ToText();
  }
}

TEST(GreatCircleMiles, IsTheIntegerZeroForEqualPointsAndArcsUnderAMile) {
  const struct {
    Point home;
    Point far;
  } cases[] = {
      {{40, -75}, {40, -75}},
      {{"40", "-75"}, {40.0, -75.0}},
      {{40, -75}, {40.01, -75}},         // about 0.7 miles
      {{40, -75}, {40, -75.000000001}},  // the cosine rounds past 1 here
      {{0, 0}, {0, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GreatCircleMiles(kGeoPi, c.home.lat, c.home.lon, c.far.lat, c.far.lon), kIntegerZero)
        << c.far.lat.ToText() << " " << c.far.lon.ToText();
  }
  // The start-up that failed before GeoPi was set leaves 0: no distance, and no division.
  EXPECT_EQ(GreatCircleMiles(0, 40, -75, 51.5, 0), kIntegerZero);
}

TEST(GreatCircleMiles, IsEmptyWhenTheFarPositionIsNotANumber) {
  const Point cases[] = {
      {"51.5N", 0}, {51.5, "east"}, {"", 0},
      {"inf", 0},   {51.5, "nan"},  {Variant(std::vector<Variant>{Variant(1)}), 0},
  };
  for (const auto& far : cases) {
    EXPECT_TRUE(GreatCircleMiles(kGeoPi, 40, -75, far.lat, far.lon).IsEmpty())
        << far.lat.ToText() << " " << far.lon.ToText();
  }
}

TEST(BeamHeading, MatchesWorkedHeadingsAndFallsBackOnDegenerateGeometry) {
  const struct {
    Point home;
    Point far;
    double heading;
  } cases[] = {
      {{40, -75}, {51.5, 0}, 50.49},        // east of home
      {{40, -75}, {35, -120}, 276.60},      // west of home
      {{40, -75}, {40, -75}, 0},            // the same point
      {{-40, 20}, {-40, 20}, 180},          // the same point, south of the equator
      {{10, 20}, {30, 20}, 0},              // due north on the same meridian
      {{-10, 20}, {-30, 20}, 180},          // due south, southern hemisphere
      {{30, 20}, {10, 20}, 0},              // due south, northern: only the far latitude counts
      {{-40, 20}, {-40.005, 20.005}, 180},  // under a mile apart, off the meridian
      {{10, 0}, {20, 180}, 0},              // opposite meridians
      {{10, 0}, {20, -180}, 0},             // -180 becomes 180: opposite again
      {{10, -180}, {-20, 180}, 180},        // -180 + 360 is the far meridian itself
      {{10, 0}, {-20, 360}, 180},           // 360 degrees apart
  };
  for (const auto& c : cases) {
    Variant far_lon = c.far.lon;
    const Variant heading =
        BeamHeading(kGeoPi, nullptr, c.home.lat, c.home.lon, c.far.lat, far_lon);
    ASSERT_EQ(heading.type(), Variant::Type::kDouble) << c.far.lat.ToText();
    EXPECT_NEAR(*heading.AsDouble(), c.heading, 0.01)
        << c.home.lat.ToText() << "," << c.home.lon.ToText() << " -> " << c.far.lat.ToText() << ","
        << c.far.lon.ToText();
  }
}

TEST(BeamHeading, WritesANegativeFarLongitudeBackIncreasedBy360InTheHostsType) {
  const struct {
    Variant given;
    Variant after;
  } cases[] = {
      {-75.0, 285.0},
      {Variant(std::int16_t{-75}), Variant(std::int16_t{285})},
      {Variant(std::int32_t{-75}), Variant(std::int32_t{285})},
      {"-75", 285.0},
      {"-0.5", 359.5},
      {75.0, 75.0},
      {"75", "75"},
      {"west", "west"},
      {Variant(), Variant()},
  };
  for (const auto& c : cases) {
    Variant lon = c.given;
    BeamHeading(kGeoPi, nullptr, 40, -75, 51.5, lon);
    EXPECT_EQ(lon, c.after) << c.given.ToText();
  }
  // The write-back happens before the far latitude is read, so it survives a bad latitude.
  Variant lon(-75.0);
  EXPECT_TRUE(BeamHeading(kGeoPi, nullptr, 40, -75, "north", lon).IsEmpty());
  EXPECT_EQ(lon, Variant(285.0));
}

TEST(BeamHeading, LogsEveryCallWithTheValuesAsPassed) {
  std::vector<std::string> lines;
  const LogWriter log = [&](std::string_view line) { lines.emplace_back(line); };
  Variant lon(-120.0);
  BeamHeading(kGeoPi, log, "40.0", Variant(std::int16_t{-75}), 35.25, lon);
  Variant same("-75");
  BeamHeading(kGeoPi, log, 40, -75, 40, same);
  Variant bad("x");
  BeamHeading(kGeoPi, log, Variant(), true, "", bad);
  EXPECT_THAT(lines, ::testing::ElementsAre("MyLat: 40.0 MyLon: -75 Lat: 35.25 Lon: -120",
                                            "MyLat: 40 MyLon: -75 Lat: 40 Lon: -75",
                                            "MyLat:  MyLon: True Lat:  Lon: x"));
}

TEST(BeamHeading, IsEmptyWhenTheFarPositionIsNotANumber) {
  for (const Point& far : {Point{"N51", 0}, Point{51.5, "E0"}, Point{"nan", 0}}) {
    Variant lon = far.lon;
    EXPECT_TRUE(BeamHeading(kGeoPi, nullptr, 40, -75, far.lat, lon).IsEmpty()) << far.lat.ToText();
  }
}

TEST(HomeDistance, RefusesPointsOutOfRangeOrNotNumericAndConvertsKilometresAt1Point6) {
  const struct {
    Point point;
    bool miles_units;
    Variant expected;
  } cases[] = {
      {{91, 0}, true, kIntegerZero},
      {{-90.5, 0}, true, kIntegerZero},
      {{0, 180.5}, true, kIntegerZero},
      {{0, -181}, false, kIntegerZero},
      {{"forty", 0}, true, kIntegerZero},
      {{40, "x"}, false, kIntegerZero},
      {{1, 0}, true, 69.041},
      {{0, 0}, true, kIntegerZero},
      {{0, 0}, false, 0.0},  // the integer 0 times 1.6 is a double
  };
  for (const auto& c : cases) {
    const Variant result =
        HomeDistance(kGeoPi, Variant(), Variant(), c.point.lat, c.point.lon, c.miles_units);
    if (c.expected.type() == Variant::Type::kDouble) {
      ASSERT_EQ(result.type(), Variant::Type::kDouble) << c.point.lat.ToText();
      EXPECT_NEAR(*result.AsDouble(), *c.expected.AsDouble(), 1e-9) << c.point.lat.ToText();
    } else {
      EXPECT_EQ(result, c.expected) << c.point.lat.ToText() << " " << c.point.lon.ToText();
    }
  }
  const Variant miles = HomeDistance(kGeoPi, "40", "-75", 51.5, "0", true);
  const Variant km = HomeDistance(kGeoPi, "40", "-75", 51.5, "0", false);
  EXPECT_NEAR(*miles.AsDouble(), 3535.65, 0.01);
  EXPECT_DOUBLE_EQ(*km.AsDouble(), *miles.AsDouble() * 1.6);
  // The range test holds at its edges.
  EXPECT_EQ(HomeDistance(kGeoPi, 0, 0, 90, 180, true).type(), Variant::Type::kDouble);
}

}  // namespace
}  // namespace torvane::geo
