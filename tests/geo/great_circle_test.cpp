#include "geo/great_circle.h"

#include "core/settings.h"
#include "geo/call_distances.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

namespace torvane::geo {
namespace {

constexpr double kGeoPi = 3.1415;
const Variant kIntegerZero{std::int16_t{0}};

struct Point {
  Variant lat;
  Variant lon;
};

TEST(GreatCircle, MatchesWorkedValuesAndFallsBackOnDegenerateGeometry) {
  // miles 0 is the integer 0; nullopt leaves the distance unchecked.
  const struct {
    Point home, far;
    std::optional<double> miles;
    double heading;
  } cases[] = {
      {{40, -75}, {51.5, 0}, 3535.65, 50.49},    // east of home
      {{40, -75}, {35, -120}, 2462.64, 276.60},  // west of home
      {{0, 0}, {1, 0}, 69.041, 0},
      {{10, 20}, {30, 20}, 20 * 69.041, 0},      // due north on the same meridian
      {{-10, 20}, {-30, 20}, 20 * 69.041, 180},  // due south, southern hemisphere
      {{30, 20}, {10, 20}, 20 * 69.041, 0},    // due south, northern: only the far latitude counts
      {{40, -75}, {40, -75}, 0, 0},            // the same point
      {{-40, 20}, {-40, 20}, 0, 180},          // the same point, south of the equator
      {{40, -75}, {40.01, -75}, 0, 0},         // about 0.7 miles
      {{-40, 20}, {-40.005, 20.005}, 0, 180},  // under a mile apart, off the meridian
      {{40, -75}, {40, -75.000000001}, 0, 0},  // the cosine rounds past 1 here
      {{10, 0}, {20, 180}, std::nullopt, 0},   // opposite meridians
      {{10, 0}, {20, -180}, std::nullopt, 0},  // -180 becomes 180: opposite again
      {{10, -180}, {-20, 180}, std::nullopt, 180},  // -180 + 360 is the far meridian itself
      {{10, 0}, {-20, 360}, std::nullopt, 180},     // 360 degrees apart
      // The home position goes through the leading-number parse; the far one must be numeric.
      {{"40N", "-75W"}, {"51.5", "0"}, 3535.65, 50.49},
      {{"abc", ""}, {Variant(), 1}, 69.041, 90},  // an empty far latitude reads as 0
  };
  for (const auto& c : cases) {
    const auto label = ::testing::Message()
                       << c.home.lat.ToText() << "," << c.home.lon.ToText() << " -> "
                       << c.far.lat.ToText() << "," << c.far.lon.ToText();
    const Variant miles = GreatCircleMiles(kGeoPi, c.home.lat, c.home.lon, c.far.lat, c.far.lon);
    if (c.miles == 0.0) {
      EXPECT_EQ(miles, kIntegerZero) << label;
    } else if (c.miles) {
      ASSERT_EQ(miles.type(), Variant::Type::kDouble) << label;
      EXPECT_NEAR(*miles.AsDouble(), *c.miles, 0.01) << label;
    }
    Variant far_lon = c.far.lon;
    const Variant heading =
        BeamHeading(kGeoPi, nullptr, c.home.lat, c.home.lon, c.far.lat, far_lon);
    ASSERT_EQ(heading.type(), Variant::Type::kDouble) << label;
    EXPECT_NEAR(*heading.AsDouble(), c.heading, 0.01) << label;
  }
  // The GeoPi factors cancel along a meridian: a degree is exactly the mileage constant.
  EXPECT_NEAR(*GreatCircleMiles(kGeoPi, 0, 0, 1, 0).AsDouble(), 69.041, 1e-9);
  // A start-up that failed before GeoPi was set leaves it 0: no distance, and no division.
  EXPECT_EQ(GreatCircleMiles(0, 40, -75, 51.5, 0), kIntegerZero);
}

TEST(GreatCircle, IsEmptyWhenTheFarPositionIsNotANumber) {
  const Point cases[] = {
      {"51.5N", 0}, {51.5, "east"}, {"", 0},
      {"inf", 0},   {51.5, "nan"},  {Variant(std::vector<Variant>{Variant(1)}), 0},
  };
  for (const auto& far : cases) {
    Variant lon = far.lon;
    EXPECT_TRUE(GreatCircleMiles(kGeoPi, 40, -75, far.lat, far.lon).IsEmpty()) << far.lat.ToText();
    EXPECT_TRUE(BeamHeading(kGeoPi, nullptr, 40, -75, far.lat, lon).IsEmpty()) << far.lat.ToText();
  }
}

TEST(BeamHeading, WritesANegativeFarLongitudeBackIncreasedBy360InTheHostsType) {
  for (const auto& [given, after] :
       {std::pair{Variant(-75.0), Variant(285.0)},
        std::pair{Variant(std::int16_t{-75}), Variant(std::int16_t{285})},
        std::pair{Variant(std::int32_t{-75}), Variant(std::int32_t{285})}}) {
    Variant lon = given;
    BeamHeading(kGeoPi, nullptr, 40, -75, 51.5, lon);
    EXPECT_EQ(lon, after) << given.ToText();
  }
}

// A callbook position that reads as nan or inf is no position: the call's distances in miles
// and kilometres keep their (cleared) values together, and the prefix's are still computed.
TEST(CallDistances, APositionThatIsNotAFiniteNumberLeavesMilesAndKilometresAlike) {
  Settings settings;
  settings.HomeLatitude = Variant(40.0);
  settings.HomeLongitude = Variant(-75.0);
  const double geo_pi = kGeoPi;
  EntityInfo entity;
  entity.Latitude = "51.5";
  entity.Longitude = "0";
  for (const char* text : {"nan", "-nan", "inf", "NaN"}) {
    CallDistances distances(settings, geo_pi, nullptr);
    distances.ClearAll();
    std::string latitude = text;
    std::string longitude = text;
    distances.ComputeCallDistances(latitude, longitude, entity, entity);
    EXPECT_EQ(distances.DXMiles, kIntegerZero) << text;
    EXPECT_EQ(distances.DXKm, kIntegerZero) << text;
    EXPECT_NEAR(*distances.PrefixDXMiles.AsDouble(), 3535.65, 0.1) << text;
  }
}

}  // namespace
}  // namespace torvane::geo
