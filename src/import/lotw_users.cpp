#include "import/lotw_users.h"

#include "import/import_guard.h"

#include <fmt/format.h>

#include <array>
#include <charconv>

#include "core/files.h"
#include "core/text.h"

namespace torvane::import {

namespace {

constexpr int kFieldCount = 3;
// Longer calls do not exist; a longer first field is some other file.
constexpr std::size_t kMaxCallLength = 20;

bool IsCallCharacter(char c) { return text::IsLetter(c) || text::IsDigit(c) || c == '/'; }

bool IsCall(std::string_view call) {
  if (call.empty() || call.size() > kMaxCallLength) return false;
  if (call.front() == '/' || call.back() == '/') return false;
  for (const char c : call) {
    if (!IsCallCharacter(c)) return false;
  }
  return true;
}

// The number of exactly `digits` digits at `at` of the text, in [low, high].
bool NumberAt(std::string_view text, std::size_t at, std::size_t digits, int low, int high) {
  if (at + digits > text.size()) return false;
  int value = 0;
  for (std::size_t i = at; i < at + digits; ++i) {
    if (!text::IsDigit(text[i])) return false;
    value = value * 10 + (text[i] - '0');
  }
  return value >= low && value <= high;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

bool IsDate(std::string_view date) {
  if (date.size() != 10 || date[4] != '-' || date[7] != '-') return false;
  if (!NumberAt(date, 0, 4, 1900, 9999) || !NumberAt(date, 5, 2, 1, 12) ||
      !NumberAt(date, 8, 2, 1, 31)) {
    return false;
  }
  const int year = std::stoi(std::string(date.substr(0, 4)));
  const int month = std::stoi(std::string(date.substr(5, 2)));
  const int day = std::stoi(std::string(date.substr(8, 2)));
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const int last = month == 2 && IsLeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
  return day <= last;
}

bool IsTime(std::string_view time) {
  return time.size() == 8 && time[2] == ':' && time[5] == ':' && NumberAt(time, 0, 2, 0, 23) &&
         NumberAt(time, 3, 2, 0, 59) && NumberAt(time, 6, 2, 0, 59);
}

// The user of one line, or the reason it is not one.
std::string ParseLine(std::string_view line, LotwUser& user) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = line.find(',', start);
    fields.push_back(text::Trim(line.substr(start, comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (fields.size() != kFieldCount) {
    return fmt::format("expected {} comma-separated fields, found {}", kFieldCount, fields.size());
  }
  if (!IsCall(fields[0])) return fmt::format("\"{}\" is not a callsign", fields[0]);
  if (!IsDate(fields[1])) return fmt::format("\"{}\" is not a date YYYY-MM-DD", fields[1]);
  if (!IsTime(fields[2])) return fmt::format("\"{}\" is not a time HH:MM:SS", fields[2]);
  user.call = text::ToUpper(fields[0]);
  user.last_upload_date = fields[1];
  user.last_upload_time = fields[2];
  return {};
}

}  // namespace

LotwUserList ParseLotwUserActivity(std::string_view text) {
  LotwUserList list;
  int number = 0;
  while (!text.empty()) {
    ++number;
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (text::Trim(line).empty()) continue;
    LotwUser user;
    if (std::string reason = ParseLine(line, user); !reason.empty()) {
      list.skipped.push_back({number, std::move(reason)});
      continue;
    }
    list.users.push_back(std::move(user));
  }
  return list;
}

// ARRL's list is about 5 MB.
constexpr std::uintmax_t kMaximumLotwBytes = 512 * 1024 * 1024;

Result<LotwImportSummary> ImportLotwUsers(db::Connection& connection, const std::string& path,
                                          bool force) {
  auto text = ReadReferenceFile(path, kMaximumLotwBytes);
  if (!text) return text.error();
  LotwUserList list = ParseLotwUserActivity(*text);
  if (list.users.empty()) {
    return Error{0,
                 fmt::format("no LoTW users in {} ({} malformed lines)", path, list.skipped.size()),
                 "Torvane.Import"};
  }
  auto guard = ShrinkGuard::Before(connection, "LoTW", force);
  if (!guard) return guard.error();
  if (Status kept = guard->Check(static_cast<std::int64_t>(list.users.size())); !kept) {
    return kept.error();
  }

  db::Transaction transaction(connection);
  if (Status begun = transaction.Begin(); !begun) return begun.error();
  if (Status emptied = connection.Execute("DELETE FROM LoTW"); !emptied) return emptied.error();
  auto insert = connection.Prepare(
      "INSERT INTO LoTW (Call, LastUploadDate, LastUploadTime) VALUES (?1, ?2, ?3)");
  if (!insert) return insert.error();
  for (const LotwUser& user : list.users) {
    insert->Reset();
    if (Status bound = insert->BindText(1, user.call); !bound) return bound.error();
    if (Status bound = insert->BindText(2, user.last_upload_date); !bound) return bound.error();
    if (Status bound = insert->BindText(3, user.last_upload_time); !bound) return bound.error();
    if (auto stepped = insert->Step(); !stepped) return stepped.error();
  }
  if (Status committed = transaction.Commit(); !committed) return committed.error();
  return LotwImportSummary{static_cast<int>(list.users.size()), std::move(list.skipped)};
}

}  // namespace torvane::import
