#include "prefix/prefix_rows.h"

#include "core/variant_reading.h"

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

}  // namespace

KeyRow ReadKeyRow(const db::Table& plink, const KeyColumns& columns) {
  KeyRow row;
  if (columns.plink) ReadInt16(plink.FieldAt(*columns.plink), row.link);
  const Variant* inactive = columns.inactive ? plink.FieldAt(*columns.inactive) : nullptr;
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
  return row;
}

OldKeyRow ReadOldKeyRow(const db::Table& plinkold) {
  return OldKeyRow{Text(plinkold, "Before"), Number(plinkold, "plink")};
}

}  // namespace torvane
