#include "prefix/prefix_rows.h"

#include <limits>

#include "core/variant_reading.h"
#include "prefix/zone_form.h"

namespace torvane {

namespace {

std::optional<std::string> Text(const db::Table& table, const char* column) {
  std::string value;
  if (!ReadText(table.Field(column), value)) return std::nullopt;
  return value;
}

std::optional<std::string> NonEmptyText(const db::Table& table, const char* column) {
  std::string value;
  if (!ReadNonEmptyText(table.Field(column), value)) return std::nullopt;
  return value;
}

std::optional<std::int16_t> Number(const db::Table& table, const char* column) {
  std::int16_t value = 0;
  if (!ReadInt16(table.Field(column), value)) return std::nullopt;
  return value;
}

// The table holds hours west of UTC.
std::optional<std::string> InvertedOffset(std::optional<std::string> column) {
  if (!column) return std::nullopt;
  if (!column->empty() && column->front() == '-') return column->substr(1);
  return "-" + *column;
}

bool IsText(db::Storage storage) {
  return storage == db::Storage::kText || storage == db::Storage::kBlob;
}

}  // namespace

KeyRow ReadKeyRow(const db::Table::RowView& record, int plink_column, int inactive_column) {
  KeyRow row;
  const db::ColumnValue plink = record.At(plink_column);
  if (plink.storage() == db::Storage::kInteger) {
    // The common case without a Variant: what ReadInt16 makes of a whole number.
    const std::int64_t link = plink.Integer();
    if (link >= std::numeric_limits<std::int16_t>::min() &&
        link <= std::numeric_limits<std::int16_t>::max()) {
      row.link = static_cast<std::int16_t>(link);
    }
  } else if (const std::optional<Variant> link = record.ValueAt(plink_column)) {
    ReadInt16(&*link, row.link);
  }
  const db::ColumnValue inactive = record.At(inactive_column);
  row.exact_only = IsText(inactive.storage()) && inactive.Bytes() == "!";
  return row;
}

OldKeyRow ReadOldKeyRow(const db::Table::RowView& record, int before_column, int plink_column) {
  OldKeyRow row;
  const std::optional<Variant> before = record.ValueAt(before_column);
  std::string text;
  if (before && ReadText(&*before, text)) row.Before = text;
  const std::optional<Variant> link = record.ValueAt(plink_column);
  std::int16_t number = 0;
  if (link && ReadInt16(&*link, number)) row.link = number;
  return row;
}

KeyRow ReadKeyRow(const db::Table& plink) {
  KeyRow row;
  ReadInt16(plink.Field("plink"), row.link);
  const Variant* inactive = plink.Field("inactive");
  row.exact_only = inactive != nullptr && inactive->ToText() == "!";
  return row;
}

EntityRow ReadEntityRow(const db::Table& prefixes) {
  EntityRow row;
  row.master_prefix = Text(prefixes, "master_prefix");
  row.Country = Text(prefixes, "Country");
  row.Continent = Text(prefixes, "Continent");
  row.Latitude = Text(prefixes, "Latitude");
  row.Longitude = Text(prefixes, "Longitude");
  row.Time_Offset = InvertedOffset(Text(prefixes, "Time_Offset"));
  row.DXCC = Number(prefixes, "DXCC");
  row.CQ_Zone = NonEmptyText(prefixes, "CQ_Zone");
  row.ITU_Zone = NonEmptyText(prefixes, "ITU_Zone");
  row.Abbreviation = Text(prefixes, "Abbreviation");
  row.Begin_Date = Text(prefixes, "Begin_Date");
  row.End_Date = Text(prefixes, "End_Date");
  row.ID = Number(prefixes, "ID");
  row.dxcc_answer = std::to_string(row.DXCC && *row.DXCC > 0 ? *row.DXCC : 0);
  if (row.CQ_Zone) AssignZoneForm(*row.CQ_Zone, row.cq_zone_answer);
  if (row.ITU_Zone) AssignZoneForm(*row.ITU_Zone, row.itu_zone_answer);
  return row;
}

OldKeyRow ReadOldKeyRow(const db::Table& plinkold) {
  return OldKeyRow{Text(plinkold, "Before"), Number(plinkold, "plink")};
}

}  // namespace torvane
