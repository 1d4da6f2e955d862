#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/db/table.h"

namespace torvane {

// What the lookup reads of one record of each prefix table, already turned into the values
// it copies. A field without a value (a Null column, or one that cannot be read as its kind)
// leaves the lookup's target as it was.

// A "plink" record: a key and the entity it links to.
struct KeyRow {
  std::int16_t link = 0;    // the "plink" column; 0 when it cannot be read
  bool exact_only = false;  // "inactive" holds "!": only the first probe, the whole call, takes it
};

// A "Prefixes" record.
struct EntityRow {
  std::optional<std::string> master_prefix;
  std::optional<std::string> Country;
  std::optional<std::string> Continent;
  std::optional<std::string> Latitude;
  std::optional<std::string> Longitude;
  std::optional<std::string> Time_Offset;  // hours to add to UTC: the column's sign inverted
  std::optional<std::int16_t> DXCC;
  std::optional<std::string> CQ_Zone;   // only a non-empty text
  std::optional<std::string> ITU_Zone;  // only a non-empty text
  std::optional<std::string> Abbreviation;
  std::optional<std::string> Begin_Date;
  std::optional<std::string> End_Date;
  std::optional<std::int16_t> ID;

  // The texts the quick prefix answers take from the row, made once when it is read: hosts
  // that resolve many calls ask for the same few hundred rows again and again.
  std::string dxcc_answer;      // DXCC when positive, else "0"
  std::string cq_zone_answer;   // CQ_Zone in zone form; empty without a zone
  std::string itu_zone_answer;  // ITU_Zone in zone form; empty without a zone
};

// A "plinkold" record: a key that belonged to another entity before 1 January of a year.
struct OldKeyRow {
  std::optional<std::string> Before;
  std::optional<std::int16_t> link;
};

// The rows of a scanned record whose columns are the key, then the given ones.
KeyRow ReadKeyRow(const db::Table::RowView& record, int plink_column, int inactive_column);
OldKeyRow ReadOldKeyRow(const db::Table::RowView& record, int before_column, int plink_column);

// The rows of the record the table stands on.
KeyRow ReadKeyRow(const db::Table& plink);
EntityRow ReadEntityRow(const db::Table& prefixes);
OldKeyRow ReadOldKeyRow(const db::Table& plinkold);

}  // namespace torvane
