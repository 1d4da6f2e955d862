#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/result.h"

// Builds the FCC licence database ("Amateur", "Entity", "EntityName", "Email") from the FCC's
// weekly amateur file.
namespace torvane::import {

struct RejectedRecord {
  std::string member;  // "EN.dat"
  std::uint64_t line = 0;
  std::string reason;
  std::string text;
};

struct FccImportSummary {
  std::uint64_t records_read = 0;
  std::uint64_t records_rejected = 0;
  std::uint64_t licences = 0;   // Amateur rows written
  std::uint64_t licensees = 0;  // Entity rows written
  std::vector<RejectedRecord> first_rejected;  // the first few, for the report
};

// Bytes read so far out of all the members' bytes.
using ImportProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Reads l_amat.zip, or the folder it was unpacked into, and writes a new database at
// `database_path`. The new file is built beside it and renamed into place only when
// complete, so a failed or interrupted import leaves the previous database as it was, and a
// service that has it open goes on reading it. A call's licences are stored so that the
// current one comes last: the active licence, and among several the newest grant. Unless
// `force` is set, a file with fewer than half the licences of a full database is refused.
Result<FccImportSummary> ImportFccLicences(const std::string& source,
                                           const std::string& database_path,
                                           const ImportProgress& progress = {},
                                           bool force = false);

}  // namespace torvane::import
