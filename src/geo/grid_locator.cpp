#include "geo/grid_locator.h"

#include <cmath>
#include <optional>

namespace torvane::geo {

namespace {

// A character code, or none when it falls outside ASCII.
std::optional<char> Character(double code) {
  if (!(code >= 0 && code <= 127)) return std::nullopt;
  return static_cast<char>(code);
}

}  // namespace

std::string GridLocator(const Variant& longitude, const Variant& latitude) {
  const std::optional<double> lon = longitude.ToNumber();
  const std::optional<double> lat = latitude.ToNumber();
  if (!lon || !lat || !std::isfinite(*lon) || !std::isfinite(*lat)) return {};
  // The small lift keeps a whole degree from landing on the boundary below it.
  const double lon_deg = Int(*lon) + 0.0001;
  const double lat_deg = Int(*lat) + 0.0001;
  const double a = lon_deg + 180;
  const double b = lat_deg + 90;
  const std::optional<char> codes[] = {
      Character(65 + Int(a / 20)),
      Character(65 + Int(b / 10)),
      Character(48 + Int(Int(a / 2) - 10 * Int(a / 20))),
      Character(48 + Int(Int(b) - 10 * Int(b / 10))),
  };
  std::string locator;
  for (const std::optional<char>& code : codes) {
    if (!code) return {};
    locator += *code;
  }
  return locator;
}

}  // namespace torvane::geo
