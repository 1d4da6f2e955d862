#include "core/dates.h"

#include <array>
#include <charconv>
#include <vector>

#include "core/text.h"

namespace torvane::dates {

namespace {

constexpr std::array<std::string_view, 12> kMonthNames = {
    "january", "february", "march",     "april",   "may",      "june",
    "july",    "august",   "september", "october", "november", "december"};

std::optional<int> MonthFromName(std::string_view name) {
  const std::string lower = text::ToLower(name);
  if (lower.size() < 3) return std::nullopt;
  for (std::size_t i = 0; i < kMonthNames.size(); ++i) {
    if (kMonthNames[i].substr(0, lower.size()) == lower) return static_cast<int>(i) + 1;
  }
  if (lower == "sept") return 9;
  return std::nullopt;
}

std::optional<int> Number(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  for (char c : digits) {
    if (!text::IsDigit(c)) return std::nullopt;
  }
  int value = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return value;
}

std::vector<std::string_view> SplitOn(std::string_view text, std::string_view separators) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || separators.find(text[i]) != std::string_view::npos) {
      if (i > start) parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

int ExpandYear(std::string_view digits, int year) {
  if (digits.size() > 2) return year;
  return year < 30 ? 2000 + year : 1900 + year;
}

std::optional<Date> Checked(int year, int month, int day) {
  if (!IsValidDate(year, month, day)) return std::nullopt;
  return Date{year, month, day};
}

}  // namespace

bool IsValidDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  const int last = kDays[static_cast<std::size_t>(month - 1)] + (month == 2 && leap ? 1 : 0);
  return day <= last;
}

std::optional<Date> ParseDate(std::string_view raw) {
  const std::string_view value = text::Trim(raw);
  if (value.empty()) return std::nullopt;

  if (value.size() == 8) {  // yyyymmdd
    const auto year = Number(value.substr(0, 4));
    const auto month = Number(value.substr(4, 2));
    const auto day = Number(value.substr(6, 2));
    if (year && month && day) return Checked(*year, *month, *day);
  }
  if (value.find('/') != std::string_view::npos) {  // m/d/yyyy, m/d/yy
    const auto parts = SplitOn(value, "/");
    if (parts.size() != 3) return std::nullopt;
    const auto month = Number(parts[0]);
    const auto day = Number(parts[1]);
    const auto year = Number(parts[2]);
    if (!month || !day || !year || parts[2].size() == 3 || parts[2].size() > 4) return std::nullopt;
    return Checked(ExpandYear(parts[2], *year), *month, *day);
  }
  if (value.find('-') != std::string_view::npos) {  // yyyy-mm-dd
    const auto parts = SplitOn(value, "-");
    if (parts.size() != 3 || parts[0].size() != 4) return std::nullopt;
    const auto year = Number(parts[0]);
    const auto month = Number(parts[1]);
    const auto day = Number(parts[2]);
    if (!year || !month || !day) return std::nullopt;
    return Checked(*year, *month, *day);
  }
  const auto parts = SplitOn(value, " ,");
  if (parts.size() != 3) return std::nullopt;
  if (const auto month = MonthFromName(parts[1])) {  // d mmm yyyy
    const auto day = Number(parts[0]);
    const auto year = Number(parts[2]);
    if (!day || !year) return std::nullopt;
    return Checked(ExpandYear(parts[2], *year), *month, *day);
  }
  if (const auto month = MonthFromName(parts[0])) {  // mmm d, yyyy
    const auto day = Number(parts[1]);
    const auto year = Number(parts[2]);
    if (!day || !year) return std::nullopt;
    return Checked(ExpandYear(parts[2], *year), *month, *day);
  }
  return std::nullopt;
}

}  // namespace torvane::dates
