#pragma once

#include <optional>
#include <string_view>

// Dates held as text: licence dates, entity validity dates, QSO dates.
namespace torvane::dates {

struct Date {
  int year = 0;
  int month = 0;
  int day = 0;
  friend auto operator<=>(const Date&, const Date&) = default;
};

bool IsValidDate(int year, int month, int day);

// Reads the date forms that occur in the system's data: m/d/yyyy, m/d/yy, yyyy-mm-dd,
// yyyymmdd, "d mmm yyyy" and "mmm d, yyyy" (English month names or abbreviations).
// Two-digit years 00..29 are 2000..2029, 30..99 are 1930..1999.
std::optional<Date> ParseDate(std::string_view text);

}  // namespace torvane::dates
