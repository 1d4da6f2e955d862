#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/db/sqlite.h"
#include "core/result.h"

// The "zipcodes" table from the Census Bureau's ZCTA gazetteer file: tab-separated with a
// header line, the ZIP code in GEOID and the position in INTPTLAT and INTPTLONG.
namespace torvane::import {

struct ZipImportSummary {
  std::uint64_t rows = 0;
  std::uint64_t rejected = 0;
  std::vector<std::string> first_rejected;  // "line N: reason"
};

// Replaces the rows of "zipcodes" in one transaction; on any failure the old rows stay, and
// so they do when the file would leave fewer than half of a full table's, unless `force` is
// set. Longitudes are stored as degrees west, positive, as the table holds them.
Result<ZipImportSummary> ImportZipCodes(db::Connection& connection, const std::string& path,
                                        bool force);

}  // namespace torvane::import
