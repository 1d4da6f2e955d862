#pragma once

#include <string>

#include "torvane/options.h"

namespace torvane {

// "YYYY-MM-DD HH:MM:SS": the date-time form of both logs.
std::string FormatLogDateTime(const LocalDateTime& when);

// "YYYY-MM-DDTHH:MM:SS" (the form hosts and the command line use to fix the clock), or false.
bool ParseIsoDateTime(const std::string& text, LocalDateTime& when);

}  // namespace torvane
