#include "tools/torvane/home_position.h"

#include <cmath>

#include "torvane/variant.h"

namespace torvane::tool {

std::optional<HomePosition> ParseHomePosition(std::string_view text) {
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const std::optional<double> latitude = ParseNumber(text.substr(0, comma));
  const std::optional<double> longitude = ParseNumber(text.substr(comma + 1));
  if (!latitude || !longitude || !std::isfinite(*latitude) || !std::isfinite(*longitude)) {
    return std::nullopt;
  }
  return HomePosition{*latitude, *longitude};
}

}  // namespace torvane::tool
