#pragma once

#include <string>

#include "torvane/variant.h"

namespace torvane::geo {

// The four-character Maidenhead locator (field and square) of a position in decimal degrees,
// east and north positive, longitude first. Each coordinate is cut to its whole degree
// first, so -0.5 counts as -1. No range is enforced (180 and 90 give the field letter S);
// "" when an argument is not numeric or so far out that a character would leave ASCII.
std::string GridLocator(const Variant& longitude, const Variant& latitude);

}  // namespace torvane::geo
