#pragma once

#include <string>
#include <vector>

#include "core/db/sqlite.h"
#include "core/result.h"
#include "import/cty_csv.h"

// The "plink" and "Prefixes" rows made from cty.csv entities, and their writing.
namespace torvane::import {

// One "Prefixes" row. Abbreviation, Begin_Date and End_Date stay Null: cty has no such data.
struct PrefixRow {
  int id = 0;
  std::string master_prefix;
  int dxcc = 0;
  std::string country;
  std::string continent;
  double latitude_deg = 0;       // north positive
  double longitude_deg = 0;      // east positive
  double time_offset_hours = 0;  // hours west of UTC; the lookup inverts the sign
  std::string cq_zone;
  std::string itu_zone;
};

// One "plink" row.
struct PrefixKey {
  std::string key;     // upper case
  int link = 0;        // "ID" of a PrefixRow
  bool exact = false;  // stored as inactive = "!": only an exact match takes it
};

// A key met again under a later entity. The first one is kept, unless it is an exact call
// and the later one a prefix, which serves more calls.
struct DuplicateKey {
  std::string key;
  std::string kept_country;
  std::string skipped_country;
  int line = 0;  // line of the later entity
};

struct PrefixTables {
  int entities = 0;
  std::vector<PrefixRow> rows;  // in "ID" order, which is also table order
  std::vector<PrefixKey> keys;
  std::vector<DuplicateKey> duplicates;
  int repeated_keys = 0;  // keys met again within their own entity
};

// Turns entities into rows. Every entity gets a main row; each distinct set of values that
// aliases override gets one more row of the same DXCC number. The main rows of entities that
// are not "*" come first, so a seek on the DXCC number finds the real DXCC entity before a
// WAE-only one or an override row. Fails only when the rows outgrow the 16-bit links.
Result<PrefixTables> BuildPrefixTables(const std::vector<CtyEntity>& entities);

// Replaces the contents of "plink" and "Prefixes" with `tables` in one transaction; on any
// failure both tables are left as they were.
Status WritePrefixTables(db::Connection& connection, const PrefixTables& tables);

struct CtyImportSummary {
  int entities = 0;
  int keys = 0;
  int rows = 0;
  std::vector<DuplicateKey> duplicates;
  int repeated_keys = 0;
};

CtyImportSummary Summarize(const PrefixTables& tables);

// Reads the cty.csv file at `path` and replaces the prefix tables of the open prefix database
// with it. A malformed file changes nothing, and so does one that would leave fewer than half
// of the keys of a full table, unless `force` is set.
Result<CtyImportSummary> ImportCtyCsv(db::Connection& connection, const std::string& path,
                                      bool force);

}  // namespace torvane::import
