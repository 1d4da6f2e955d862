#include "core/clock.h"

#include <fmt/format.h>

#include <chrono>
#include <cstdio>
#include <ctime>

#include "core/dates.h"

namespace torvane {

Clock SystemClock() {
  return [] {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                         local.tm_hour,        local.tm_min,     local.tm_sec};
  };
}

std::string FormatLogDateTime(const LocalDateTime& when) {
  return fmt::format("{:04}-{:02}-{:02} {:02}:{:02}:{:02}", when.year, when.month, when.day,
                     when.hour, when.minute, when.second);
}

bool ParseIsoDateTime(const std::string& text, LocalDateTime& when) {
  LocalDateTime parsed;
  char separator = 0;
  int consumed = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%n", &parsed.year, &parsed.month,
                  &parsed.day, &separator, &parsed.hour, &parsed.minute, &parsed.second,
                  &consumed) != 7 ||
      static_cast<std::size_t>(consumed) != text.size() || (separator != 'T' && separator != ' ')) {
    return false;
  }
  if (!dates::IsValidDate(parsed.year, parsed.month, parsed.day) || parsed.hour > 23 ||
      parsed.hour < 0 || parsed.minute < 0 || parsed.minute > 59 || parsed.second < 0 ||
      parsed.second > 59) {
    return false;
  }
  when = parsed;
  return true;
}

}  // namespace torvane
