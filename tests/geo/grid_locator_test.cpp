#include "geo/grid_locator.h"

#include <gtest/gtest.h>

#include <vector>

namespace torvane::geo {
namespace {

TEST(GridLocator, GivesFieldAndSquareWithTheLongitudeFirst) {
  const struct {
    Variant longitude;
    Variant latitude;
    const char* locator;
  } cases[] = {
      {-75, 40, "FN20"},
      {-71.1, 42.4, "FN42"},
      {0, 0, "JJ00"},
      {-0.5, 51.5, "IO91"},  // -0.5 is cut to -1, still square 9
      {40, -75, "LB05"},     // swapped arguments name another square
      {-180, -90, "AA00"},
      {180, 90, "SS00"},  // no range check: the poles and the date line give S
      {"-75", "40", "FN20"},
      {" 2.35 ", "48.85", "JN18"},
      {Variant(), Variant(), "JJ00"},
      {-12.3, 0, "IJ30"},  // -12.3 is cut to -13
      {-13, 0, "IJ30"},
      {-12, 0, "IJ40"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GridLocator(c.longitude, c.latitude), c.locator)
        << c.longitude.ToText() << ", " << c.latitude.ToText();
  }
}

TEST(GridLocator, IsEmptyForTextThatIsNotANumberOrCharactersBeyondAscii) {
  const struct {
    Variant longitude;
    Variant latitude;
  } cases[] = {
      {"75W", 40}, {-75, "forty"}, {"", 40},
      {"nan", 0},  {"inf", 0},     {Variant(std::vector<Variant>{Variant(1)}), 0},
      {1e6, 0},    {0, -1e6},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GridLocator(c.longitude, c.latitude), "")
        << c.longitude.ToText() << ", " << c.latitude.ToText();
  }
  // Out of range but still ASCII: computed as it falls, no refusal.
  EXPECT_EQ(GridLocator(200, 0), "TJ00");
}

}  // namespace
}  // namespace torvane::geo
