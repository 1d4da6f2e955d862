#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/db/sqlite.h"
#include "core/result.h"

// Reader for ARRL's list of LoTW users, lotw-user-activity.csv: no header, one call per line
// with the date and time (UTC) of its last upload, "CALL,YYYY-MM-DD,HH:MM:SS".
namespace torvane::import {

struct LotwUser {
  std::string call;              // upper case; portable forms ("2A0APF/P") are users of their own
  std::string last_upload_date;  // YYYY-MM-DD
  std::string last_upload_time;  // HH:MM:SS
};

// A line that was left out, and why.
struct SkippedLine {
  int line = 0;  // from 1
  std::string reason;
};

struct LotwUserList {
  std::vector<LotwUser> users;
  std::vector<SkippedLine> skipped;
};

// Parses the whole text. Blank lines are passed over silently; malformed lines are skipped
// and listed.
LotwUserList ParseLotwUserActivity(std::string_view text);

struct LotwImportSummary {
  int users = 0;
  std::vector<SkippedLine> skipped;
};

// Replaces the LoTW table of the LoTW users database with the file's users, in one
// transaction: on any failure, a file without a single user among them, or (unless `force`
// is set) one with fewer than half of the users of a full list, the old list stays.
Result<LotwImportSummary> ImportLotwUsers(db::Connection& connection, const std::string& path,
                                          bool force);

}  // namespace torvane::import
