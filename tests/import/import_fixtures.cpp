#include "tests/import/import_fixtures.h"

#include <gtest/gtest.h>

#include <fstream>

namespace torvane::import::testing {

std::string WriteFile(const torvane::testing::TempFolder& folder, const std::string& name,
                      const std::string& text) {
  const std::string path = folder / name;
  std::ofstream out(path, std::ios::binary);
  out << text;
  EXPECT_TRUE(out.good()) << path;
  return path;
}

std::string FieldText(const db::Table& table, const char* field) {
  const Variant* value = table.Field(field);
  return value != nullptr ? value->ToText() : "<null>";
}

LinkedRow ReadLinkedRow(db::DatabaseSet& set, const std::string& key) {
  LinkedRow row;
  db::Table& plink = set.Data1;
  db::Table& prefixes = set.Data2;
  if (!plink.SetIndex("prefix") || !plink.Seek(Variant(key))) return row;
  row.inactive = FieldText(plink, "inactive");
  const Variant* link = plink.Field("plink");
  if (link == nullptr || !link->AsInteger()) return row;
  row.link = *link->AsInteger();
  if (!prefixes.SetIndex("ID") || !prefixes.Seek(Variant(static_cast<std::int32_t>(row.link)))) {
    return row;
  }
  row.found = true;
  row.master_prefix = FieldText(prefixes, "master_prefix");
  row.dxcc = FieldText(prefixes, "DXCC");
  row.country = FieldText(prefixes, "Country");
  row.continent = FieldText(prefixes, "Continent");
  row.latitude = FieldText(prefixes, "Latitude");
  row.longitude = FieldText(prefixes, "Longitude");
  row.time_offset = FieldText(prefixes, "Time_Offset");
  row.cq_zone = FieldText(prefixes, "CQ_Zone");
  row.itu_zone = FieldText(prefixes, "ITU_Zone");
  row.abbreviation = FieldText(prefixes, "Abbreviation");
  row.begin_date = FieldText(prefixes, "Begin_Date");
  row.end_date = FieldText(prefixes, "End_Date");
  return row;
}

void OpenTables(const torvane::testing::TempDataFolder& folder, db::DatabaseSet& set) {
  const Status status = set.OpenAtStartup(
      {folder.PrefixDatabase(), folder.FccDatabase(), folder.LotwUsersDatabase()});
  ASSERT_TRUE(status.ok()) << (status.ok() ? "" : status.error().description);
}

}  // namespace torvane::import::testing
